#include "platform/x11keyboard/X11Keyboard.h"
#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <thread>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace ql {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::microseconds;

// A release and the next press must not share a server timestamp: toolkits
// read such a pair on one key as auto-repeat.
constexpr microseconds kGapAfterRelease{1200};
constexpr milliseconds kSpareReuseAfter{1500};
constexpr milliseconds kIdleBeforeRelease{3000};
constexpr milliseconds kDoubleClickGap{40};
constexpr size_t kMaxSpares = 16;

int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

uint32_t keysymOfVirtualKey(int vk) {
    switch (vk) {
    case 8: return XKB_KEY_BackSpace;
    case 9: return XKB_KEY_Tab;
    case 13: return XKB_KEY_Return;
    case 16: return XKB_KEY_Shift_L;
    case 17: return XKB_KEY_Control_L;
    case 18: return XKB_KEY_Alt_L;
    case 19: return XKB_KEY_Pause;
    case 20: return XKB_KEY_Caps_Lock;
    case 27: return XKB_KEY_Escape;
    case 32: return XKB_KEY_space;
    case 33: return XKB_KEY_Prior;
    case 34: return XKB_KEY_Next;
    case 35: return XKB_KEY_End;
    case 36: return XKB_KEY_Home;
    case 37: return XKB_KEY_Left;
    case 38: return XKB_KEY_Up;
    case 39: return XKB_KEY_Right;
    case 40: return XKB_KEY_Down;
    case 44: return XKB_KEY_Print;
    case 45: return XKB_KEY_Insert;
    case 46: return XKB_KEY_Delete;
    case 106: return XKB_KEY_KP_Multiply;
    case 107: return XKB_KEY_KP_Add;
    case 109: return XKB_KEY_KP_Subtract;
    case 110: return XKB_KEY_KP_Decimal;
    case 111: return XKB_KEY_KP_Divide;
    default: break;
    }
    if (vk >= '0' && vk <= '9') return XKB_KEY_0 + uint32_t(vk - '0');
    if (vk >= 'A' && vk <= 'Z') return XKB_KEY_a + uint32_t(vk - 'A');
    if (vk >= 96 && vk <= 105) return XKB_KEY_KP_0 + uint32_t(vk - 96);
    if (vk >= 112 && vk <= 123) return XKB_KEY_F1 + uint32_t(vk - 112);
    return 0;
}

bool keyHasSymbols(xkb_keymap* keymap, xkb_keycode_t kc) {
    for (xkb_layout_index_t l = 0; l < xkb_keymap_num_layouts_for_key(keymap, kc); ++l)
        for (xkb_level_index_t v = 0; v < xkb_keymap_num_levels_for_key(keymap, kc, l); ++v) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap, kc, l, v, &syms) > 0) return true;
        }
    return false;
}

uint32_t firstKeysym(xkb_keymap* keymap, xkb_keycode_t kc) {
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_num_layouts_for_key(keymap, kc) == 0) return 0;
    return xkb_keymap_key_get_syms_by_level(keymap, kc, 0, 0, &syms) > 0 ? syms[0] : 0;
}

} // namespace

