#pragma once
#include "entries/BrowsePasswords.h"
#include "entries/views/BrowsePasswordsLayout.h"
#include "exchange/ListExport.h"
#include <QWidget>
#include <memory>

class QMenu;
class QTimer;

namespace ql {

class FileDialogs;
class HeaderArrangement;
class IniStore;

// What the password list window opens besides itself.
struct BrowseWindowTools {
    IniStore& positions;
    // The entry form for a request on the list's table and user.
    std::function<int(int request, DataTable& passwords, Record& user, QWidget* parent)> form;
    // "Select User" (the user selection, then the password prompt).
    std::function<int(Record& user, QWidget* parent)> selectUser;
    // Where "Export list..." writes (the desktop's file dialog when null), and
    // what it writes (the export dialog when empty).
    FileDialogs* files = nullptr;
    std::function<std::optional<ListExportChoice>(bool offerPasswords, QWidget* parent)> askExport;
};

// The password list window: a thin view over BrowsePasswords. It lives on its
// own (several may be open, each with its own user) and goes away when closed.
class BrowsePasswordsWindow : public QWidget {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("BrowsePasswords");
    static inline const QString kLayoutKey = QStringLiteral("?Browse:1");
    static inline const QString kOrderKey = QStringLiteral("?BrowseOrder:1");

    // Opens a list for the user that `chooseFirst` establishes (a quick
    // selection or the user selection); null, having shown nothing, when no
    // user results.
    static BrowsePasswordsWindow* open(const BrowseServices& services, BrowseWindowTools tools,
                                       const std::function<int(Record&, QWidget*)>& chooseFirst,
                                       QWidget* parent = nullptr);
    ~BrowsePasswordsWindow() override;

    BrowsePasswords& logic() { return *logic_; }
    const BrowsePasswordsControls& controls() const { return c_; }
    QMenu* popupMenu() const { return popup_; }
    // The column headings' menu: "Reset columns", "Export list...".
    QMenu* headerMenu() const { return headerMenu_; }
    void exportList();
    void resetColumns();

    // What the user setup did to a user: a list of the user renamed from
    // `was` shows the name he has now and adds entries under it; a list of a
    // deleted user closes.
    void userChanged(const QString& was, const QString& now);
    void userDeleted(const QString& name);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    BrowsePasswordsWindow(const BrowseServices& services, BrowseWindowTools tools, QWidget* parent);

    void place();
    void buildPopup();
    void buildHeader();
    void sortBy(int column);
    void showSortColumn();
    void connectButtons();
    void connectList();
    void showUser();
    void applyEnabling();
    void highlight(int row);
    int row() const;
    void runForm(int (BrowsePasswords::*action)(const BrowsePasswords::FormRunner&, int));
    void send();
    void selectUser();
    void displayAll();
    void filterClipboard();
    void refreshClipboard();
    void switchTab(int index);
    void restoreLayout();
    void saveLayout();
    void finish();

    std::unique_ptr<BrowsePasswords> logic_;
    BrowseWindowTools tools_;
    BrowsePasswordsControls c_;
    QMenu* popup_ = nullptr;
    QMenu* headerMenu_ = nullptr;
    std::unique_ptr<HeaderArrangement> columns_;
    std::vector<QAction*> needEntry_;
    QTimer* clipboardTimer_ = nullptr;
    bool finished_ = false;
    bool leftOnce_ = false;
};

// The password lists open among the windows of `owner`.
std::vector<BrowsePasswordsWindow*> openPasswordLists(const QObject& owner);

} // namespace ql
