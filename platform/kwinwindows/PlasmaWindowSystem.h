#pragma once
#include "platform/core/WindowSystem.h"
#include "platform/wlrwindows/ToplevelList.h"
#include <QStringList>
#include <map>
#include <memory>

struct org_kde_plasma_window_management;
struct org_kde_plasma_window;

namespace ql {

class ControlTextSource;
class WaylandConnection;

// The desktop's windows on KWin, through its window-management list on our
// own connection: titles, application ids, the active and minimized states as
// KWin tells them; activation and un-minimizing through the window's state
// request. Events are read on demand at each call; the focus is asked with a
// round trip, so it is KWin's of the moment.
class PlasmaWindowSystem : public WindowSystem {
public:
    // `ownAppIds` are the application ids of this program's windows; empty
    // means the program's own name.
    PlasmaWindowSystem(std::shared_ptr<WaylandConnection> connection,
                       std::shared_ptr<ControlTextSource> controls = {}, QStringList ownAppIds = {});
    ~PlasmaWindowSystem() override;
    PlasmaWindowSystem(const PlasmaWindowSystem&) = delete;
    PlasmaWindowSystem& operator=(const PlasmaWindowSystem&) = delete;

    static bool offeredBy(const WaylandConnection& connection);

    bool available() const override;
    std::vector<TopWindow> topWindows() override;
    std::vector<ChildWindow> childWindows(WindowHandle window) override;
    bool exists(WindowHandle window) override;
    void requestFocus(WindowHandle window, FocusWay way) override;
    bool hasFocus(WindowHandle window) override;
    WindowHandle focusedWindow() override;
    WindowHandle ownFocusedWindow() override;

    // The window's application id ("foot"); empty when unknown.
    QString appIdOf(WindowHandle window);
    bool isMinimized(WindowHandle window);
    // Asks KWin to minimize the window.
    void minimize(WindowHandle window);
    // Waits up to `timeoutMs` for KWin's next events and takes them in; false
    // when nothing changed.
    bool waitForChanges(int timeoutMs);

    // One window as the protocol code sees it.
    struct Window;

private:
    std::shared_ptr<WaylandConnection> connection_;
    std::shared_ptr<ControlTextSource> controls_;
    QStringList ownAppIds_;
    org_kde_plasma_window_management* manager_ = nullptr;
    ToplevelList list_;
    std::map<WindowHandle, std::unique_ptr<Window>> windows_;

    void refresh();
    bool anyUntold() const;
    void catchUp();
    void track(org_kde_plasma_window* proxy);
    void forget(WindowHandle window);
    void setState(WindowHandle window, uint32_t flags, uint32_t state);
    static void onWindow(void* data, org_kde_plasma_window_management*, uint32_t id);
    static void onWindowWithUuid(void* data, org_kde_plasma_window_management*, uint32_t id,
                                 const char* uuid);
};

} // namespace ql
