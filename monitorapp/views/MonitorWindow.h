#pragma once
#include "exchange/views/ListExportDialog.h"
#include "monitorapp/MonitorSurfaces.h"
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QAbstractItemModel;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;

namespace ql {

class FileDialogs;
class HeaderArrangement;
class IniStore;
class Prompter;
class SearchField;

// "Quillock Monitor": the selected user's entries, the preset list and the
// commands on the highlighted entry. The window only shows and forwards: what
// its buttons and states do is MonitorController's and MonitorCommands'.
class MonitorWindow : public QWidget, public MonitorWindowSurface {
    Q_OBJECT
public:
    static inline const QString kTitle = QStringLiteral("Quillock Monitor");
    static inline const QString kSection = QStringLiteral("Main");
    // The list's column widths in pixels, "24,95,96,80,194,56", and their
    // order as shown, "0,1,2,3,4,5", kept in kSection.
    static inline const QString kColumnsKey = QStringLiteral("?Browse:1");
    static inline const QString kOrderKey = QStringLiteral("?BrowseOrder:1");

    explicit MonitorWindow(IniStore& positions, QWidget* parent = nullptr);
    ~MonitorWindow() override;

    QTableView* list() const { return list_; }
    SearchField* search() const { return search_; }
    // The entries to list; the columns get the widths they had when the window last closed.
    void setEntries(QAbstractItemModel* model);
    QString preset() const;
    QPushButton* button(const QString& text) const;
    QLabel* userLabel() const { return user_; }
    // The column headings' menu: "Reset columns", "Export list..." (the
    // shown columns and rows, never a password).
    QMenu* headerMenu() const { return headerMenu_; }
    void exportList();
    // Where the export goes and what it writes: the desktop's dialogs unless set.
    ListExportHooks exportHooks;
    // The smallest and largest size: 50 to 500 dialog units each way.
    QSize smallest() const;
    QSize largest() const;

    // MonitorWindowSurface
    void hideInTray() override;
    void tellNoTray(const QString& why) override;
    void minimizeOnTaskBar() override;
    void showRestored() override;
    void takeFocus() override;
    void makeStayOnTop() override;
    void setWindowIcon(const QString& picture) override;
    void showUserEntries(const QString& userName) override;
    void closeWindow() override { close(); }

    // Called with the user's name when the list is to show another user
    // (or the same one read again).
    std::function<void(const QString& userName)> onShowUser;

signals:
    void selectUserClicked();
    void toolsClicked();
    void startUrlClicked();
    void addClicked();
    void editClicked();
    void optionsClicked();
    void sendClicked();
    void clipboardClicked();
    // The window system minimized the window (its title-bar button).
    void minimizedByUser();
    // The window closes; its place has been saved.
    void closing();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildButtons();
    QPushButton* makeButton(int index);
    void buildHeader();
    int dialogUnitsX(int units) const;
    int dialogUnitsY(int units) const;

    IniStore& positions_;
    SearchField* search_ = nullptr;
    QTableView* list_ = nullptr;
    QComboBox* presets_ = nullptr;
    QLabel* user_ = nullptr;
    QString iconName_;
    bool closed_ = false;
    QMenu* headerMenu_ = nullptr;
    std::unique_ptr<HeaderArrangement> columns_;
};

} // namespace ql
