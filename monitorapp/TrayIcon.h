#pragma once
#include "monitorapp/MonitorSurfaces.h"

namespace ql {

// The monitor's icon in the notification area: whether it is there, and the
// picture it shows. The present flag is set only when adding the icon
// succeeded and cleared only when removing it did.
class TrayIcon {
public:
    TrayIcon(TrayHost& host, QString tip) : host_(host), tip_(std::move(tip)) {}

    bool present() const { return present_; }
    const QString& picture() const { return picture_; }

    // Adds the icon when it is absent; true when it is present afterwards.
    bool add(const QString& picture);
    void remove();
    // Shows another picture; nothing while the icon is absent.
    void change(const QString& picture);
    // True, with the flag cleared, when the notification area went away
    // under the icon (its host ended).
    bool lost();

private:
    TrayHost& host_;
    QString tip_;
    bool present_ = false;
    QString picture_;
};

} // namespace ql
