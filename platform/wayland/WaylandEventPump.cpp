#include "platform/wayland/WaylandEventPump.h"
#include "platform/wayland/WaylandConnection.h"
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>

namespace ql {

WaylandEventPump::WaylandEventPump(WaylandConnection& connection, QObject* parent)
    : QObject(parent), connection_(connection) {
    notifier_ = new QSocketNotifier(connection.fd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        const bool ok = connection_.dispatchPending();
        if (!ok) notifier_->setEnabled(false); // a broken socket stays readable
        emit dispatched(!ok);
    });
    if (auto* loop = QAbstractEventDispatcher::instance())
        connect(loop, &QAbstractEventDispatcher::aboutToBlock, this,
                [this] { connection_.flush(); });
}

} // namespace ql
