#pragma once
#include "signin/FrameTicker.h"
#include "signin/views/CloseDownWindow.h"
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QMdiArea;
class QPushButton;
class QTimer;

namespace ql {

class IniStore;

// The main program's application window: menu, buttons, pictures, the
// four-zone status bar and the 0.2 s timer that drives the frame's duties.
class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    MainFrame(FrameTicker& ticker, IniStore& positions, Clock& clock, Clipboard& clipboard,
              QWidget* parent = nullptr);
    ~MainFrame() override;

    QMdiArea* mdiArea() const { return mdi_; }
    // Names of the first three users in stored order; empty names disable their buttons.
    void setQuickUserNames(const std::array<QString, 3>& names);
    // Which windows exist yet: their menu items and buttons stay disabled until then.
    void setPasswordListAvailable(bool available);
    void setSynchronizeAvailable(bool available);
    // "&Import" and "&Export" of the File menu.
    void setExchangeAvailable(bool available);
    // The five reports and "Print &Setup ...".
    void setReportsAvailable(bool available);
    QLabel* statusZone(int zone) const { return zones_.at(zone - 1); }
    QAction* action(const QString& text) const;
    CloseDownWindow* closeDownWindow() const { return closeDown_; }

public slots:
    void runTick();
    void minimizeFrame();
    void monitorRunNow();
    void closeDown();

signals:
    void optionsRequested();
    void passwordHealthRequested();
    void userSetupRequested();
    void aboutRequested();
    void passwordsRequested(int quickUser); // 0 through the user selection
    void synchronizeRequested();
    void importRequested();
    void exportRequested();
    // 0 "by Service", 1 "by URL", 2 "by Name", 3 "by Last Date Changed", 4 "Master Report",
    // 5 "Password Health".
    void reportRequested(int report);
    void printSetupRequested();
    void monitorReloadRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& text, bool enabled = true);
    QWidget* buildButtonRow();
    void buildStatusBar();
    void filterClipboard();
    void editCommand(const char* slot);
    void toggleMonitoring();
    void refreshIndicator();
    void startCloseDown();
    void showHelp();
    std::vector<QWidget*> openWindows() const;
    // "T&ile" (true) or "&Cascade" (false) of the windows the frame started.
    void arrangeWindows(bool tile);

    FrameTicker& ticker_;
    IniStore& positions_;
    Clock& clock_;
    Clipboard& clipboard_;
    QMdiArea* mdi_ = nullptr;
    QTimer* timer_ = nullptr;
    std::array<QLabel*, 4> zones_{};
    std::array<QPushButton*, 3> quickButtons_{};
    std::array<QString, 3> quickNames_;
    QPushButton* passwordsButton_ = nullptr;
    QPushButton* usersButton_ = nullptr;
    QCheckBox* monitorSwitch_ = nullptr;
    QLabel* indicator_ = nullptr;
    QLabel* keyPicture_ = nullptr;
    QPointer<CloseDownWindow> closeDown_;
    QPointer<QWidget> lastOutsideFocus_;
    std::vector<QAction*> reportItems_;
    bool passwordListAvailable_ = false;
    bool positionRestored_ = false;
};

} // namespace ql