X11Keyboard::X11Keyboard(const char* displayName) {
    display_ = XOpenDisplay(displayName);
    if (!display_) return;
    XSetErrorHandler(ignoreXErrors);
    int opcode = 0, errorBase = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    int xtestEvent = 0, xtestError = 0, xtestMajor = 0, xtestMinor = 0;
    if (!XkbQueryExtension(display_, &opcode, &xkbEventBase_, &errorBase, &major, &minor) ||
        !XTestQueryExtension(display_, &xtestEvent, &xtestError, &xtestMajor, &xtestMinor)) {
        XCloseDisplay(display_);
        display_ = nullptr;
        return;
    }
    XkbSelectEvents(display_, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                    XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
    xcb_connection_t* conn = XGetXCBConnection(display_);
    xkb_x11_setup_xkb_extension(conn, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr,
                                nullptr);
    deviceId_ = xkb_x11_get_core_keyboard_device_id(conn);
    context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    loadKeymap();
    if (QCoreApplication::instance() && QThread::currentThread() == qApp->thread()) {
        idleTimer_ = std::make_unique<QTimer>();
        idleTimer_->setSingleShot(true);
        idleTimer_->setInterval(int(kIdleBeforeRelease.count()));
        QObject::connect(idleTimer_.get(), &QTimer::timeout, [this] { releaseSpareKeys(); });
    }
}

X11Keyboard::~X11Keyboard() {
    idleTimer_.reset();
    if (display_) {
        // Give a receiver that is still reading the last strokes time to see
        // them with the mapping they were typed under.
        auto newest = Clock::time_point{};
        for (const Spare& s : spares_)
            if (s.keysym) newest = std::max(newest, s.lastUse);
        auto quiet = newest + milliseconds(500);
        if (newest != Clock::time_point{} && Clock::now() < quiet)
            std::this_thread::sleep_until(quiet);
        releaseSpareKeys();
    }
    if (keymap_) xkb_keymap_unref(keymap_);
    if (context_) xkb_context_unref(context_);
    if (display_) XCloseDisplay(display_);
}

void X11Keyboard::loadKeymap() {
    if (keymap_) xkb_keymap_unref(keymap_);
    keymap_ = xkb_x11_keymap_new_from_device(context_, XGetXCBConnection(display_), deviceId_,
                                             XKB_KEYMAP_COMPILE_NO_FLAGS);
    strokeCache_.clear();
    keymapStale_ = false;
    if (keymap_) findSpareKeycodes();
}

// A layout switch (setxkbmap) or a remapped key arrives as an XKB notify.
void X11Keyboard::noticeKeymapChanges() {
    while (XPending(display_) > 0) {
        XEvent ev;
        XNextEvent(display_, &ev);
        if (ev.type == xkbEventBase_) {
            int kind = reinterpret_cast<XkbAnyEvent*>(&ev)->xkb_type;
            if (kind == XkbNewKeyboardNotify || kind == XkbMapNotify) keymapStale_ = true;
        } else if (ev.type == MappingNotify) {
            keymapStale_ = true;
        }
    }
    if (keymapStale_) loadKeymap();
}

// Keeps the spares that still carry our mapping; every other keycode without
// symbols is free to use.
void X11Keyboard::findSpareKeycodes() {
    std::vector<Spare> found;
    for (xkb_keycode_t kc = xkb_keymap_max_keycode(keymap_);
         kc >= std::max<xkb_keycode_t>(8, xkb_keymap_min_keycode(keymap_)) && found.size() < kMaxSpares;
         --kc) {
        auto old = std::find_if(spares_.begin(), spares_.end(),
                                [&](const Spare& s) { return s.keycode == kc; });
        if (old != spares_.end() && old->keysym && firstKeysym(keymap_, kc) == old->keysym)
            found.push_back(*old);
        else if (!keyHasSymbols(keymap_, kc))
            found.push_back({kc, 0, {}});
    }
    spares_ = std::move(found);
}

X11Keyboard::LayoutState X11Keyboard::layoutState() {
    XkbStateRec st{};
    XkbGetState(display_, XkbUseCoreKbd, &st);
    return {st.group, st.locked_mods, st.locked_group};
}

bool X11Keyboard::modifiersHeld() {
    if (!available()) return false;
    XkbStateRec st{};
    XkbGetState(display_, XkbUseCoreKbd, &st);
    // Caps Lock is taken into account when typing; Num Lock (Mod2) changes no
    // character we type. Everything else turns keys into shortcuts.
    const unsigned mods = (unsigned(st.base_mods) | unsigned(st.latched_mods)) & ~unsigned(LockMask | Mod2Mask);
    return mods != 0 && pressed_.empty();
}

void X11Keyboard::releaseAll() {
    if (!display_) return;
    const std::set<unsigned> held = pressed_;
    for (auto it = held.rbegin(); it != held.rend(); ++it) sendKey(*it, false);
    XSync(display_, False);
}

bool X11Keyboard::capsLockOn() {
    if (!available()) return false;
    return (layoutState().lockedMods & LockMask) != 0;
}

unsigned X11Keyboard::modifierKeycode(uint32_t keysym) {
    for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_); kc <= xkb_keymap_max_keycode(keymap_); ++kc)
        if (firstKeysym(keymap_, kc) == keysym) return kc;
    return 0;
}

