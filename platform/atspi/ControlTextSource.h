#pragma once
#include "platform/core/WindowSystem.h"
#include <QString>
#include <cstdint>
#include <vector>

namespace ql {

// Texts of the controls inside one top-level window, found through something
// other than the window system's own child windows.
class ControlTextSource {
public:
    virtual ~ControlTextSource() = default;
    // The controls of the window titled `title` of process `pid`, each with its
    // kind as className and its text ("<>" when it shows none).
    virtual std::vector<ChildWindow> controls(uint32_t pid, const QString& title) = 0;
    // The controls of the window titled `title` of whichever other process has
    // one, for desktops that do not tell which process a window belongs to.
    virtual std::vector<ChildWindow> controlsOfTitled(const QString& title) {
        (void)title;
        return {};
    }
};

} // namespace ql
