#include "platform/desktop/WaylandFamilies.h"
#include "platform/gnome/AtspiWindowSystem.h"
#include "platform/gnome/FocusedClipboardClearing.h"
#include "platform/gnome/PortalKeyboard.h"
#include <QGuiApplication>
#include <QWindow>

namespace ql {

namespace {

// Whether one of this program's windows has the focus, as the toolkit knows.
bool ownWindowActive() {
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return gui && QGuiApplication::focusWindow() != nullptr;
}

} // namespace

void openGnomeBackends(const std::shared_ptr<WaylandConnection>& connection, const DesktopRequest& request,
                       DesktopBackends& into) {
    into.windows = std::make_unique<AtspiWindowSystem>(request.controls, &ownWindowActive);
    if (PortalKeyboard::offered())
        into.keyboard = std::make_unique<PortalKeyboard>(connection, request.explainTyping);
    if (into.keyboard && request.toolkitClipboard) {
        into.clipboardClearing =
            std::make_unique<FocusedClipboardClearing>(*request.toolkitClipboard, &ownWindowActive);
        into.notice = QStringLiteral("%1: windows seen through accessibility; clearing the clipboard "
                                     "waits for Quillock's window")
                          .arg(into.name);
    }
}

} // namespace ql
