#include "monitorapp/views/SystemTray.h"
#include "monitorapp/views/TrayArtwork.h"
#include <QDBusConnection>
#include <QDBusInterface>

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
        case QSystemTrayIcon::Context: emit clicked(TrayClick::RightUp); break;
        case QSystemTrayIcon::Trigger:
            emit clicked(singleClickTray_ ? TrayClick::LeftDoubleClick : TrayClick::LeftUp);
            break;
        default: break;
        }
    });
}

bool SystemTray::addIcon(const QString& picture, const QString& tip) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    singleClickTray_ = statusNotifierHostPresent();
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
