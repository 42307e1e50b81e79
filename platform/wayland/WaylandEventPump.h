#pragma once
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace ql {

class WaylandConnection;

// Reads a WaylandConnection's events from the Qt event loop as they arrive,
// and sends its queued requests each time the loop is about to sleep. Without
// a pump the connection is read on demand only.
class WaylandEventPump : public QObject {
    Q_OBJECT
public:
    explicit WaylandEventPump(WaylandConnection& connection, QObject* parent = nullptr);

signals:
    // After events were dispatched; `broken` once the compositor went away.
    void dispatched(bool broken);

private:
    WaylandConnection& connection_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace ql
