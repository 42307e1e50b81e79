#include "platform/gnome/AtspiWindowSystem.h"
#include "platform/atspi/AtspiNodes.h"
#include "platform/atspi/ControlTextSource.h"
#include <atspi/atspi.h>
#include <unistd.h>

namespace ql {
namespace {

using namespace atspi_nodes;

constexpr int kCallTimeoutMs = 1500;

bool isTopLevelRole(AtspiRole role) {
    switch (role) {
    case ATSPI_ROLE_FRAME:
    case ATSPI_ROLE_DIALOG:
    case ATSPI_ROLE_WINDOW:
    case ATSPI_ROLE_ALERT:
    case ATSPI_ROLE_FILE_CHOOSER:
    case ATSPI_ROLE_FILLER: // a Qt top-level widget that is neither main window nor dialog
        return true;
    default: return false;
    }
}

bool isActive(AtspiAccessible* node) {
    AtspiStateSet* states = atspi_accessible_get_state_set(node);
    const bool active = states && atspi_state_set_contains(states, ATSPI_STATE_ACTIVE);
    if (states) g_object_unref(states);
    return active;
}

} // namespace

AtspiWindowSystem::AtspiWindowSystem(std::shared_ptr<ControlTextSource> controls,
                                     std::function<bool()> ownActive)
    : controls_(std::move(controls)), ownActive_(std::move(ownActive)) {
    if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS") &&
        !qEnvironmentVariableIsSet("AT_SPI_BUS_ADDRESS"))
        return;
    const int status = atspi_init();
    ready_ = status == 0 || status == 1;
    if (ready_) atspi_set_timeout(kCallTimeoutMs, kCallTimeoutMs);
}

AtspiWindowSystem::~AtspiWindowSystem() { release(); }

void AtspiWindowSystem::release() {
    for (Frame& f : frames_) g_object_unref(f.node);
    frames_.clear();
}

// A frame keeps its handle as long as its application keeps the object: the
// bus name and object path name it for that long.
WindowHandle AtspiWindowSystem::handleOf(AtspiAccessible* node) {
    AtspiObject* object = ATSPI_OBJECT(node);
    if (!object->app || !object->app->bus_name || !object->path) return 0;
    const std::string key = std::string(object->app->bus_name) + ' ' + object->path;
    auto [it, added] = handles_.emplace(key, nextHandle_);
    if (added) ++nextHandle_;
    return it->second;
}

void AtspiWindowSystem::readApplication(AtspiAccessible* application) {
    atspi_accessible_clear_cache(application); // titles and states change as it runs
    for (int i = 0; i < childCount(application); ++i) {
        AtspiAccessible* child = childAt(application, i);
        if (!child) continue;
        GError* error = nullptr;
        const AtspiRole role = atspi_accessible_get_role(child, &error);
        const bool failed = error != nullptr;
        g_clear_error(&error);
        const WindowHandle handle = failed || !isTopLevelRole(role) ? 0 : handleOf(child);
        if (handle) frames_.push_back({handle, nameOf(child), isActive(child), child});
        else g_object_unref(child);
    }
}

// The frames as the bus has them now; the newest application first, as a
// window opened last is usually on top.
void AtspiWindowSystem::refresh() {
    release();
    if (!ready_) return;
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (!desktop) return;
    atspi_accessible_clear_cache(desktop); // applications come and go
    for (int i = childCount(desktop) - 1; i >= 0; --i) {
        AtspiAccessible* app = childAt(desktop, i);
        if (!app) continue;
        GError* error = nullptr;
        const guint pid = atspi_accessible_get_process_id(app, &error);
        if (!error && pid != guint(getpid())) readApplication(app);
        g_clear_error(&error);
        g_object_unref(app);
    }
    g_object_unref(desktop);
}

const AtspiWindowSystem::Frame* AtspiWindowSystem::frame(WindowHandle window) const {
    for (const Frame& f : frames_)
        if (f.handle == window) return &f;
    return nullptr;
}

std::vector<TopWindow> AtspiWindowSystem::topWindows() {
    refresh();
    std::vector<TopWindow> out;
    for (const Frame& f : frames_)
        if (!f.title.isEmpty()) out.push_back({f.title, f.handle});
    return out;
}

std::vector<ChildWindow> AtspiWindowSystem::childWindows(WindowHandle window) {
    refresh();
    const Frame* f = frame(window);
    if (!f || !controls_) return {};
    return controls_->controlsOfTitled(f->title);
}

bool AtspiWindowSystem::exists(WindowHandle window) {
    if (window == kOwnWindow) return true;
    refresh();
    return frame(window) != nullptr;
}

// GNOME brings a window forward only when the user or the window's own
// program asks (an activation token of its own); the bus's grab-focus would
// only move the focus inside the frame, away from the field the user chose.
// So nothing is asked: a send waits until the user brings the window forward.
void AtspiWindowSystem::requestFocus(WindowHandle, FocusWay) {}

// Asked before every item of a send: only the frame's own state is read
// again, not the whole desktop.
bool AtspiWindowSystem::hasFocus(WindowHandle window) {
    if (window == kOwnWindow) return ownFocusedWindow() != 0;
    const Frame* f = frame(window);
    if (!f) {
        refresh();
        f = frame(window);
        if (!f) return false;
    }
    atspi_accessible_clear_cache(f->node);
    return isActive(f->node);
}

WindowHandle AtspiWindowSystem::focusedWindow() {
    if (ownFocusedWindow()) return kOwnWindow;
    refresh();
    for (const Frame& f : frames_)
        if (f.active) return f.handle;
    return 0;
}

WindowHandle AtspiWindowSystem::ownFocusedWindow() {
    return ownActive_ && ownActive_() ? kOwnWindow : 0;
}

} // namespace ql
