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
    const WaylandGlobal* g = global(interface->name);
    if (!g || broken()) return nullptr;
    const uint32_t chosen = std::min({version, g->version, uint32_t(interface->version)});
    return wl_registry_bind(registry_, g->name, interface, chosen);
}

uint32_t WaylandConnection::boundVersion(const void* proxy) {
    return proxy ? wl_proxy_get_version(static_cast<wl_proxy*>(const_cast<void*>(proxy))) : 0;
}

wl_seat* WaylandConnection::seat() {
    if (!seat_) seat_ = bind<wl_seat>(&wl_seat_interface, 5);
    return seat_;
}

bool WaylandConnection::broken() const { return wl_display_get_error(display_) != 0; }

bool WaylandConnection::roundTrip() { return wl_display_roundtrip(display_) >= 0 && !broken(); }

bool WaylandConnection::flush() {
    if (broken()) return false;
    return wl_display_flush(display_) >= 0 || errno == EAGAIN;
}

bool WaylandConnection::dispatchPending(int timeoutMs) {
    if (broken()) return false;
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
