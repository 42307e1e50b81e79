#include "platform/kwinkeyboard/FakeInputKeyboard.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/protocols/fake-input-client-protocol.h"
#include "platform/wayland/protocols/keystate-client-protocol.h"
#include "platform/wlkeyboard/KeymapText.h"
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace ql {
namespace {

constexpr uint32_t kKeysVersion = ORG_KDE_KWIN_FAKE_INPUT_KEYBOARD_KEY_SINCE_VERSION;
constexpr uint32_t kKeymapFormatXkb = WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1;
constexpr uint32_t kCapsLockKey = LayoutStrokes::kCapsLockKey; // Linux input event codes
constexpr uint32_t kButtonLeft = 0x110;
constexpr uint32_t kButtonRight = 0x111;
constexpr uint32_t kButtonMiddle = 0x112;
constexpr std::chrono::milliseconds kDoubleClickGap{40};
// KWin is waited for now and then, so that a receiver busy drawing never has
// so many events unread that KWin gives up on it.
constexpr auto kGapPerCharacter = std::chrono::microseconds(300);
constexpr int kCharactersPerRoundTrip = 16;
constexpr auto kBeforeComposedCharacter = std::chrono::milliseconds(8);

uint32_t keysymOfVirtualKey(int vk) {
    switch (vk) {
    case 8: return XKB_KEY_BackSpace;
    case 9: return XKB_KEY_Tab;
    case 13: return XKB_KEY_Return;
    case 27: return XKB_KEY_Escape;
    case 32: return XKB_KEY_space;
    default: break;
    }
    if (vk >= '0' && vk <= '9') return XKB_KEY_0 + uint32_t(vk - '0');
    if (vk >= 'A' && vk <= 'Z') return XKB_KEY_a + uint32_t(vk - 'A');
    return 0;
}

} // namespace

bool FakeInputKeyboard::offeredBy(const WaylandConnection& connection) {
    const WaylandGlobal* g = connection.global(org_kde_kwin_fake_input_interface.name);
    return g && g->version >= kKeysVersion;
}

FakeInputKeyboard::FakeInputKeyboard(std::shared_ptr<WaylandConnection> connection,
                                     std::function<uint32_t()> activeGroup)
    : connection_(std::move(connection)),
      activeGroup_(activeGroup ? std::move(activeGroup) : std::function<uint32_t()>(&kwinActiveLayoutGroup)) {
    if (!connection_ || !offeredBy(*connection_)) return;
    // A locale without a table of its own types as English does.
    if (!layout_.loadCompose(receiversComposeLocale())) layout_.loadCompose("en_US.UTF-8");
    wl_seat* seat = connection_->seat();
    if (!seat) return;
    fakeInput_ = connection_->bind<org_kde_kwin_fake_input>(&org_kde_kwin_fake_input_interface, kKeysVersion);
    org_kde_kwin_fake_input_authenticate(fakeInput_, "Quillock", "Types logins into the windows the user chose");
    seatKeyboard_ = wl_seat_get_keyboard(seat);
    static const wl_keyboard_listener keyboardListener = {
        .keymap = &FakeInputKeyboard::onKeymap,
        .enter = [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
        .leave = [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
        .key = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {},
        .modifiers = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
        .repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {},
    };
    wl_keyboard_add_listener(seatKeyboard_, &keyboardListener, this);
    keystate_ = connection_->bind<org_kde_kwin_keystate>(&org_kde_kwin_keystate_interface, 1);
    if (keystate_) {
        static const org_kde_kwin_keystate_listener keystateListener = {&FakeInputKeyboard::onKeyState};
        org_kde_kwin_keystate_add_listener(keystate_, &keystateListener, this);
        org_kde_kwin_keystate_fetchStates(keystate_);
    }
    connection_->roundTrip(); // the seat's keymap and the lock states
}

FakeInputKeyboard::~FakeInputKeyboard() {
    releaseAll();
    if (seatKeyboard_) wl_keyboard_release(seatKeyboard_);
    if (keystate_) { // its destructor request came only in a later version
        if (WaylandConnection::boundVersion(keystate_) >= ORG_KDE_KWIN_KEYSTATE_DESTROY_SINCE_VERSION)
            org_kde_kwin_keystate_destroy(keystate_);
        else
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(keystate_));
    }
    if (fakeInput_) org_kde_kwin_fake_input_destroy(fakeInput_);
    if (connection_) connection_->roundTrip();
}

bool FakeInputKeyboard::available() const {
    return fakeInput_ && layout_.loaded() && !connection_->broken();
}

// The keymap is the layout: KWin sends it to every keyboard of the seat at
// once and again whenever the user's layout configuration changes.
void FakeInputKeyboard::onKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    auto* self = static_cast<FakeInputKeyboard*>(data);
    if (format == kKeymapFormatXkb && size > 0) {
        void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (map != MAP_FAILED) {
            const char* text = static_cast<const char*>(map);
            self->layout_.load(std::string(text, strnlen(text, size)));
            munmap(map, size);
        }
    }
    close(fd);
}

void FakeInputKeyboard::onKeyState(void* data, org_kde_kwin_keystate*, uint32_t key, uint32_t state) {
    if (key == ORG_KDE_KWIN_KEYSTATE_KEY_CAPSLOCK)
        static_cast<FakeInputKeyboard*>(data)->capsLock_ = state == ORG_KDE_KWIN_KEYSTATE_STATE_LOCKED;
}

// The layout, its active group and Caps Lock as KWin has them now, after the
// focus went to the target (a layout may be kept per window).
void FakeInputKeyboard::prepareLine(const QString&) {
    if (!fakeInput_ || connection_->broken()) return;
    if (keystate_) org_kde_kwin_keystate_fetchStates(keystate_);
    connection_->roundTrip();
    group_ = activeGroup_();
    sinceRoundTrip_ = 0;
}

bool FakeInputKeyboard::typeCharacter(char32_t ch, bool) {
    if (!available()) return false;
    const std::optional<LayoutStroke> stroke = layout_.strokeFor(ch, group_, capsLock_);
    if (!stroke) return false;
    // The whole character goes out at once: no check between its dead key and
    // its key can leave the receiver waiting for the rest of a composition.
    if (stroke->deadKey) letReceiverCatchUp();
    if (stroke->togglesCapsLock) tap(kCapsLockKey);
    if (stroke->deadKey) tapChord(*stroke->deadKey);
    tapChord(KeyChord{stroke->key, stroke->modifiers});
    if (stroke->togglesCapsLock) tap(kCapsLockKey);
    pace();
    return connection_->flushAll();
}

// Qt programs hand a composed character on at once but queue the keys before
// it: it would overtake the characters typed just before it. They get the
// time to take those first.
void FakeInputKeyboard::letReceiverCatchUp() {
    connection_->flushAll();
    connection_->roundTrip();
    sinceRoundTrip_ = 0;
    std::this_thread::sleep_for(kBeforeComposedCharacter);
}

void FakeInputKeyboard::pace() {
    std::this_thread::sleep_for(kGapPerCharacter);
    if (++sinceRoundTrip_ >= kCharactersPerRoundTrip) {
        connection_->roundTrip();
        sinceRoundTrip_ = 0;
    }
}

// Shift, Ctrl and Alt are the left ones; a key with a symbol is where the
// layout has that symbol (a shortcut's letter included); the rest are the keys
// of a physical keyboard.
uint32_t FakeInputKeyboard::keyOfVirtualKey(int virtualKey) const {
    if (KeymapBuilder::modifierOfVirtualKey(virtualKey) == 0)
        if (uint32_t sym = keysymOfVirtualKey(virtualKey))
            if (uint32_t key = layout_.keyForKeysym(sym, group_)) return key;
    return KeymapBuilder::keyOfVirtualKey(virtualKey);
}

void FakeInputKeyboard::keyDown(int virtualKey) {
    if (!available()) return;
    if (uint32_t key = keyOfVirtualKey(virtualKey)) sendKey(key, true);
    connection_->flushAll();
}

void FakeInputKeyboard::keyUp(int virtualKey) {
    if (!available()) return;
    const uint32_t key = keyOfVirtualKey(virtualKey);
    if (key) sendKey(key, false);
    connection_->flushAll();
    if (key == kCapsLockKey && keystate_) { // what follows is typed with the new state
        org_kde_kwin_keystate_fetchStates(keystate_);
        connection_->roundTrip();
    }
}

void FakeInputKeyboard::releaseAll() {
    if (!fakeInput_ || connection_->broken()) return;
    const std::set<uint32_t> held = pressed_;
    for (auto it = held.rbegin(); it != held.rend(); ++it) sendKey(*it, false);
    connection_->flushAll();
}

void FakeInputKeyboard::click(int button, int clicks) {
    if (!available() || button < 1 || button > 3) return;
    const uint32_t code = button == 1 ? kButtonLeft : button == 2 ? kButtonRight : kButtonMiddle;
    for (int i = 0; i < clicks; ++i) {
        if (i > 0) std::this_thread::sleep_for(kDoubleClickGap);
        org_kde_kwin_fake_input_button(fakeInput_, code, WL_POINTER_BUTTON_STATE_PRESSED);
        org_kde_kwin_fake_input_button(fakeInput_, code, WL_POINTER_BUTTON_STATE_RELEASED);
        connection_->roundTrip();
    }
}

void FakeInputKeyboard::tapChord(const KeyChord& chord) {
    for (uint32_t key : chord.modifiers) sendKey(key, true);
    tap(chord.key);
    for (auto it = chord.modifiers.rbegin(); it != chord.modifiers.rend(); ++it) sendKey(*it, false);
}

void FakeInputKeyboard::tap(uint32_t key) {
    sendKey(key, true);
    sendKey(key, false);
}

void FakeInputKeyboard::sendKey(uint32_t key, bool press) {
    org_kde_kwin_fake_input_keyboard_key(fakeInput_, key,
                                         press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    if (press) pressed_.insert(key);
    else pressed_.erase(key);
}

} // namespace ql
