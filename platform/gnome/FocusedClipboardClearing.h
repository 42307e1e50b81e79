#pragma once
#include "platform/core/ClipboardClearing.h"
#include <functional>

namespace ql {

// Clears the clipboard through the toolkit while one of this program's
// windows has the focus, the only time a Wayland desktop without a clipboard
// control protocol lets an ordinary program set it; otherwise clear() says
// it did not happen and is tried again later.
class FocusedClipboardClearing : public ClipboardClearing {
public:
    FocusedClipboardClearing(Clipboard& clipboard, std::function<bool()> ownFocus)
        : clipboard_(clipboard), ownFocus_(std::move(ownFocus)) {}
    bool available() const override { return true; }
    bool waitsForFocus() const override { return true; }
    bool clear() override {
        if (!ownFocus_ || !ownFocus_()) return false;
        clipboard_.setText(QString());
        return true;
    }

private:
    Clipboard& clipboard_;
    std::function<bool()> ownFocus_;
};

} // namespace ql
