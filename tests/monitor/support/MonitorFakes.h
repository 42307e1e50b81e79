#pragma once
#include "keys/KeySender.h"
#include "monitor/WatchedEntrySource.h"
#include "platform/core/FakeWindowSystem.h"
#include <functional>
#include <map>
#include <ostream>

QT_BEGIN_NAMESPACE
// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace ql::testing {

// Records every send and where the focus was when it happened.
class RecordingKeySender : public KeySender {
public:
    struct Sent {
        bool direct = false;
        WindowHandle target = 0;   // the window given the focus (0: the one that had it)
        WindowHandle focused = 0;  // the focused window of the fake desktop
        QString text;
        int focusMode = 0;
    };
    explicit RecordingKeySender(FakeWindowSystem* desktop = nullptr) : desktop_(desktop) {}

    std::vector<Sent> sent;
    SendResult nextOutcome = SendOutcome::Completed;
    std::function<void()> duringSend; // runs inside each send, like the waits do

    SendResult sendGrouped(const QString& line, WindowHandle target) override {
        return record({false, target, focusNow(), line, 0});
    }
    SendResult sendDirect(WindowHandle target, const QString& line, int focusMode) override {
        return record({true, target, focusNow(), line, focusMode});
    }
    std::vector<QString> texts() const {
        std::vector<QString> out;
        for (const Sent& s : sent) out.push_back(s.text);
        return out;
    }

private:
    FakeWindowSystem* desktop_;
    WindowHandle focusNow() const { return desktop_ ? desktop_->focused : 0; }
    SendResult record(const Sent& s) {
        sent.push_back(s);
        if (duringSend) duringSend();
        return nextOutcome;
    }
};

class FakeWatchedEntries : public WatchedEntrySource {
public:
    std::map<QString, std::vector<WatchedEntry>> byUser;
    int reads = 0;
    std::vector<WatchedEntry> monitoredEntries(const QString& user) override {
        ++reads;
        auto it = byUser.find(user);
        return it == byUser.end() ? std::vector<WatchedEntry>{} : it->second;
    }
};

} // namespace ql::testing
