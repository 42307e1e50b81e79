#include "platform/kwinwindows/PlasmaWindowSystem.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/protocols/plasma-window-management-client-protocol.h"
#include <algorithm>
#include <wayland-client.h>

namespace ql {

// One announced window: the protocol object and the handle we gave it. Its
// first state is complete at "initial_state"; every later event takes effect
// at once, as KWin sends each change whole.
struct PlasmaWindowSystem::Window {
    PlasmaWindowSystem* owner = nullptr;
    WindowHandle handle = 0;
    org_kde_plasma_window* proxy = nullptr;
    bool initial = true;

    void setTitle(const char* title) {
        owner->list_.setTitle(handle, QString::fromUtf8(title));
        changed();
    }
    void setAppId(const char* appId) {
        owner->list_.setAppId(handle, QString::fromUtf8(appId));
        changed();
    }
    void setStates(bool active, bool minimized) {
        owner->list_.setStates(handle, active, minimized);
        changed();
    }
    void toldInFull() {
        initial = false;
        owner->list_.done(handle);
    }
    void gone() { owner->forget(handle); }

private:
    void changed() {
        if (!initial) owner->list_.done(handle);
    }
};

namespace {

constexpr uint32_t kActive = ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE;
constexpr uint32_t kMinimized = ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_MINIMIZED;
// The announcement that names windows by uuid replaces the one by number.
constexpr uint32_t kUuidVersion = ORG_KDE_PLASMA_WINDOW_MANAGEMENT_WINDOW_WITH_UUID_SINCE_VERSION;

PlasmaWindowSystem::Window& windowOf(void* data) {
    return *static_cast<PlasmaWindowSystem::Window*>(data);
}

template <class... Args>
void ignore(void*, org_kde_plasma_window*, Args...) {}

const org_kde_plasma_window_listener& windowListener() {
    static const org_kde_plasma_window_listener listener = {
        .title_changed = [](void* d, org_kde_plasma_window*, const char* title) {
            windowOf(d).setTitle(title);
        },
        .app_id_changed = [](void* d, org_kde_plasma_window*, const char* appId) {
            windowOf(d).setAppId(appId);
        },
        .state_changed = [](void* d, org_kde_plasma_window*, uint32_t flags) {
            windowOf(d).setStates(flags & kActive, flags & kMinimized);
        },
        .virtual_desktop_changed = ignore<int32_t>,
        .themed_icon_name_changed = ignore<const char*>,
        .unmapped = [](void* d, org_kde_plasma_window*) {
            windowOf(d).gone();
        },
        .initial_state = [](void* d, org_kde_plasma_window*) {
            windowOf(d).toldInFull();
        },
        .parent_window = ignore<org_kde_plasma_window*>,
        .geometry = ignore<int32_t, int32_t, uint32_t, uint32_t>,
        .icon_changed = ignore<>,
        .pid_changed = ignore<uint32_t>,
        .virtual_desktop_entered = ignore<const char*>,
        .virtual_desktop_left = ignore<const char*>,
        .application_menu = ignore<const char*, const char*>,
        .activity_entered = ignore<const char*>,
        .activity_left = ignore<const char*>,
        .resource_name_changed = ignore<const char*>,
    };
    return listener;
}

} // namespace

bool PlasmaWindowSystem::offeredBy(const WaylandConnection& connection) {
    return connection.offers(org_kde_plasma_window_management_interface.name);
}

PlasmaWindowSystem::PlasmaWindowSystem(std::shared_ptr<WaylandConnection> connection,
                                       std::shared_ptr<ControlTextSource> controls, QStringList ownAppIds)
    : ToplevelWindowSystem(std::move(connection), std::move(controls), std::move(ownAppIds)) {
    if (!connection_) return;
    manager_ = connection_->bind<org_kde_plasma_window_management>(
        &org_kde_plasma_window_management_interface, 16);
    if (!manager_) return;
    static const org_kde_plasma_window_management_listener listener = {
        .show_desktop_changed = [](void*, org_kde_plasma_window_management*, uint32_t) {},
        .window = &PlasmaWindowSystem::onWindow,
        .stacking_order_changed = [](void*, org_kde_plasma_window_management*, wl_array*) {},
        .stacking_order_uuid_changed = [](void*, org_kde_plasma_window_management*, const char*) {},
        .window_with_uuid = &PlasmaWindowSystem::onWindowWithUuid,
    };
    org_kde_plasma_window_management_add_listener(manager_, &listener, this);
    connection_->roundTrip(); // the windows open now are announced
    connection_->roundTrip(); // and each told in full
}

PlasmaWindowSystem::~PlasmaWindowSystem() {
    for (auto& [handle, w] : windows_) org_kde_plasma_window_destroy(w->proxy);
    if (manager_) org_kde_plasma_window_management_destroy(manager_);
    if (connection_) connection_->flush();
}

bool PlasmaWindowSystem::available() const { return manager_ && !connection_->broken(); }

void PlasmaWindowSystem::onWindow(void* data, org_kde_plasma_window_management* manager, uint32_t id) {
    if (WaylandConnection::boundVersion(manager) >= kUuidVersion) return;
    static_cast<PlasmaWindowSystem*>(data)->track(org_kde_plasma_window_management_get_window(manager, id));
}

void PlasmaWindowSystem::onWindowWithUuid(void* data, org_kde_plasma_window_management* manager, uint32_t,
                                          const char* uuid) {
    static_cast<PlasmaWindowSystem*>(data)->track(
        org_kde_plasma_window_management_get_window_by_uuid(manager, uuid));
}

void PlasmaWindowSystem::track(org_kde_plasma_window* proxy) {
    auto made = std::make_unique<Window>(Window{this, list_.announce(), proxy, true});
    org_kde_plasma_window_add_listener(proxy, &windowListener(), made.get());
    windows_[made->handle] = std::move(made);
}

void PlasmaWindowSystem::forget(WindowHandle window) {
    list_.close(window);
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    org_kde_plasma_window_destroy(it->second->proxy);
    windows_.erase(it);
}

// A window KWin just announced is told only in answer to our request for it:
// one more round trip, so that it is listed at once and not a call later.
void PlasmaWindowSystem::refresh() {
    if (!available()) return;
    connection_->dispatchPending();
    if (anyUntold()) connection_->roundTrip();
}

bool PlasmaWindowSystem::anyUntold() const {
    return std::any_of(windows_.begin(), windows_.end(), [](const auto& w) { return w.second->initial; });
}

bool PlasmaWindowSystem::waitForChanges(int timeoutMs) {
    if (!available()) return false;
    const size_t before = list_.size();
    const std::vector<TopWindow> titledBefore = list_.titled();
    const WindowHandle focusBefore = list_.activated();
    connection_->dispatchPending(timeoutMs);
    if (anyUntold()) connection_->roundTrip();
    const std::vector<TopWindow> titled = list_.titled();
    const bool sameTitles = std::equal(titled.begin(), titled.end(), titledBefore.begin(), titledBefore.end(),
                                       [](const TopWindow& a, const TopWindow& b) {
                                           return a.handle == b.handle && a.title == b.title;
                                       });
    return list_.size() != before || list_.activated() != focusBefore || !sameTitles;
}

void PlasmaWindowSystem::setState(WindowHandle window, uint32_t flags, uint32_t state) {
    auto it = windows_.find(window);
    if (it == windows_.end() || !list_.exists(window)) return;
    org_kde_plasma_window_set_state(it->second->proxy, flags, state);
    connection_->flush();
}

// KWin un-minimizes a window it is asked to activate; Restore says so all the
// same, as the state request is the one way to ask.
void PlasmaWindowSystem::requestFocus(WindowHandle window, FocusWay way) {
    refresh();
    const ToplevelState* s = list_.state(window);
    if (!s) return;
    if (way == FocusWay::Restore && s->minimized) setState(window, kMinimized, 0);
    setState(window, kActive, kActive);
}

void PlasmaWindowSystem::minimize(WindowHandle window) {
    refresh();
    setState(window, kMinimized, kMinimized);
}

} // namespace ql
