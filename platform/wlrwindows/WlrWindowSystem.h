#pragma once
#include "platform/core/WindowSystem.h"
#include "platform/wlrwindows/ToplevelList.h"
#include <QStringList>
#include <map>
#include <memory>

struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace ql {

class ControlTextSource;
class WaylandConnection;

// The desktop's windows on a wlroots compositor, through its foreign-toplevel
// list on our own connection: titles and application ids as the compositor
// tells them, in its order; the focus from the "activated" state; activation
// through the seat. Events are read on demand at each call (and by an event
// pump on the connection, if one runs), so answers are as fresh as the socket;
// the focus is asked with a round trip, so it is the compositor's of the moment.
class WlrWindowSystem : public WindowSystem {
public:
    // `ownAppIds` are the application ids of this program's windows; empty
    // means the program's own name.
    WlrWindowSystem(std::shared_ptr<WaylandConnection> connection,
                    std::shared_ptr<ControlTextSource> controls = {}, QStringList ownAppIds = {});
    ~WlrWindowSystem() override;
    WlrWindowSystem(const WlrWindowSystem&) = delete;
    WlrWindowSystem& operator=(const WlrWindowSystem&) = delete;

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
    // Waits up to `timeoutMs` for the compositor's next events and takes
    // them in; false when nothing arrived.
    bool waitForChanges(int timeoutMs);

private:
    struct Toplevel;
    std::shared_ptr<WaylandConnection> connection_;
    std::shared_ptr<ControlTextSource> controls_;
    QStringList ownAppIds_;
    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
    ToplevelList list_;
    std::map<WindowHandle, std::unique_ptr<Toplevel>> handles_;

    void refresh();
    void catchUp();
    static void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                           zwlr_foreign_toplevel_handle_v1* handle);
    static void onFinished(void* data, zwlr_foreign_toplevel_manager_v1*);
    void forget(WindowHandle window);
};

} // namespace ql
