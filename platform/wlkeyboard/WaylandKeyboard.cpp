#include "platform/wlkeyboard/WaylandKeyboard.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/protocols/virtual-keyboard-unstable-v1-client-protocol.h"
#include "platform/wayland/protocols/wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <wayland-client.h>

namespace ql {
namespace {

using std::chrono::milliseconds;

constexpr uint32_t kKeymapFormatXkb = 1;  // wl_keyboard.keymap_format xkb_v1
constexpr uint32_t kButtonLeft = 0x110;   // Linux input event codes
constexpr uint32_t kButtonRight = 0x111;
constexpr uint32_t kButtonMiddle = 0x112;
constexpr milliseconds kDoubleClickGap{40};
// Keys are paced a little, and the compositor is waited for now and then, so
// that a receiver busy drawing never has so many events unread that the
// compositor gives up on it.
constexpr auto kGapPerCharacter = std::chrono::microseconds(1500);
constexpr int kCharactersPerRoundTrip = 16;

void wipe(std::string& s) {
    explicit_bzero(s.data(), s.size());
    s.clear();
}

void wipe(std::u32string& s) {
    explicit_bzero(s.data(), s.size() * sizeof(char32_t));
    s.clear();
}

// The keymap goes to the compositor in a sealed memory file: it names the
// characters of the line (a password's among them), so it never touches a disk.
int sealedMemoryFile(const std::string& text) {
    int fd = memfd_create("keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return -1;
    const size_t size = text.size() + 1; // the compositor reads it as a C string
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, text.c_str() + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) { close(fd); return -1; }
        done += size_t(n);
    }
    fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    return fd;
}

} // namespace

bool WaylandKeyboard::offeredBy(const WaylandConnection& connection) {
    return connection.offers(zwp_virtual_keyboard_manager_v1_interface.name);
}

WaylandKeyboard::WaylandKeyboard(std::shared_ptr<WaylandConnection> connection)
    : connection_(std::move(connection)) {
    if (!connection_) return;
    wl_seat* seat = connection_->seat();
    manager_ = connection_->bind<zwp_virtual_keyboard_manager_v1>(&zwp_virtual_keyboard_manager_v1_interface, 1);
    if (!seat || !manager_) return;
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager_, seat);
    pointerManager_ =
        connection_->bind<zwlr_virtual_pointer_manager_v1>(&zwlr_virtual_pointer_manager_v1_interface, 1);
    if (pointerManager_)
        pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointerManager_, seat);
    // A keyboard without a keymap may not send keys; the named keys work from now on.
    upload({});
}

WaylandKeyboard::~WaylandKeyboard() {
    releaseAll();
    wipe(line_);
    if (pointer_) zwlr_virtual_pointer_v1_destroy(pointer_);
    if (pointerManager_) zwlr_virtual_pointer_manager_v1_destroy(pointerManager_);
    if (keyboard_) zwp_virtual_keyboard_v1_destroy(keyboard_);
    if (manager_) zwp_virtual_keyboard_manager_v1_destroy(manager_);
    if (connection_) connection_->roundTrip();
}

bool WaylandKeyboard::available() const {
    return keyboard_ != nullptr && !connection_->broken();
}

// A fresh keymap for every line, even one whose characters the last keymap
// holds: the compositor puts the user's layout on every keyboard when the
// layout is changed, ours included.
void WaylandKeyboard::prepareLine(const QString& line) {
    if (!available()) return;
    wipe(line_);
    line_ = line.toStdU32String();
    linePos_ = 0;
    upload(line_);
}

// Sends the keymap, resets this keyboard's modifiers and group (the
// compositor may have set them from its own configuration), waits until the
// compositor has taken both, then gives the receiver time to read the keymap:
// a program under XWayland or with a keyboard just announced reads it only
// after a while, and would read the first keys with the old one.
void WaylandKeyboard::upload(const std::u32string& characters) {
    Keymap next = KeymapBuilder::build(characters);
    const auto size = uint32_t(next.text.size() + 1);
    int fd = sealedMemoryFile(next.text);
    wipe(next.text);
    if (fd < 0) return;
    releaseAll();
    zwp_virtual_keyboard_v1_keymap(keyboard_, kKeymapFormatXkb, fd, size);
    close(fd);
    keymap_ = std::move(next);
    modifiers_ = 0;
    zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, 0, 0);
    connection_->roundTrip();
    sinceRoundTrip_ = 0;
    std::this_thread::sleep_for(kKeymapSettle);
}

