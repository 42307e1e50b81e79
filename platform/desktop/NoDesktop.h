#pragma once
#include "platform/core/Keyboard.h"
#include "platform/core/WindowSystem.h"

namespace ql {

// What a session without a desktop we can reach offers: nothing, said plainly
// through available().
class NoDesktopWindowSystem : public WindowSystem {
public:
    bool available() const override { return false; }
    std::vector<TopWindow> topWindows() override { return {}; }
    std::vector<ChildWindow> childWindows(WindowHandle) override { return {}; }
    bool exists(WindowHandle) override { return false; }
    void requestFocus(WindowHandle, FocusWay) override {}
    bool hasFocus(WindowHandle) override { return false; }
    WindowHandle focusedWindow() override { return 0; }
    WindowHandle ownFocusedWindow() override { return 0; }
};

class NoDesktopKeyboard : public Keyboard {
public:
    bool available() const override { return false; }
    void keyDown(int) override {}
    void keyUp(int) override {}
    bool typeCharacter(char32_t, bool) override { return false; }
    bool capsLockOn() override { return false; }
    bool modifiersHeld() override { return false; }
    void releaseAll() override {}
    void click(int, int) override {}
};

} // namespace ql
