#pragma once
// A minimal tray host for tests on desktops whose tray is the StatusNotifier
// protocol over D-Bus (every Wayland desktop): it owns
// org.kde.StatusNotifierWatcher on the session bus, says a host is there, and
// records the items that register. Needs a QCoreApplication; the bus calls
// are answered while the test waits through processEvents().
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QStringList>
#include <QThread>

namespace ql::testing {

class StatusNotifierWatcher : public QDBusVirtualObject {
public:
    static inline const QString kService = QStringLiteral("org.kde.StatusNotifierWatcher");
    static inline const QString kPath = QStringLiteral("/StatusNotifierWatcher");

    StatusNotifierWatcher() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        registered_ = bus.registerVirtualObject(kPath, this) && bus.registerService(kService);
    }
    ~StatusNotifierWatcher() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(kService);
        bus.unregisterObject(kPath);
    }
    bool registered() const { return registered_; }
    // The bus names of the items that registered, in order.
    const QStringList& items() const { return items_; }

    // Answers bus calls until an item registered; its bus name, or "".
    QString waitForItem(int waitMs = 15000) {
        QElapsedTimer clock;
        clock.start();
        while (items_.isEmpty() && clock.elapsed() < waitMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(10);
        }
        return items_.isEmpty() ? QString() : items_.last();
    }

    QString introspect(const QString&) const override {
        return QStringLiteral(
            "<interface name=\"org.kde.StatusNotifierWatcher\">"
            "<method name=\"RegisterStatusNotifierItem\"><arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
            "<method name=\"RegisterStatusNotifierHost\"><arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
            "<property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>"
            "<property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>"
            "<property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>"
            "<signal name=\"StatusNotifierItemRegistered\"><arg type=\"s\"/></signal>"
            "<signal name=\"StatusNotifierItemUnregistered\"><arg type=\"s\"/></signal>"
            "<signal name=\"StatusNotifierHostRegistered\"/>"
            "</interface>");
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QString member = message.member();
        if (member == QLatin1String("RegisterStatusNotifierItem")) {
            QString service = message.arguments().value(0).toString();
            if (service.startsWith(u'/')) service = message.service(); // a path: the caller is the item
            items_ << service;
            connection.send(message.createReply());
            QDBusMessage signal = QDBusMessage::createSignal(kPath, kService,
                                                             QStringLiteral("StatusNotifierItemRegistered"));
            signal << service;
            connection.send(signal);
            return true;
        }
        if (member == QLatin1String("RegisterStatusNotifierHost")) {
            connection.send(message.createReply());
            return true;
        }
        if (member == QLatin1String("Get")) {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(
                property(message.arguments().value(1).toString())))));
            return true;
        }
        if (member == QLatin1String("GetAll")) {
            QVariantMap all;
            for (const char* name : {"RegisteredStatusNotifierItems", "IsStatusNotifierHostRegistered",
                                     "ProtocolVersion"})
                all[QString::fromLatin1(name)] = property(QString::fromLatin1(name));
            connection.send(message.createReply(all));
            return true;
        }
        return false;
    }

private:
    bool registered_ = false;
    QStringList items_;

    QVariant property(const QString& name) const {
        if (name == QLatin1String("IsStatusNotifierHostRegistered")) return true;
        if (name == QLatin1String("ProtocolVersion")) return 0;
        if (name == QLatin1String("RegisteredStatusNotifierItems")) return items_;
        return {};
    }
};

} // namespace ql::testing
