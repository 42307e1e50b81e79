#pragma once
#include "platform/core/WindowSystem.h"
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

namespace ql {

// What a compositor tells about one top-level window.
struct ToplevelState {
    QString title;
    QString appId;
    bool activated = false;
    bool minimized = false;
};

// The top-level windows a compositor announces, kept from its events in the
// order it announced them. Changes arrive in batches that take effect at the
// batch's "done", so a half-told change is never seen. Needs no compositor: the
// protocol code feeds it.
class ToplevelList {
public:
    // A window was announced; its handle is never given to another window.
    WindowHandle announce();
    void setTitle(WindowHandle window, const QString& title);
    void setAppId(WindowHandle window, const QString& appId);
    void setStates(WindowHandle window, bool activated, bool minimized);
    // The batch of changes since the last "done" takes effect.
    void done(WindowHandle window);
    // The window is gone for good.
    void close(WindowHandle window);

    // Windows with a title, in the order they were announced.
    std::vector<TopWindow> titled() const;
    // A window that was announced, told at least once, and not closed.
    bool exists(WindowHandle window) const;
    // Its state as of the last "done"; null when it does not exist.
    const ToplevelState* state(WindowHandle window) const;
    // The first window marked activated (0 when none is).
    WindowHandle activated() const;
    size_t size() const { return order_.size(); }

private:
    struct Entry {
        ToplevelState shown;   // as of the last "done"
        ToplevelState pending; // what the batch in progress changes
        bool told = false;     // a "done" arrived at least once
    };
    // Small numbers are not window handles to the window finder: handles
    // start well above them.
    static constexpr WindowHandle kFirstHandle = 0x10000;
    WindowHandle next_ = kFirstHandle;
    std::vector<WindowHandle> order_;
    std::map<WindowHandle, Entry> entries_;

    Entry* find(WindowHandle window);
};

} // namespace ql
