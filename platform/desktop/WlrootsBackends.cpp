#include "platform/desktop/NoDesktop.h"
#include "platform/desktop/WaylandFamilies.h"
#include "platform/wlclipboard/DataControlClearing.h"
#include "platform/wlkeyboard/FocusRoutedKeyboard.h"
#include "platform/wlkeyboard/WaylandKeyboard.h"
#include "platform/wlrwindows/WlrWindowSystem.h"

namespace ql {

namespace {

// The virtual keyboard of a wlroots session.
std::unique_ptr<Keyboard> wlrootsKeyboard(const std::shared_ptr<WaylandConnection>& connection) {
    if (!WaylandKeyboard::offeredBy(*connection)) return std::make_unique<NoDesktopKeyboard>();
    return std::make_unique<FocusRoutedKeyboard>(std::make_unique<WaylandKeyboard>(connection),
                                                 qgetenv("DISPLAY"));
}

// Clears the clipboard without the focus through the data-control protocol.
std::unique_ptr<ClipboardClearing> wlrootsClipboardClearing(const std::shared_ptr<WaylandConnection>& connection) {
    if (!DataControlClearing::offeredBy(*connection)) return std::make_unique<NoClipboardClearing>();
    return std::make_unique<DataControlClearing>(connection);
}

} // namespace

void openWlrootsBackends(const std::shared_ptr<WaylandConnection>& connection,
                         const DesktopRequest& request, DesktopBackends& into) {
    into.windows = std::make_unique<WlrWindowSystem>(connection, request.controls, request.ownAppIds);
    into.keyboard = wlrootsKeyboard(connection);
    into.clipboardClearing = wlrootsClipboardClearing(connection);
}

} // namespace ql