size_t WaylandKeyboard::findInLine(char32_t ch) const {
    const size_t at = line_.find(ch, linePos_);
    return at != std::u32string::npos ? at : line_.find(ch);
}

// A character the keymap lacks (a line with more distinct characters than a
// keymap holds, or one typed without its line) gets a keymap of its own and
// the rest of its line.
bool WaylandKeyboard::typeCharacter(char32_t ch, bool) {
    if (!available()) return false;
    const size_t at = findInLine(ch);
    if (at != std::u32string::npos) linePos_ = at + 1;
    if (!keymap_.holds(ch)) {
        std::u32string rest = at != std::u32string::npos ? line_.substr(at) : std::u32string(1, ch);
        upload(rest);
        wipe(rest);
        if (!keymap_.holds(ch)) return false;
    }
    const uint32_t held = modifiers_;
    if (held) sendModifiers(0);
    const uint32_t key = keymap_.characterKeys.at(ch);
    sendKey(key, true);
    sendKey(key, false);
    if (held) sendModifiers(held);
    std::this_thread::sleep_for(kGapPerCharacter);
    if (++sinceRoundTrip_ >= kCharactersPerRoundTrip) {
        connection_->roundTrip();
        sinceRoundTrip_ = 0;
    }
    return connection_->flushAll();
}

void WaylandKeyboard::keyDown(int virtualKey) {
    if (!available()) return;
    if (uint32_t key = KeymapBuilder::keyOfVirtualKey(virtualKey)) sendKey(key, true);
    if (uint32_t mod = KeymapBuilder::modifierOfVirtualKey(virtualKey)) sendModifiers(modifiers_ | mod);
    connection_->flushAll();
}

void WaylandKeyboard::keyUp(int virtualKey) {
    if (!available()) return;
    if (uint32_t key = KeymapBuilder::keyOfVirtualKey(virtualKey)) sendKey(key, false);
    if (uint32_t mod = KeymapBuilder::modifierOfVirtualKey(virtualKey)) sendModifiers(modifiers_ & ~mod);
    connection_->flushAll();
}

void WaylandKeyboard::releaseAll() {
    if (!keyboard_ || connection_->broken()) return;
    const std::set<uint32_t> held = pressed_;
    for (auto it = held.rbegin(); it != held.rend(); ++it) sendKey(*it, false);
    if (modifiers_) sendModifiers(0);
    connection_->flushAll();
}

void WaylandKeyboard::click(int button, int clicks) {
    if (!pointer_ || !available() || button < 1 || button > 3) return;
    const uint32_t code = button == 1 ? kButtonLeft : button == 2 ? kButtonRight : kButtonMiddle;
    for (int i = 0; i < clicks; ++i) {
        if (i > 0) std::this_thread::sleep_for(kDoubleClickGap);
        zwlr_virtual_pointer_v1_button(pointer_, timestamp(), code, WL_POINTER_BUTTON_STATE_PRESSED);
        zwlr_virtual_pointer_v1_frame(pointer_);
        zwlr_virtual_pointer_v1_button(pointer_, timestamp(), code, WL_POINTER_BUTTON_STATE_RELEASED);
        zwlr_virtual_pointer_v1_frame(pointer_);
        connection_->roundTrip();
    }
}

void WaylandKeyboard::sendKey(uint32_t key, bool press) {
    zwp_virtual_keyboard_v1_key(keyboard_, timestamp(), key,
                                press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    if (press) pressed_.insert(key);
    else pressed_.erase(key);
}

void WaylandKeyboard::sendModifiers(uint32_t depressed) {
    modifiers_ = depressed;
    zwp_virtual_keyboard_v1_modifiers(keyboard_, depressed, 0, 0, 0);
}

uint32_t WaylandKeyboard::timestamp() const {
    return uint32_t(std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start_).count());
}

} // namespace ql
