#pragma once
#include "platform/core/Launcher.h"

namespace ql {

// Opens URLs and documents through QDesktopServices (xdg-open on X11 desktops)
// and starts programs with QProcess::startDetached.
class DesktopLauncher : public Launcher {
public:
    bool openUrl(const QUrl& url) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
};

} // namespace ql
