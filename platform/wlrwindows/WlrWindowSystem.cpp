#include "platform/wlrwindows/WlrWindowSystem.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/protocols/wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"
#include <wayland-client.h>

namespace ql {

// One announced window: the protocol object and the handle we gave it.
struct WlrWindowSystem::Toplevel {
    WlrWindowSystem* owner = nullptr;
    WindowHandle handle = 0;
    zwlr_foreign_toplevel_handle_v1* proxy = nullptr;
};

namespace {

template <class T>
T& toplevelOf(void* data) {
    return *static_cast<T*>(data);
}

} // namespace

WlrWindowSystem::WlrWindowSystem(std::shared_ptr<WaylandConnection> connection,
                                 std::shared_ptr<ControlTextSource> controls, QStringList ownAppIds)
    : ToplevelWindowSystem(std::move(connection), std::move(controls), std::move(ownAppIds)) {
    if (!connection_) return;
    manager_ = connection_->bind<zwlr_foreign_toplevel_manager_v1>(
        &zwlr_foreign_toplevel_manager_v1_interface, 3);
    if (!manager_) return;
    static const zwlr_foreign_toplevel_manager_v1_listener listener = {&WlrWindowSystem::onToplevel,
                                                                       &WlrWindowSystem::onFinished};
    zwlr_foreign_toplevel_manager_v1_add_listener(manager_, &listener, this);
    connection_->seat(); // bound now, so activation never waits for it
    connection_->roundTrip(); // the windows open now, each told in full
}

WlrWindowSystem::~WlrWindowSystem() {
    for (auto& [handle, t] : handles_) zwlr_foreign_toplevel_handle_v1_destroy(t->proxy);
    if (manager_) zwlr_foreign_toplevel_manager_v1_destroy(manager_);
    if (connection_) connection_->flush();
}

bool WlrWindowSystem::available() const { return manager_ && !connection_->broken(); }

void WlrWindowSystem::onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                                 zwlr_foreign_toplevel_handle_v1* proxy) {
    auto* self = static_cast<WlrWindowSystem*>(data);
    auto made = std::make_unique<Toplevel>(Toplevel{self, self->list_.announce(), proxy});
    static const zwlr_foreign_toplevel_handle_v1_listener listener = {
        [](void* d, zwlr_foreign_toplevel_handle_v1*, const char* title) {
            auto& t = toplevelOf<Toplevel>(d);
            t.owner->list_.setTitle(t.handle, QString::fromUtf8(title));
        },
        [](void* d, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
            auto& t = toplevelOf<Toplevel>(d);
            t.owner->list_.setAppId(t.handle, QString::fromUtf8(appId));
        },
        [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
        [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
        [](void* d, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
            auto& t = toplevelOf<Toplevel>(d);
            bool activated = false, minimized = false;
            const auto* s = static_cast<const uint32_t*>(states->data);
            for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i) {
                activated |= s[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
                minimized |= s[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED;
            }
            t.owner->list_.setStates(t.handle, activated, minimized);
        },
        [](void* d, zwlr_foreign_toplevel_handle_v1*) {
            auto& t = toplevelOf<Toplevel>(d);
            t.owner->list_.done(t.handle);
        },
        [](void* d, zwlr_foreign_toplevel_handle_v1*) {
            auto& t = toplevelOf<Toplevel>(d);
            t.owner->forget(t.handle);
        },
        [](void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {},
    };
    zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &listener, made.get());
    self->handles_[made->handle] = std::move(made);
}

void WlrWindowSystem::onFinished(void* data, zwlr_foreign_toplevel_manager_v1*) {
    // The compositor stopped telling: nothing listed can be trusted any more.
    auto* self = static_cast<WlrWindowSystem*>(data);
    while (!self->handles_.empty()) self->forget(self->handles_.begin()->first);
    zwlr_foreign_toplevel_manager_v1_destroy(self->manager_);
    self->manager_ = nullptr;
}

void WlrWindowSystem::forget(WindowHandle window) {
    list_.close(window);
    auto it = handles_.find(window);
    if (it == handles_.end()) return;
    zwlr_foreign_toplevel_handle_v1_destroy(it->second->proxy);
    handles_.erase(it);
}

bool WlrWindowSystem::waitForChanges(int timeoutMs) {
    if (!available()) return false;
    const size_t before = list_.size();
    const WindowHandle focusBefore = list_.activated();
    connection_->dispatchPending(timeoutMs);
    return list_.size() != before || list_.activated() != focusBefore;
}

void WlrWindowSystem::requestFocus(WindowHandle window, FocusWay way) {
    refresh();
    auto it = handles_.find(window);
    wl_seat* seat = connection_ ? connection_->seat() : nullptr;
    if (it == handles_.end() || !seat || !list_.exists(window)) return;
    if (way == FocusWay::Restore && list_.state(window)->minimized)
        zwlr_foreign_toplevel_handle_v1_unset_minimized(it->second->proxy);
    zwlr_foreign_toplevel_handle_v1_activate(it->second->proxy, seat);
    connection_->flush();
}

} // namespace ql
