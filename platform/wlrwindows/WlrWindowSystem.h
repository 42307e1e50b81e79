#pragma once
#include "platform/wlrwindows/ToplevelWindowSystem.h"
#include <map>
#include <memory>

struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace ql {

// The desktop's windows on a wlroots compositor, through its foreign-toplevel
// list on our own connection: titles and application ids as the compositor
// tells them, in its order; the focus from the "activated" state; activation
// through the seat. An event pump on the connection, if one runs, reads the
// events too, so answers are as fresh as the socket.
class WlrWindowSystem : public ToplevelWindowSystem {
public:
    WlrWindowSystem(std::shared_ptr<WaylandConnection> connection,
                    std::shared_ptr<ControlTextSource> controls = {}, QStringList ownAppIds = {});
    ~WlrWindowSystem() override;
    WlrWindowSystem(const WlrWindowSystem&) = delete;
    WlrWindowSystem& operator=(const WlrWindowSystem&) = delete;

    bool available() const override;
    void requestFocus(WindowHandle window, FocusWay way) override;

    // Waits up to `timeoutMs` for the compositor's next events and takes
    // them in; false when nothing arrived.
    bool waitForChanges(int timeoutMs);

private:
    struct Toplevel;
    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
    std::map<WindowHandle, std::unique_ptr<Toplevel>> handles_;

    static void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                           zwlr_foreign_toplevel_handle_v1* handle);
    static void onFinished(void* data, zwlr_foreign_toplevel_manager_v1*);
    void forget(WindowHandle window);
};

} // namespace ql
