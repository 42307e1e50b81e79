#pragma once
#include "monitorapp/MonitorController.h"
#include "monitorapp/MonitorSurfaces.h"
#include "monitorapp/TrayMenus.h"
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

namespace ql {

// The monitor's icon in the desktop's notification area, through
// QSystemTrayIcon. Mouse events come out as TrayClick values; a tray that
// knows no double click (the StatusNotifier trays over D-Bus) has its single
// click come out as the double click that brings the window back. Such a tray
// shows the menu the program gives it (over D-Bus) instead of asking for one
// at the cursor: there the items of the moment are the icon's menu.
class SystemTray : public QObject, public TrayHost {
    Q_OBJECT
public:
    explicit SystemTray(QObject* parent = nullptr);

    bool addIcon(const QString& picture, const QString& tip) override;
    bool removeIcon() override;
    void changeIcon(const QString& picture) override;
    bool available() const override;

    // Where the icon is on the screen (empty while it is not in a tray).
    QRect geometry() const { return icon_.geometry(); }

    // Where the items of the menu come from; asked again each time a tray
    // that shows the menu itself is about to show it, and by refreshMenu().
    void setMenuSource(std::function<std::vector<TrayMenuItem>()> items) { menuItems_ = std::move(items); }
    // Puts the items of the moment into the menu a tray shows itself, if they changed.
    void refreshMenu();

signals:
    void clicked(ql::TrayClick click);
    // An item of the menu a tray shows itself was chosen.
    void menuChosen(ql::TrayCommand command);

private:
    QSystemTrayIcon icon_;
    // The tray is a StatusNotifier host (every Wayland desktop, some X11 ones):
    // it reports single clicks only.
    bool singleClickTray_ = false;
    QMenu menu_;
    std::function<std::vector<TrayMenuItem>()> menuItems_;
    std::vector<TrayMenuItem> shownItems_;

    void fillMenu(const std::vector<TrayMenuItem>& items);
};

} // namespace ql
