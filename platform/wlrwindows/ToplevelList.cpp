#include "platform/wlrwindows/ToplevelList.h"
#include <algorithm>

namespace ql {

WindowHandle ToplevelList::announce() {
    const WindowHandle handle = next_++;
    order_.push_back(handle);
    entries_[handle] = Entry{};
    return handle;
}

ToplevelList::Entry* ToplevelList::find(WindowHandle window) {
    auto it = entries_.find(window);
    return it == entries_.end() ? nullptr : &it->second;
}

void ToplevelList::setTitle(WindowHandle window, const QString& title) {
    if (Entry* e = find(window)) e->pending.title = title;
}

void ToplevelList::setAppId(WindowHandle window, const QString& appId) {
    if (Entry* e = find(window)) e->pending.appId = appId;
}

void ToplevelList::setStates(WindowHandle window, bool activated, bool minimized) {
    if (Entry* e = find(window)) {
        e->pending.activated = activated;
        e->pending.minimized = minimized;
    }
}

void ToplevelList::done(WindowHandle window) {
    if (Entry* e = find(window)) {
        e->shown = e->pending;
        e->told = true;
    }
}

void ToplevelList::close(WindowHandle window) {
    entries_.erase(window);
    std::erase(order_, window);
}

std::vector<TopWindow> ToplevelList::titled() const {
    std::vector<TopWindow> out;
    for (WindowHandle h : order_) {
        const Entry& e = entries_.at(h);
        if (e.told && !e.shown.title.isEmpty()) out.push_back({e.shown.title, h});
    }
    return out;
}

bool ToplevelList::exists(WindowHandle window) const { return state(window) != nullptr; }

const ToplevelState* ToplevelList::state(WindowHandle window) const {
    auto it = entries_.find(window);
    return it == entries_.end() || !it->second.told ? nullptr : &it->second.shown;
}

WindowHandle ToplevelList::activated() const {
    auto it = std::find_if(order_.begin(), order_.end(), [this](WindowHandle h) {
        const ToplevelState* s = state(h);
        return s && s->activated;
    });
    return it == order_.end() ? 0 : *it;
}

} // namespace ql
