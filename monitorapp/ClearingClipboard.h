#pragma once
#include "platform/core/Clipboard.h"
#include "platform/core/ClipboardClearing.h"
#include "platform/core/Clock.h"

namespace ql {

// The monitor program's clipboard: the desktop's, except that a text put on it
// from here is taken off again once the clipboard-clear time has passed (0
// keeps it while the program runs) and when the program ends, so that no
// password stays behind for a clipboard manager to keep. A text that another
// program has put on the clipboard meanwhile is left alone.
class ClearingClipboard : public Clipboard {
public:
    ClearingClipboard(Clipboard& desktop, Clock& clock) : desktop_(desktop), clock_(clock) {}
    ~ClearingClipboard() override;

    // The desktop's way to empty the clipboard from the background (on Wayland
    // the toolkit may set it only while one of our windows has the focus).
    void setClearing(ClipboardClearing* clearing) { clearing_ = clearing; }
    // Seconds a copy stays; a copy already made keeps the time it was given.
    void setClearSeconds(int seconds) { seconds_ = seconds; }

    QString text() override { return desktop_.text(); }
    void setText(const QString& text) override;
    uint64_t changeCount() const override { return desktop_.changeCount(); }

    // Called by the window's timer: clears the copy once it is due.
    void tick();
    // At the end of the run: clears the copy if it is still on the clipboard.
    void clearOwnCopy();
    bool holdsCopy() const { return holding_; }

private:
    int64_t moment() const;
    bool copyStillThere();
    void forget();

    Clipboard& desktop_;
    Clock& clock_;
    ClipboardClearing* clearing_ = nullptr;
    int seconds_ = 0;
    bool holding_ = false;
    int64_t due_ = 0; // hundredths counted from day 0; 0 when never
    uint64_t changesAtCopy_ = 0;
    QString copied_;
};

} // namespace ql
