#pragma once
#include "platform/atspi/ControlTextSource.h"
#include <map>

typedef struct _AtspiAccessible AtspiAccessible;

namespace ql {

// Control texts from the accessibility bus: the application is found by process
// id (and remembered, the first look-up being the slow one), its window by
// title, and the names and texts of all controls below it are collected.
// Without an accessibility bus every window simply has no control texts.
class AtspiControlTexts : public ControlTextSource {
public:
    AtspiControlTexts();
    ~AtspiControlTexts() override;
    AtspiControlTexts(const AtspiControlTexts&) = delete;
    AtspiControlTexts& operator=(const AtspiControlTexts&) = delete;

    bool available() const { return ready_; }
    std::vector<ChildWindow> controls(uint32_t pid, const QString& title) override;
    // The process is the one that showed a window of that title last time, or
    // else found by asking every application on the bus for one.
    std::vector<ChildWindow> controlsOfTitled(const QString& title) override;

private:
    bool ready_ = false;
    std::map<uint32_t, AtspiAccessible*> applications_;
    std::map<QString, uint32_t> titledBy_; // window title -> process that showed it

    AtspiAccessible* applicationOf(uint32_t pid);
    AtspiAccessible* searchDesktop(uint32_t pid);
    uint32_t processShowing(const QString& title);
    AtspiAccessible* windowTitled(AtspiAccessible* application, const QString& title);
    void collect(AtspiAccessible* node, std::vector<ChildWindow>& out, int depth, int& budget);
    void forget(uint32_t pid);
};

} // namespace ql