// Tries the keys with no modifier, Shift, level-three shift and both, on an
// XKB state like the receiver's, so the receiver reads exactly `ch`: first in
// the current group, then in the layout's other groups (typing a Latin login
// while a Cyrillic group is active switches groups for that key instead of
// remapping a spare keycode for every letter).
bool X11Keyboard::findStroke(char32_t ch, const LayoutState& state, Stroke& out) {
    auto cached = strokeCache_.find({ch, state});
    if (cached != strokeCache_.end()) { out = cached->second; return true; }
    std::vector<uint32_t> groups{state.group};
    for (uint32_t g = 0; g < xkb_keymap_num_layouts(keymap_); ++g)
        if (g != state.group) groups.push_back(g);
    for (uint32_t group : groups) {
        if (findStrokeInGroup(ch, {group, state.lockedMods}, out)) {
            out.group = group == state.group ? -1 : int(group);
            strokeCache_[{ch, state}] = out;
            return true;
        }
    }
    return false;
}

bool X11Keyboard::findStrokeInGroup(char32_t ch, const LayoutState& state, Stroke& out) {
    std::vector<unsigned> shifts;
    for (uint32_t sym : {XKB_KEY_Shift_L, XKB_KEY_ISO_Level3_Shift})
        if (unsigned kc = modifierKeycode(sym)) shifts.push_back(kc);
    for (unsigned combo = 0; combo < (1u << shifts.size()); ++combo) {
        std::vector<unsigned> held;
        for (size_t i = 0; i < shifts.size(); ++i)
            if (combo & (1u << i)) held.push_back(shifts[i]);
        xkb_state* st = xkb_state_new(keymap_);
        xkb_state_update_mask(st, 0, 0, state.lockedMods, 0, 0, state.group);
        for (unsigned kc : held) xkb_state_update_key(st, kc, XKB_KEY_DOWN);
        bool found = false;
        for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_);
             !found && kc <= xkb_keymap_max_keycode(keymap_); ++kc) {
            if (xkb_state_key_get_utf32(st, kc) == ch) {
                out = {kc, held, -1};
                found = true;
            }
        }
        xkb_state_unref(st);
        if (found) return true;
    }
    return false;
}

// A named key is the keycode carrying its keysym, preferably on the first level.
unsigned X11Keyboard::keycodeForKeysym(uint32_t keysym) {
    for (xkb_level_index_t wantLevel : {0u, 1u, 2u, 3u})
        for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_); kc <= xkb_keymap_max_keycode(keymap_); ++kc)
            for (xkb_layout_index_t l = 0; l < xkb_keymap_num_layouts_for_key(keymap_, kc); ++l) {
                const xkb_keysym_t* syms = nullptr;
                if (xkb_keymap_key_get_syms_by_level(keymap_, kc, l, wantLevel, &syms) > 0 &&
                    syms[0] == keysym)
                    return kc;
            }
    return spareKeycodeFor(keysym);
}

// Puts `keysym` on a spare keycode (lower and upper case on its two levels, so
// Caps Lock and Shift work on it as on a letter key) and reloads the keymap.
unsigned X11Keyboard::spareKeycodeFor(uint32_t keysym) {
    for (Spare& s : spares_)
        if (s.keysym == keysym) return s.keycode;
    if (spares_.empty()) return 0;
    auto pick = std::min_element(spares_.begin(), spares_.end(), [](const Spare& a, const Spare& b) {
        if ((a.keysym == 0) != (b.keysym == 0)) return a.keysym == 0;
        return a.lastUse < b.lastUse;
    });
    if (pick->keysym != 0) std::this_thread::sleep_until(pick->lastUse + kSpareReuseAfter);
    KeySym syms[2] = {xkb_keysym_to_lower(keysym), xkb_keysym_to_upper(keysym)};
    if (syms[0] == syms[1]) { syms[0] = keysym; syms[1] = NoSymbol; }
    const unsigned keycode = pick->keycode;
    XChangeKeyboardMapping(display_, int(keycode), 2, syms, 1);
    if (syms[1] != NoSymbol) makeAlphabetic(keycode);
    XSync(display_, False);
    pick->keysym = uint32_t(syms[0]); // so the reload keeps it as our spare
    pick->lastUse = {};
    noticeKeymapChanges();
    loadKeymap();
    return keycode;
}

