#pragma once
#include "platform/core/Clipboard.h"
#include "platform/core/ClipboardClearing.h"
#include "platform/core/Clock.h"
#include <QString>
#include <QStringList>
#include <functional>

namespace ql {

// What the frame needs of the window monitor.
class FrameMonitor {
public:
    virtual ~FrameMonitor() = default;
    virtual bool queueEmpty() = 0;
    virtual void runCycle(bool forced) = 0;
    // Names of the watched users in list order.
    virtual QStringList watchedUserNames() = 0;
    virtual void emptyQueue() = 0;
    // The monitoring switch as the cycle sees it.
    virtual void setMonitoringOn(bool on) = 0;
    // Marks every watched user for loading and asks for a reload.
    virtual void reloadAllWatched() = 0;
};

// The status bar zones the frame's timer writes.
struct FrameZones {
    QString countdown; // zone 2: a countdown or the monitor state
    QString date;      // zone 3: weekday and date
    QString time;      // zone 4
};

inline const QString kClipboardClosingText = QStringLiteral("Cleared by Quillock.");

// The main frame's timer duties, without any window: status texts, the monitor
// cycle, clipboard clearing and the inactivity close-down.
class FrameTicker {
public:
    // The clipboard is emptied through `clearing` when given (a desktop where
    // only the focused program may set it), else by setting an empty text.
    FrameTicker(Clock& clock, Clipboard& clipboard, FrameMonitor& monitor,
                ClipboardClearing* clearing = nullptr);

    // Program values (reloaded when Options is confirmed).
    void setMonitoringOn(bool on) {
        monitoringOn_ = on;
        monitor_.setMonitoringOn(on);
    }
    bool monitoringOn() const { return monitoringOn_; }
    void setClipboardSeconds(int seconds) { clipboardSeconds_ = seconds; }
    void setInactivityMinutes(int minutes);
    // Called by the close-down request to show its window.
    std::function<void()> onCloseDownDue;

    FrameZones tick();
    // Any user event in any window of the program re-arms the close-down.
    void userActivity();
    // A forced monitor run was asked for: the frame's flag stays set from now on.
    void runMonitorNow();
    // The monitoring switch of the frame.
    void toggleMonitoring();
    // "*" while monitoring is on and the monitor queue is not empty.
    QString monitorIndicator();
    // On closing the frame with clipboard clearing on.
    void clearClipboardOnClose();

    // Due times as a time of today; above 8,640,000 means after midnight (by
    // as many days as it takes: the spans may be years long).
    int64_t clipboardDue() const { return clipboardDue_ - startOfToday(); }
    int64_t closeDownDue() const { return closeDownDue_ - startOfToday(); }
    const QString& rememberedClipboard() const { return remembered_; }

private:
    // Due times are kept in 64-bit hundredths counted from day 0, so that any
    // 32-bit number of seconds or minutes fits and midnight needs no care.
    int64_t startOfToday() const;
    int64_t moment() const;
    QString clipboardCountdown(int64_t now);
    QString closeDownCountdown(int64_t now);
    QString monitorState();
    void noticeClipboardChange(int64_t now);

    Clock& clock_;
    Clipboard& clipboard_;
    FrameMonitor& monitor_;
    ClipboardClearing* clearing_ = nullptr;
    bool monitoringOn_ = false;
    bool forcedRun_ = false;
    int clipboardSeconds_ = 0;
    int inactivityMinutes_ = 0;
    int64_t clipboardDue_ = 0;
    int64_t closeDownDue_ = 0;
    QString remembered_;
    uint64_t clipboardChanges_ = UINT64_MAX;
};

// "Filter Clipboard Contents": keeps blanks, digits, letters and the punctuation
// below '[', drops control characters and the rest, collapses runs of blanks.
QString filterClipboardText(const QString& text);

// Zone 3's text: weekday name, ", ", the date in the long month picture.
QString frameDateText(int32_t day);

} // namespace ql
