#pragma once
#include "platform/core/Clipboard.h"

namespace ql {

// Empties the desktop's clipboard when the clear time is up, whichever program
// holds the keyboard focus by then (on Wayland an ordinary client may set the
// clipboard only while it has the focus).
class ClipboardClearing {
public:
    virtual ~ClipboardClearing() = default;
    // False where the desktop gives no way to clear it from the background.
    virtual bool available() const = 0;
    // Whether clearing happens only while this program has the focus.
    virtual bool waitsForFocus() const { return false; }
    // Empties the clipboard; false when that did not happen (yet).
    virtual bool clear() = 0;
};

// Clears through the toolkit's clipboard: enough where any client may set the
// clipboard at any time (X11).
class ToolkitClipboardClearing : public ClipboardClearing {
public:
    explicit ToolkitClipboardClearing(Clipboard& clipboard) : clipboard_(clipboard) {}
    bool available() const override { return true; }
    bool clear() override {
        clipboard_.setText(QString());
        return true;
    }

private:
    Clipboard& clipboard_;
};

class NoClipboardClearing : public ClipboardClearing {
public:
    bool available() const override { return false; }
    bool clear() override { return false; }
};

} // namespace ql
