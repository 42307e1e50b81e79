#include "monitorapp/views/SystemTray.h"
#include "monitorapp/views/TrayArtwork.h"
#include <QDBusConnection>
#include <QDBusInterface>
#include <algorithm>

namespace ql {

namespace {

// The same test the toolkit makes to choose a StatusNotifier icon.
bool statusNotifierHostPresent() {
    QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                           QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus());
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

} // namespace

SystemTray::SystemTray(QObject* parent) : QObject(parent) {
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        switch (why) {
        case QSystemTrayIcon::DoubleClick: emit clicked(TrayClick::LeftDoubleClick); break;
        case QSystemTrayIcon::Context:
            // A tray that shows the menu we gave it has shown it already.
            if (!singleClickTray_) emit clicked(TrayClick::RightUp);
            break;
        case QSystemTrayIcon::Trigger:
            emit clicked(singleClickTray_ ? TrayClick::LeftDoubleClick : TrayClick::LeftUp);
            break;
        default: break;
        }
    });
    connect(&menu_, &QMenu::aboutToShow, this, &SystemTray::refreshMenu);
}

void SystemTray::refreshMenu() {
    if (!singleClickTray_ || !menuItems_) return;
    std::vector<TrayMenuItem> items = menuItems_();
    const auto same = [](const TrayMenuItem& a, const TrayMenuItem& b) {
        return a.text == b.text && a.command == b.command;
    };
    if (std::equal(items.begin(), items.end(), shownItems_.begin(), shownItems_.end(), same)) return;
    fillMenu(items);
    shownItems_ = std::move(items);
}

void SystemTray::fillMenu(const std::vector<TrayMenuItem>& items) {
    menu_.clear();
    for (const TrayMenuItem& item : items) {
        if (item.command == TrayCommand::Separator) {
            menu_.addSeparator();
            continue;
        }
        const TrayCommand command = item.command;
        connect(menu_.addAction(item.text), &QAction::triggered, this,
                [this, command] { emit menuChosen(command); });
    }
}

bool SystemTray::addIcon(const QString& picture, const QString& tip) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    singleClickTray_ = statusNotifierHostPresent();
    if (singleClickTray_) {
        refreshMenu();
        icon_.setContextMenu(&menu_);
    }
    icon_.setIcon(TrayArtwork::icon(picture));
    icon_.setToolTip(tip.left(64));
    // Hidden first: an icon shown while no tray was there is only put into a
    // tray that appears later by showing it again.
    icon_.hide();
    icon_.show();
    return true;
}

bool SystemTray::removeIcon() {
    icon_.hide();
    return true;
}

void SystemTray::changeIcon(const QString& picture) { icon_.setIcon(TrayArtwork::icon(picture)); }

bool SystemTray::available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

} // namespace ql
