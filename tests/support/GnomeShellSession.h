#pragma once
// Helpers for tests under GNOME's shell in tests/support/wayland-session.sh
// (--compositor gnome-shell): the shell's screenshots and its input sources,
// which live in the session's GNOME settings.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace ql::gnome_test {

// The shell takes screenshots only for a few programs of its own desktop,
// which it knows by their bus names: the test's private bus lets it take one.
inline bool screenshot(const QString& name) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    static const bool named = bus.registerService(QStringLiteral("org.gnome.Screenshot"));
    if (!named) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("/org/gnome/Shell/Screenshot"),
        QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("Screenshot"));
    call << false << false << QDir::current().absoluteFilePath(name);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
}

// A screenshot named after the running test, taken once: the first moment
// a test shows (its receiver before it closes), else the desktop at its end.
inline void screenshotOfTest() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test) return;
    const QString name = QString::fromUtf8(test->name()) + QStringLiteral(".png");
    if (!QFile::exists(name)) screenshot(name);
}

inline QString gsettings(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("gsettings"), arguments);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// GNOME's input sources, as Settings writes them: a list of XKB layouts.
inline void setInputSources(const QStringList& layouts) {
    QStringList sources;
    for (const QString& l : layouts) sources << QStringLiteral("('xkb', '%1')").arg(l);
    gsettings({QStringLiteral("set"), QStringLiteral("org.gnome.desktop.input-sources"),
               QStringLiteral("sources"), u'[' + sources.join(u',') + u']'});
}

} // namespace ql::gnome_test
