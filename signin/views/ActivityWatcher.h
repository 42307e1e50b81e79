#pragma once
#include <QObject>
#include <functional>

namespace ql {

// Sees every event of the program's windows and reports user input (keys,
// mouse buttons, wheel), so that the inactivity close-down restarts. Timer and
// posted notification events are not user activity.
class ActivityWatcher : public QObject {
public:
    explicit ActivityWatcher(std::function<void()> onActivity, QObject* parent = nullptr);
    static bool isUserEvent(int eventType);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onActivity_;
};

} // namespace ql
