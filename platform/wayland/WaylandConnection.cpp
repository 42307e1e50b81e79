#include "platform/wayland/WaylandConnection.h"
#include <algorithm>
#include <cerrno>
#include <fstream>
#include <poll.h>
#include <sys/socket.h>
#include <wayland-client.h>

namespace ql {

WaylandConnection::WaylandConnection(wl_display* display) : display_(display) {}

std::unique_ptr<WaylandConnection> WaylandConnection::open(const char* socket) {
    wl_display* display = wl_display_connect(socket);
    if (!display) return nullptr;
    std::unique_ptr<WaylandConnection> c(new WaylandConnection(display));
    static const wl_registry_listener listener = {&WaylandConnection::onGlobal,
                                                  &WaylandConnection::onGlobalRemove};
    c->registry_ = wl_display_get_registry(display);
    wl_registry_add_listener(c->registry_, &listener, c.get());
    if (!c->roundTrip()) return nullptr;
    c->readCompositorName();
    return c;
}

WaylandConnection::~WaylandConnection() {
    for (auto& [name, proxy] : early_) wl_proxy_destroy(static_cast<wl_proxy*>(proxy));
    if (earlyQueue_) wl_event_queue_destroy(earlyQueue_);
    if (seat_) wl_seat_destroy(seat_);
    if (registry_) wl_registry_destroy(registry_);
    if (display_) wl_display_disconnect(display_);
}

int WaylandConnection::fd() const { return wl_display_get_fd(display_); }

void WaylandConnection::onGlobal(void* data, wl_registry*, uint32_t name, const char* interface,
                                 uint32_t version) {
    static_cast<WaylandConnection*>(data)->globals_.push_back({name, interface, version});
}

void WaylandConnection::onGlobalRemove(void* data, wl_registry*, uint32_t name) {
    auto& globals = static_cast<WaylandConnection*>(data)->globals_;
    std::erase_if(globals, [name](const WaylandGlobal& g) { return g.name == name; });
}

const WaylandGlobal* WaylandConnection::global(std::string_view interface) const {
    auto it = std::find_if(globals_.begin(), globals_.end(),
                           [interface](const WaylandGlobal& g) { return g.interface == interface; });
    return it == globals_.end() ? nullptr : &*it;
}

void* WaylandConnection::bind(const wl_interface* interface, uint32_t version) {
    auto early = early_.find(interface->name);
    if (early != early_.end()) {
        void* proxy = early->second;
        early_.erase(early);
        // Its events so far stay in the early queue until the next dispatch,
        // which comes after the caller has set its listener.
        wl_proxy_set_queue(static_cast<wl_proxy*>(proxy), nullptr);
        return proxy;
    }
    const WaylandGlobal* g = global(interface->name);
    if (!g || broken()) return nullptr;
    const uint32_t chosen = std::min({version, g->version, uint32_t(interface->version)});
    return wl_registry_bind(registry_, g->name, interface, chosen);
}

bool WaylandConnection::bindEarly(const wl_interface* interface, uint32_t version) {
    if (early_.count(interface->name)) return true;
    const WaylandGlobal* g = global(interface->name);
    if (!g || broken()) return false;
    if (!earlyQueue_) earlyQueue_ = wl_display_create_queue(display_);
    const uint32_t chosen = std::min({version, g->version, uint32_t(interface->version)});
    auto* proxy = static_cast<wl_proxy*>(wl_registry_bind(registry_, g->name, interface, chosen));
    wl_proxy_set_queue(proxy, earlyQueue_);
    early_[interface->name] = proxy;
    return true;
}

bool WaylandConnection::settleEarlyBinds() {
    if (broken()) return false;
    wl_event_queue* queue = wl_display_create_queue(display_);
    auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(display_));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), queue);
    wl_callback* done = wl_display_sync(wrapped);
    wl_proxy_wrapper_destroy(wrapped);
    bool answered = false;
    static const wl_callback_listener listener = {[](void* data, wl_callback*, uint32_t) {
        *static_cast<bool*>(data) = true;
    }};
    wl_callback_add_listener(done, &listener, &answered);
    while (!answered && wl_display_dispatch_queue(display_, queue) >= 0) {}
    wl_callback_destroy(done);
    wl_event_queue_destroy(queue);
    return answered && !broken();
}

// Events of early objects that have been taken, in the order they came.
void WaylandConnection::dispatchEarlyEvents() {
    if (earlyQueue_) wl_display_dispatch_queue_pending(display_, earlyQueue_);
}

uint32_t WaylandConnection::boundVersion(const void* proxy) {
    return proxy ? wl_proxy_get_version(static_cast<wl_proxy*>(const_cast<void*>(proxy))) : 0;
}

wl_seat* WaylandConnection::seat() {
    if (!seat_) seat_ = bind<wl_seat>(&wl_seat_interface, 5);
    return seat_;
}

bool WaylandConnection::broken() const { return wl_display_get_error(display_) != 0; }

bool WaylandConnection::roundTrip() {
    dispatchEarlyEvents();
    return wl_display_roundtrip(display_) >= 0 && !broken();
}

bool WaylandConnection::flush() {
    if (broken()) return false;
    return wl_display_flush(display_) >= 0 || errno == EAGAIN;
}

bool WaylandConnection::dispatchPending(int timeoutMs) {
    if (broken()) return false;
    dispatchEarlyEvents();
    // Events already queued are dispatched first; then there is no reason to wait.
    while (wl_display_prepare_read(display_) != 0) {
        const int n = wl_display_dispatch_pending(display_);
        if (n < 0) return false;
        if (n > 0) timeoutMs = 0;
    }
    flush();
    pollfd p{fd(), POLLIN, 0};
    if (poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN)) {
        if (wl_display_read_events(display_) < 0) return false;
    } else {
        wl_display_cancel_read(display_);
    }
    return wl_display_dispatch_pending(display_) >= 0 && !broken();
}

void WaylandConnection::readCompositorName() {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(fd(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.pid <= 0) return;
    std::ifstream comm("/proc/" + std::to_string(peer.pid) + "/comm");
    std::getline(comm, compositor_);
}

} // namespace ql
