#pragma once
#include "monitorapp/MonitorController.h"
#include "monitorapp/MonitorSurfaces.h"
#include <QObject>
#include <QSystemTrayIcon>

namespace ql {

// The monitor's icon in the desktop's notification area, through
// QSystemTrayIcon. Mouse events come out as TrayClick values; a tray that
// knows no double click (the StatusNotifier trays over D-Bus) has its single
// click come out as the double click that brings the window back.
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

signals:
    void clicked(ql::TrayClick click);

private:
    QSystemTrayIcon icon_;
    // The tray is a StatusNotifier host (every Wayland desktop, some X11 ones):
    // it reports single clicks only.
    bool singleClickTray_ = false;
};

} // namespace ql
