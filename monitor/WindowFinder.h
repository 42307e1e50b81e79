#pragma once
#include "platform/core/WindowSystem.h"
#include <QString>
#include <vector>

namespace ql {

// A handle counts as a window only above 31.
inline bool validHandle(WindowHandle handle) { return handle > 31; }

// How a found window is brought forward (see FocusRequests).
enum class ActivationStyle {
    Restore,   // un-minimize, then bring forward (main program)
    GiveFocus, // bring forward without restoring, then give it the focus (monitor program)
};

// Finds the desktop window that fits an entry's title pattern and contents text.
// Within a cycle (beginCycle .. endCycle) one listing of the top-level windows
// serves every search until the caller calls invalidateListing (after asking
// for a window's focus, say).
class WindowFinder {
public:
    static constexpr int kTitleWidth = 253;

    explicit WindowFinder(WindowSystem& windows) : windows_(windows) {}

    const std::vector<TopWindow>& listTopWindows();
    const std::vector<ChildWindow>& listChildWindows(WindowHandle window);
    WindowHandle findTargetWindow(const QString& pattern, const QString& contents);

    // Whether the title passes the exact test or the "*" test of the pattern.
    static bool titleFits(const QString& pattern, const QString& title);

    // A pattern prepared once for testing many titles.
    class TitleTest {
    public:
        explicit TitleTest(const QString& pattern);
        // `upperTitle` is the title in upper case.
        bool fits(const QString& upperTitle) const;

    private:
        QString exact_;  // trailing blanks removed, upper case
        qsizetype star_; // position of the first "*", -1 when none
        QString part_;   // after a leading star, or before an inner one; upper case
    };

    void beginCycle() { inCycle_ = true; fresh_ = false; }
    void endCycle() { inCycle_ = false; fresh_ = false; }
    void invalidateListing() { fresh_ = false; }

    WindowSystem& windows() { return windows_; }
    const std::vector<TopWindow>& topList() const { return top_; }
    const std::vector<ChildWindow>& childList() const { return children_; }

private:
    WindowSystem& windows_;
    std::vector<TopWindow> top_;
    std::vector<QString> upperTitles_; // top_'s titles in upper case
    std::vector<ChildWindow> children_;
    bool inCycle_ = false;
    bool fresh_ = false;

    bool contentsFit(WindowHandle window, const QString& wanted);
    WindowHandle search(const QString& pattern, const QString& contents);
};

} // namespace ql
