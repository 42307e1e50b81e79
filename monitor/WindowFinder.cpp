#include "monitor/WindowFinder.h"
#include "monitor/MonitorQueue.h"

namespace ql {

const std::vector<TopWindow>& WindowFinder::listTopWindows() {
    if (inCycle_ && fresh_) return top_;
    top_.clear();
    upperTitles_.clear();
    for (TopWindow w : windows_.topWindows()) {
        w.title.truncate(kTitleWidth);
        if (w.title.isEmpty()) continue;
        upperTitles_.push_back(w.title.toUpper());
        top_.push_back(std::move(w));
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

WindowFinder::TitleTest::TitleTest(const QString& pattern)
    : exact_(withoutTrailingBlanks(pattern).toUpper()), star_(pattern.indexOf(QLatin1Char('*'))) {
    if (star_ == 0) part_ = withoutTrailingBlanks(pattern.mid(1)).toUpper(); // further stars are plain
    else if (star_ > 0) part_ = pattern.left(star_).toUpper();       // what follows is ignored
}

namespace {
// `text` equals `trimmed` followed by nothing but blanks.
bool equalsBeforeBlanks(const QString& text, const QString& trimmed) {
    if (text.size() < trimmed.size() || !text.startsWith(trimmed)) return false;
    for (qsizetype i = trimmed.size(); i < text.size(); ++i)
        if (text.at(i) != QLatin1Char(' ')) return false;
    return true;
}
} // namespace

bool WindowFinder::TitleTest::fits(const QString& upperTitle) const {
    if (equalsBeforeBlanks(upperTitle, exact_)) return true;
    if (star_ < 0) return false;
    if (star_ == 0) return upperTitle.contains(part_);
    // The title's start is compared as a blank-padded field.
    if (upperTitle.size() >= star_) return QStringView(upperTitle).left(star_) == part_;
    return upperTitle.leftJustified(star_, QLatin1Char(' ')) == part_;
}

bool WindowFinder::titleFits(const QString& pattern, const QString& title) {
    return TitleTest(pattern).fits(title.toUpper());
}

bool WindowFinder::contentsFit(WindowHandle window, const QString& wanted) {
    if (wanted.isEmpty()) return true;
    children_.clear();
    for (const ChildWindow& c : listChildWindows(window))
        if (c.text.toUpper().contains(wanted)) return true;
    return false;
}

WindowHandle WindowFinder::search(const QString& pattern, const QString& contents) {
    const QString wanted = withoutTrailingBlanks(contents).toUpper();
    const TitleTest test(pattern);
    listTopWindows();
    for (size_t i = 0; i < top_.size(); ++i) {
        // Either title test may let the window through; its contents decide once.
        if (test.fits(upperTitles_[i]) && contentsFit(top_[i].handle, wanted))
            return top_[i].handle;
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

} // namespace ql
