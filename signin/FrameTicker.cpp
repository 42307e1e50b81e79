#include "signin/FrameTicker.h"
#include "framework/Pictures.h"

namespace ql {

namespace {
constexpr int64_t kDay = kHundredthsPerDay;
constexpr int kClipboardPrefix = 1000;
constexpr int kFilterBuffer = 10000;
const char kWeekdays[] = "Sunday   Monday   Tuesday  WednesdayThursday Friday   Saturday ";

QString wholeSeconds(int64_t due, int64_t now) { return QString::number((due - now) / 100); }
} // namespace

FrameTicker::FrameTicker(Clock& clock, Clipboard& clipboard, FrameMonitor& monitor,
                         ClipboardClearing* clearing)
    : clock_(clock), clipboard_(clipboard), monitor_(monitor), clearing_(clearing) {}

void FrameTicker::setInactivityMinutes(int minutes) {
    inactivityMinutes_ = minutes;
    userActivity();
}

int64_t FrameTicker::startOfToday() const { return clock_.today() * kDay; }

int64_t FrameTicker::moment() const { return startOfToday() + clock_.now(); }

void FrameTicker::userActivity() {
    closeDownDue_ = inactivityMinutes_ ? moment() + int64_t{inactivityMinutes_} * 6000 : 0;
}

void FrameTicker::runMonitorNow() {
    forcedRun_ = true;
    monitor_.runCycle(true);
}

void FrameTicker::toggleMonitoring() {
    if (monitoringOn_) {
        setMonitoringOn(false);
        monitor_.emptyQueue();
        return;
    }
    setMonitoringOn(true);
    monitor_.emptyQueue();
    monitor_.reloadAllWatched();
}

QString FrameTicker::monitorIndicator() {
    return monitoringOn_ && !monitor_.queueEmpty() ? QStringLiteral("*") : QStringLiteral(" ");
}

void FrameTicker::clearClipboardOnClose() {
    if (clipboardSeconds_ != 0) clipboard_.setText(kClipboardClosingText);
}

FrameZones FrameTicker::tick() {
    const int64_t now = moment();
    FrameZones zones;
    zones.date = frameDateText(clock_.today());
    zones.time = formatTime(clock_.now(), QStringLiteral("t3"));
    if (!monitor_.queueEmpty() && (monitoringOn_ || forcedRun_)) monitor_.runCycle(forcedRun_);
    if (clipboardSeconds_ > 0) zones.countdown = clipboardCountdown(now);
    if (inactivityMinutes_ > 0) zones.countdown = closeDownCountdown(now);
    if (zones.countdown.isEmpty()) zones.countdown = monitorState();
    return zones;
}

// Reads the clipboard only when the desktop reports a change.
void FrameTicker::noticeClipboardChange(int64_t now) {
    const uint64_t changes = clipboard_.changeCount();
    if (changes == clipboardChanges_) return;
    clipboardChanges_ = changes;
    const QString current = clipboard_.text().left(kClipboardPrefix);
    if (current == remembered_) return;
    clipboardDue_ = now + int64_t{clipboardSeconds_} * 100;
    remembered_ = current;
}

QString FrameTicker::clipboardCountdown(int64_t now) {
    noticeClipboardChange(now);
    if (now > clipboardDue_) {
        if (!remembered_.isEmpty()) {
            const bool cleared = clearing_ ? clearing_->clear() : (clipboard_.setText(QString()), true);
            if (!cleared && clearing_->waitsForFocus())
                // Tried again at every tick until this program's window has the focus.
                return QStringLiteral("Clipboard clears when Quillock's window is active");
        }
        remembered_.clear();
        clipboardDue_ = now + int64_t{clipboardSeconds_} * 100;
    }
    if (remembered_.isEmpty()) return {};
    return wholeSeconds(clipboardDue_, now) + QStringLiteral(" seconds to clipboard clear");
}

QString FrameTicker::closeDownCountdown(int64_t now) {
    if (now > closeDownDue_) {
        closeDownDue_ = now + int64_t{inactivityMinutes_} * 6000;
        if (onCloseDownDue) onCloseDownDue();
    }
    return wholeSeconds(closeDownDue_, now) + QStringLiteral(" seconds to shutdown");
}

QString FrameTicker::monitorState() {
    if (!monitoringOn_) return QStringLiteral("Monitor Off");
    const QStringList names = monitor_.watchedUserNames();
    if (names.isEmpty()) return {};
    QString text = QStringLiteral("Monitoring ") + names.at(0).trimmed();
    if (names.size() > 1) text += QStringLiteral(", ") + names.at(1).trimmed();
    return text;
}

QString filterClipboardText(const QString& text) {
    QString buffer = text;
    while (buffer.endsWith(QLatin1Char(' '))) buffer.chop(1);
    qsizetype lead = 0;
    while (lead < buffer.size() && buffer.at(lead) == QLatin1Char(' ')) ++lead;
    buffer = buffer.mid(lead, kFilterBuffer);
    qsizetype pos = 0;
    while (pos < buffer.size()) {
        const QChar c = buffer.at(pos);
        if (c.unicode() == 0) {
            buffer.truncate(pos);
            break;
        }
        const bool blank = c == QLatin1Char(' ');
        bool keep = blank || (c.unicode() >= 31 && c.toUpper().unicode() <= 'Z');
        if (blank && pos + 1 < buffer.size() && buffer.at(pos + 1) == QLatin1Char(' ')) keep = false;
        if (keep) ++pos;
        else buffer.remove(pos, 1);
    }
    while (buffer.endsWith(QLatin1Char(' '))) buffer.chop(1);
    return buffer;
}

QString frameDateText(int32_t day) {
    const int weekday = ((day % 7) + 7) % 7;
    const QString name = QString::fromLatin1(kWeekdays + weekday * 9, 9).trimmed();
    return name + QStringLiteral(", ") + formatDate(day, QStringLiteral("d4"));
}

} // namespace ql
