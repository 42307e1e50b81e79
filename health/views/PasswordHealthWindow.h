#pragma once
#include "exchange/views/ListExportDialog.h"
#include "health/PasswordHealth.h"
#include "platform/core/Clock.h"
#include "platform/records/Record.h"
#include "store/FileManager.h"
#include <QDialog>
#include <functional>

class QLabel;
class QMenu;
class QTableWidget;

namespace ql {

// What the health window works through.
struct HealthWindowServices {
    Clock& clock;
    FileManager& passwords;
    // The date picture token of the preferences ("d4"); blank for the desktop's short date.
    QString dateFormat;
    // The entry form for a request on the window's table and user (as the password list runs it).
    std::function<int(int request, DataTable& passwords, Record& user, QWidget* parent)> form;
};

// "Password Health": one user's entries, worst first, with the strength of
// each password (never the password), whether other entries share it, its
// expiry and its last change. Enter or a double click opens the entry form;
// the rows are read again once it closes.
class PasswordHealthWindow : public QDialog {
    Q_OBJECT
public:
    enum Column { Service, Name, Strength, Reused, Expiry, LastChanged, ColumnCount };

    PasswordHealthWindow(const HealthWindowServices& services, const Record& user, QWidget* parent = nullptr);
    ~PasswordHealthWindow() override;

    // Opens its table and reads the rows; false when the table did not open.
    bool openTable();
    void reload();
    // The entry form for the entry of a row (form_request::Change).
    void openEntry(int row);

    QTableWidget* table() const { return table_; }
    const std::vector<HealthRow>& rows() const { return rows_; }
    // The headings' menu: "Export list..." (the rows as shown, never a password).
    QMenu* headerMenu() const { return headerMenu_; }
    ListExportHooks exportHooks;


private:
    void fill();
    void buildHeaderMenu();

    HealthWindowServices services_;
    DataTable passwords_;
    Record user_;
    QString datePicture_;
    std::vector<HealthRow> rows_;
    QTableWidget* table_ = nullptr;
    QLabel* summary_ = nullptr;
    QMenu* headerMenu_ = nullptr;
};

} // namespace ql
