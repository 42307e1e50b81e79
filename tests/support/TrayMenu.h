#pragma once
// The menu a StatusNotifier item exports over D-Bus (com.canonical.dbusmenu),
// read and clicked as a tray host does: for end-to-end tests with the test's
// own StatusNotifierWatcher.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QString>
#include <vector>

namespace ql::testing {

struct TrayMenuEntry {
    int id = 0;
    QString label; // "_" marks the mnemonic, as the protocol has it; empty for a separator
};

namespace tray_menu_detail {

inline QString menuPath(const QString& item) {
    QDBusMessage get = QDBusMessage::createMethodCall(item, "/StatusNotifierItem",
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Menu");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments()[0].value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
}

// One (ia{sv}av) node and its children, depth first.
inline void readNode(const QDBusArgument& arg, std::vector<TrayMenuEntry>& out, bool top) {
    TrayMenuEntry entry;
    QVariantMap properties;
    arg.beginStructure();
    arg >> entry.id >> properties;
    if (!top) {
        entry.label = properties.value(QStringLiteral("label")).toString();
        if (properties.value(QStringLiteral("visible"), true).toBool()) out.push_back(entry);
    }
    arg.beginArray();
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        readNode(child.variant().value<QDBusArgument>(), out, false);
    }
    arg.endArray();
    arg.endStructure();
}

} // namespace tray_menu_detail

// The entries of the item's menu, told first that the menu is about to show.
inline std::vector<TrayMenuEntry> trayMenuEntries(const QString& item) {
    const QString path = tray_menu_detail::menuPath(item);
    if (path.isEmpty() || path == QLatin1String("/NO_DBUSMENU")) return {};
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString iface = QStringLiteral("com.canonical.dbusmenu");
    QDBusMessage show = QDBusMessage::createMethodCall(item, path, iface, "AboutToShow");
    show << 0;
    bus.call(show, QDBus::Block, 5000);
    QDBusMessage layout = QDBusMessage::createMethodCall(item, path, iface, "GetLayout");
    layout << 0 << -1 << QStringList();
    const QDBusMessage reply = bus.call(layout, QDBus::Block, 5000);
    std::vector<TrayMenuEntry> out;
    if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 2)
        tray_menu_detail::readNode(reply.arguments()[1].value<QDBusArgument>(), out, true);
    return out;
}

// Clicks the entry labelled `label`; false when the menu has none.
inline bool clickTrayMenu(const QString& item, const QString& label) {
    for (const TrayMenuEntry& entry : trayMenuEntries(item)) {
        if (entry.label != label) continue;
        QDBusMessage event = QDBusMessage::createMethodCall(item, tray_menu_detail::menuPath(item),
                                                            "com.canonical.dbusmenu", "Event");
        event << entry.id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
        return QDBusConnection::sessionBus().call(event, QDBus::Block, 5000).type() ==
               QDBusMessage::ReplyMessage;
    }
    return false;
}

} // namespace ql::testing