// The server chooses a key's type from the symbols, and takes a pair as letters
// only when it knows them as lower and upper case (not ß and its capital).
// Without the alphabetic type Caps Lock is not consumed and the receiver
// upper-cases the character itself, whatever level was pressed.
void X11Keyboard::makeAlphabetic(unsigned keycode) {
    XkbDescPtr xkb = XkbGetMap(display_, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb) return;
    int types[XkbNumKbdGroups] = {XkbAlphabeticIndex};
    XkbMapChangesRec changes{};
    if (XkbChangeTypesOfKey(xkb, int(keycode), 1, XkbGroup1Mask, types, &changes) == Success)
        XkbChangeMap(display_, xkb, &changes);
    XkbFreeKeyboard(xkb, 0, True);
}

void X11Keyboard::releaseSpareKeys() {
    if (!display_) return;
    bool changed = false;
    for (Spare& s : spares_) {
        if (!s.keysym) continue;
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(display_, int(s.keycode), 1, &none, 1);
        s.keysym = 0;
        changed = true;
    }
    if (!changed) return;
    XSync(display_, False);
    noticeKeymapChanges();
    loadKeymap();
}

void X11Keyboard::sendKey(unsigned keycode, bool press) {
    if (press) {
        auto earliest = lastRelease_ + kGapAfterRelease;
        if (Clock::now() < earliest) std::this_thread::sleep_until(earliest);
    }
    XTestFakeKeyEvent(display_, keycode, press ? True : False, CurrentTime);
    if (press) pressed_.insert(keycode);
    else pressed_.erase(keycode);
    if (!press) {
        XSync(display_, False); // the server has stamped the release before the gap starts
        lastRelease_ = Clock::now();
    }
    for (Spare& s : spares_)
        if (s.keycode == keycode && s.keysym) s.lastUse = Clock::now();
}

void X11Keyboard::play(const Stroke& stroke, const LayoutState& state) {
    if (stroke.group >= 0) XkbLockGroup(display_, XkbUseCoreKbd, unsigned(stroke.group));
    for (unsigned kc : stroke.modifiers) sendKey(kc, true);
    sendKey(stroke.keycode, true);
    sendKey(stroke.keycode, false);
    for (auto it = stroke.modifiers.rbegin(); it != stroke.modifiers.rend(); ++it) sendKey(*it, false);
    if (stroke.group >= 0) {
        XkbLockGroup(display_, XkbUseCoreKbd, state.lockedGroup);
        XSync(display_, False);
    }
    touched();
}

// False, with nothing pressed, for a character the layout lacks when no spare
// keycode is left to put it on (or it has no key symbol at all).
bool X11Keyboard::typeCharacter(char32_t ch, bool) {
    if (!available()) return false;
    noticeKeymapChanges();
    LayoutState state = layoutState();
    Stroke stroke;
    if (!findStroke(ch, state, stroke)) {
        uint32_t keysym = xkb_utf32_to_keysym(ch);
        if (!keysym || !spareKeycodeFor(keysym)) return false;
        state = layoutState();
        if (!findStroke(ch, state, stroke)) return false;
    }
    play(stroke, state);
    return true;
}

void X11Keyboard::keyDown(int virtualKey) {
    if (!available()) return;
    noticeKeymapChanges();
    if (uint32_t sym = keysymOfVirtualKey(virtualKey))
        if (unsigned kc = keycodeForKeysym(sym)) sendKey(kc, true);
}

void X11Keyboard::keyUp(int virtualKey) {
    if (!available()) return;
    noticeKeymapChanges();
    if (uint32_t sym = keysymOfVirtualKey(virtualKey))
        if (unsigned kc = keycodeForKeysym(sym)) sendKey(kc, false);
    touched();
}

void X11Keyboard::click(int button, int clicks) {
    if (!display_) return;
    static const unsigned xButtons[] = {0, 1, 3, 2}; // left, right, centre
    if (button < 1 || button > 3) return;
    for (int i = 0; i < clicks; ++i) {
        if (i > 0) std::this_thread::sleep_for(kDoubleClickGap);
        XTestFakeButtonEvent(display_, xButtons[button], True, CurrentTime);
        XTestFakeButtonEvent(display_, xButtons[button], False, CurrentTime);
        XSync(display_, False);
    }
}

void X11Keyboard::touched() {
    if (idleTimer_) idleTimer_->start();
}

} // namespace ql
