#include "monitor/WindowFinder.h"
#include "monitor/MonitorQueue.h"

namespace ql {

const std::vector<TopWindow>& WindowFinder::listTopWindows() {
    if (inCycle_ && fresh_) return top_;
    top_.clear();
    for (TopWindow w : windows_.topWindows()) {
        w.title.truncate(kTitleWidth);
        if (!w.title.isEmpty()) top_.push_back(std::move(w));
    }
    fresh_ = inCycle_;
    return top_;
}

const std::vector<ChildWindow>& WindowFinder::listChildWindows(WindowHandle window) {
    for (ChildWindow c : windows_.childWindows(window)) {
        c.className.truncate(kTitleWidth);
        c.text.truncate(kTitleWidth);
        if (c.text.isEmpty()) c.text = QStringLiteral("<>");
        children_.push_back(std::move(c));
    }
    return children_;
}

bool WindowFinder::titleFits(const QString& pattern, const QString& title) {
    if (trimmedRight(pattern).toUpper() == trimmedRight(title).toUpper()) return true;
    qsizetype star = pattern.indexOf(QLatin1Char('*'));
    if (star < 0) return false;
    if (star == 0) {
        // A leading star: the rest (further stars included) occurs anywhere.
        return title.toUpper().contains(trimmedRight(pattern.mid(1)).toUpper());
    }
    // An inner star: the text before it starts the title; what follows is ignored.
    // Titles are compared as blank-padded fields.
    QString start = title.leftJustified(star, QLatin1Char(' '), true);
    return pattern.left(star).compare(start, Qt::CaseInsensitive) == 0;
}

bool WindowFinder::contentsFit(WindowHandle window, const QString& wanted) {
    if (wanted.isEmpty()) return true;
    children_.clear();
    for (const ChildWindow& c : listChildWindows(window))
        if (c.text.toUpper().contains(wanted)) return true;
    return false;
}

WindowHandle WindowFinder::search(const QString& pattern, const QString& contents) {
    const QString wanted = trimmedRight(contents).toUpper();
    for (const TopWindow& w : listTopWindows()) {
        // Either title test may let the window through; its contents decide once.
        if (titleFits(pattern, w.title) && contentsFit(w.handle, wanted)) return w.handle;
    }
    return 0;
}

WindowHandle WindowFinder::findTargetWindow(const QString& pattern, const QString& contents) {
    bool reused = inCycle_ && fresh_;
    WindowHandle found = search(pattern, contents);
    if (reused && found && !windows_.exists(found)) {
        // The shared listing is older than this window's end: look again.
        fresh_ = false;
        found = search(pattern, contents);
    }
    return found;
}

WindowHandle WindowFinder::activateTargetWindow(const QString& pattern, const QString& contents,
                                                ActivationStyle style) {
    WindowHandle found = findTargetWindow(pattern, contents);
    if (!validHandle(found)) return found;
    // A failed activation (the window just went) is not an error here.
    if (style == ActivationStyle::Restore) {
        windows_.activate(found, true);
    } else {
        windows_.activate(found, false);
        windows_.giveFocus(found);
    }
    fresh_ = false; // the stacking order has changed
    return found;
}

} // namespace ql
