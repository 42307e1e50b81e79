#pragma once
#include "platform/desktop/DesktopBackends.h"
#include "platform/wayland/WaylandConnection.h"
#include <string>
#include <vector>

namespace ql {

// One family of Wayland compositors whose own protocols give us windows and
// keystrokes (wlroots; later KWin and GNOME, each a family of its own).
struct WaylandFamily {
    // What types the keystrokes, before the compositor's name: "Wayland virtual keyboard".
    QString keystrokesName;
    // Globals the compositor must announce for the family to fit.
    std::vector<std::string> required;
    // Opens the family's backends on the connection; names are filled in by the caller.
    void (*open)(const std::shared_ptr<WaylandConnection>& connection, const DesktopRequest& request,
                 DesktopBackends& into);
};

// Every family we know, the preferred first.
const std::vector<WaylandFamily>& waylandFamilies();

// The first of `families` whose required globals are all among `globals`;
// null when none fits.
const WaylandFamily* fittingFamily(const std::vector<WaylandFamily>& families,
                                   const std::vector<WaylandGlobal>& globals);

// The backends of the wlroots family (foreign toplevels, virtual keyboard).
void openWlrootsBackends(const std::shared_ptr<WaylandConnection>& connection,
                         const DesktopRequest& request, DesktopBackends& into);

// The backends of GNOME's compositor (the accessibility bus's windows, the
// desktop portal's keyboard).
void openGnomeBackends(const std::shared_ptr<WaylandConnection>& connection,
                       const DesktopRequest& request, DesktopBackends& into);

// Binds the globals of KWin that it gives only to programs it knows, for its
// backends to take later; false when the compositor offers none of them.
bool bindKwinGlobalsEarly(WaylandConnection& connection);

// The backends of KWin (its window management, fake input, data control).
void openKwinBackends(const std::shared_ptr<WaylandConnection>& connection,
                      const DesktopRequest& request, DesktopBackends& into);

} // namespace ql
