#include "platform/desktop/WaylandFamilies.h"
#include "platform/kwinkeyboard/FakeInputKeyboard.h"
#include "platform/kwinwindows/PlasmaWindowSystem.h"
#include "platform/wayland/protocols/fake-input-client-protocol.h"
#include "platform/wayland/protocols/keystate-client-protocol.h"
#include "platform/wayland/protocols/plasma-window-management-client-protocol.h"
#include "platform/wlclipboard/DataControlClearing.h"

namespace ql {

bool bindKwinGlobalsEarly(WaylandConnection& connection) {
    bool any = false;
    for (const wl_interface* interface : {&org_kde_plasma_window_management_interface,
                                          &org_kde_kwin_fake_input_interface, &org_kde_kwin_keystate_interface})
        any |= connection.bindEarly(interface, uint32_t(interface->version));
    return any && connection.settleEarlyBinds();
}

void openKwinBackends(const std::shared_ptr<WaylandConnection>& connection, const DesktopRequest& request,
                      DesktopBackends& into) {
    into.windows = std::make_unique<PlasmaWindowSystem>(connection, request.controls, request.ownAppIds);
    if (FakeInputKeyboard::offeredBy(*connection)) into.keyboard = std::make_unique<FakeInputKeyboard>(connection);
    if (DataControlClearing::offeredBy(*connection))
        into.clipboardClearing = std::make_unique<DataControlClearing>(connection);
}

} // namespace ql
