#pragma once
#include "platform/wlrwindows/ToplevelWindowSystem.h"
#include <map>
#include <memory>

struct org_kde_plasma_window_management;
struct org_kde_plasma_window;

namespace ql {

// The desktop's windows on KWin, through its window-management list on our
// own connection: titles, application ids, the active and minimized states as
// KWin tells them; activation and un-minimizing through the window's state
// request.
class PlasmaWindowSystem : public ToplevelWindowSystem {
public:
    PlasmaWindowSystem(std::shared_ptr<WaylandConnection> connection,
                       std::shared_ptr<ControlTextSource> controls = {}, QStringList ownAppIds = {});
    ~PlasmaWindowSystem() override;
    PlasmaWindowSystem(const PlasmaWindowSystem&) = delete;
    PlasmaWindowSystem& operator=(const PlasmaWindowSystem&) = delete;

    static bool offeredBy(const WaylandConnection& connection);

    bool available() const override;
    void requestFocus(WindowHandle window, FocusWay way) override;

    // Asks KWin to minimize the window.
    void minimize(WindowHandle window);
    // Waits up to `timeoutMs` for KWin's next events and takes them in; false
    // when nothing changed.
    bool waitForChanges(int timeoutMs);

    // One window as the protocol code sees it.
    struct Window;

protected:
    void refresh() override;

private:
    org_kde_plasma_window_management* manager_ = nullptr;
    std::map<WindowHandle, std::unique_ptr<Window>> windows_;

    bool anyUntold() const;
    void track(org_kde_plasma_window* proxy);
    void forget(WindowHandle window);
    void setState(WindowHandle window, uint32_t flags, uint32_t state);
    static void onWindow(void* data, org_kde_plasma_window_management*, uint32_t id);
    static void onWindowWithUuid(void* data, org_kde_plasma_window_management*, uint32_t id,
                                 const char* uuid);
};

} // namespace ql
