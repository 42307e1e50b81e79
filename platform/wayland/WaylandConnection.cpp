#include "platform/wayland/WaylandConnection.h"
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <poll.h>
#include <sys/socket.h>
#include <wayland-client.h>

namespace ql {

WaylandConnection::WaylandConnection(wl_display* display) : display_(display) {}

std::unique_ptr<WaylandConnection> WaylandConnection::open(const char* socket,
                                                          std::chrono::milliseconds patience) {
    wl_display* display = wl_display_connect(socket);
    if (!display) return nullptr;
    std::unique_ptr<WaylandConnection> c(new WaylandConnection(display));
    c->patience_ = patience;
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
    const bool answered = syncOn(queue);
    wl_event_queue_destroy(queue);
    return answered;
}

// Sends a sync request whose answer comes on `queue` (null: the default one)
// and dispatches that queue until the answer, an error or the end of our patience.
bool WaylandConnection::syncOn(wl_event_queue* queue) {
    auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(display_));
    if (queue) wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), queue);
    wl_callback* done = wl_display_sync(wrapped);
    wl_proxy_wrapper_destroy(wrapped);
    bool answered = false;
    static const wl_callback_listener listener = {[](void* data, wl_callback*, uint32_t) {
        *static_cast<bool*>(data) = true;
    }};
    wl_callback_add_listener(done, &listener, &answered);
    const auto deadline = std::chrono::steady_clock::now() + patience_;
    while (!answered && !broken()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readAndDispatch(queue, int(left.count()))) break;
    }
    // A late answer finds the callback gone, and libwayland drops it.
    wl_callback_destroy(done);
    return answered && !broken();
}

// Dispatches what `queue` holds, or else waits up to `timeoutMs` for events
// and dispatches what arrived.
bool WaylandConnection::readAndDispatch(wl_event_queue* queue, int timeoutMs) {
    auto dispatch = [&] {
        return queue ? wl_display_dispatch_queue_pending(display_, queue)
                     : wl_display_dispatch_pending(display_);
    };
    const int prepared = queue ? wl_display_prepare_read_queue(display_, queue)
                               : wl_display_prepare_read(display_);
    if (prepared != 0) return dispatch() >= 0;
    flush();
    pollfd p{fd(), POLLIN, 0};
    const int ready = poll(&p, 1, timeoutMs);
    if (ready > 0 && (p.revents & POLLIN)) {
        if (wl_display_read_events(display_) < 0) return false;
    } else {
        wl_display_cancel_read(display_);
        if (ready > 0) return false; // hung up or failed, nothing to read
    }
    return dispatch() >= 0;
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
    if (broken()) return false;
    dispatchEarlyEvents();
    return syncOn(nullptr);
}

bool WaylandConnection::flush() {
    if (broken()) return false;
    return wl_display_flush(display_) >= 0 || errno == EAGAIN;
}

bool WaylandConnection::flushAll() {
    for (int tries = 0; tries < 100; ++tries) {
        if (wl_display_flush(display_) >= 0) return true;
        if (errno != EAGAIN) return false;
        pollfd p{fd(), POLLOUT, 0};
        poll(&p, 1, 20);
    }
    return false;
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
