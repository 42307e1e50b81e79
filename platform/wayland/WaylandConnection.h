#pragma once
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_interface;
struct wl_event_queue;

namespace ql {

// One global object the compositor announces in its registry.
struct WaylandGlobal {
    uint32_t name = 0;
    std::string interface;
    uint32_t version = 0;
};

// A client connection of our own to the Wayland compositor (never the
// toolkit's, so its requests and events never mix with the toolkit's windows).
// It knows the announced globals, binds them, and reads events either on
// demand (dispatchPending, roundTrip) or from the Qt event loop through a
// WaylandEventPump. Everything runs on the thread that opened it.
class WaylandConnection {
public:
    // Connects to `socket` (a name under $XDG_RUNTIME_DIR or a path; null means
    // $WAYLAND_DISPLAY) and reads the globals with one round trip. Null when
    // no compositor answers. Every wait for the compositor gives up after
    // `patience`: a stalled compositor must not hang the program.
    static std::unique_ptr<WaylandConnection> open(
        const char* socket = nullptr, std::chrono::milliseconds patience = kDefaultPatience);
    static constexpr std::chrono::milliseconds kDefaultPatience{10000};
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return display_; }
    int fd() const;
    // Globals as announced, in the registry's order; removed ones are gone.
    const std::vector<WaylandGlobal>& globals() const { return globals_; }
    const WaylandGlobal* global(std::string_view interface) const;
    bool offers(std::string_view interface) const { return global(interface) != nullptr; }
    // Binds the first global named like `interface` at the lower of `version`
    // and the announced version. Null when it is not announced.
    void* bind(const wl_interface* interface, uint32_t version);
    template <class T>
    T* bind(const wl_interface* interface, uint32_t version) {
        return static_cast<T*>(bind(interface, version));
    }
    // Binds `interface` now and keeps the object for the first bind() of it:
    // a compositor may let a client bind some globals only at its start.
    // Its events wait, undispatched, until that bind() takes it. False when
    // it is not announced.
    bool bindEarly(const wl_interface* interface, uint32_t version);
    // Waits until the compositor has handled the early binds, dispatching
    // nothing. False when it did not answer in time.
    bool settleEarlyBinds();
    // The announced version of the bound object's interface the bind chose.
    static uint32_t boundVersion(const void* proxy);
    // The first seat, bound on first use; null when the compositor has none.
    wl_seat* seat();
    // The name of the program at the other end of the socket ("sway"), empty
    // when it cannot be read.
    const std::string& compositorName() const { return compositor_; }

    // Sends what is queued and waits until the compositor has handled it and
    // the events it caused are dispatched. False once the connection broke or
    // when the compositor did not answer in time.
    bool roundTrip();
    // Sends what is queued, then reads and dispatches the events that have
    // arrived, waiting up to `timeoutMs` for the first (0: not at all).
    bool dispatchPending(int timeoutMs = 0);
    // Sends what is queued without waiting for anything.
    bool flush();
    // Sends everything queued, waiting while the socket is full: a request
    // that finds the send buffer full would end the connection. False when
    // it could not all be sent.
    bool flushAll();
    // True once a protocol or socket error ended the connection.
    bool broken() const;

private:
    explicit WaylandConnection(wl_display* display);
    static void onGlobal(void* data, wl_registry*, uint32_t name, const char* interface,
                         uint32_t version);
    static void onGlobalRemove(void* data, wl_registry*, uint32_t name);
    void readCompositorName();
    void dispatchEarlyEvents();
    bool syncOn(wl_event_queue* queue);
    bool readAndDispatch(wl_event_queue* queue, int timeoutMs);

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    wl_event_queue* earlyQueue_ = nullptr;
    std::map<std::string, void*> early_; // bound at the start, not yet taken
    std::vector<WaylandGlobal> globals_;
    std::string compositor_;
    std::chrono::milliseconds patience_ = kDefaultPatience;
};

} // namespace ql
