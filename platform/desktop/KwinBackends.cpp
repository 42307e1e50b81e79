#include "platform/desktop/WaylandFamilies.h"
#include "platform/kwinkeyboard/FakeInputKeyboard.h"
#include "platform/kwinwindows/PlasmaWindowSystem.h"
#include "platform/wlclipboard/DataControlClearing.h"

namespace ql {

void openKwinBackends(const std::shared_ptr<WaylandConnection>& connection, const DesktopRequest& request,
                      DesktopBackends& into) {
    into.windows = std::make_unique<PlasmaWindowSystem>(connection, request.controls, request.ownAppIds);
    if (FakeInputKeyboard::offeredBy(*connection)) into.keyboard = std::make_unique<FakeInputKeyboard>(connection);
    if (DataControlClearing::offeredBy(*connection))
        into.clipboardClearing = std::make_unique<DataControlClearing>(connection);
}

} // namespace ql
