// The remote-desktop session's restore token against a portal of the test's
// own on a private session bus: what the program asks for at each start with
// a portal that keeps permissions (version 2) and one that does not, and the
// file that carries the token from one run to the next.
#include "platform/gnome/RemoteDesktopPortal.h"
#include "platform/gnome/RestoreTokenFile.h"
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

namespace ql {
namespace {

// A desktop portal that allows every session at once and answers Start with
// the next restore token, on a thread of its own (the program's calls block
// its own thread).
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.RemoteDesktop")
    Q_PROPERTY(uint version READ version)
    Q_PROPERTY(uint AvailableDeviceTypes READ availableDeviceTypes)
public:
    explicit FakePortal(uint version) : version_(version) {}
    uint version() const { return version_; }
    uint availableDeviceTypes() const { return 7; }
    QVariantMap lastSelect() {
        QMutexLocker lock(&mutex_);
        return select_;
    }
    QString connectionName;

public Q_SLOTS:
    QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message) {
        const QString session = QStringLiteral("/org/freedesktop/portal/desktop/session/x/") +
                                options.value(QStringLiteral("session_handle_token")).toString();
        return answer(message, options, {{QStringLiteral("session_handle"), session}});
    }
    QDBusObjectPath SelectDevices(const QDBusObjectPath&, const QVariantMap& options, const QDBusMessage& message) {
        {
            QMutexLocker lock(&mutex_);
            select_ = options;
        }
        return answer(message, options, {});
    }
    QDBusObjectPath Start(const QDBusObjectPath&, const QString&, const QVariantMap& options,
                          const QDBusMessage& message) {
        QVariantMap results{{QStringLiteral("devices"), 1u}};
        if (version_ >= 2) results.insert(QStringLiteral("restore_token"), QStringLiteral("token-%1").arg(++started_));
        return answer(message, options, results);
    }

private:
    uint version_;
    int started_ = 0;
    QMutex mutex_;
    QVariantMap select_;

    // The request's Response comes right after the call's own answer.
    QDBusObjectPath answer(const QDBusMessage& message, const QVariantMap& options, const QVariantMap& results) {
        QString sender = message.service().mid(1);
        sender.replace(u'.', u'_');
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                 .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        const QString name = connectionName;
        QTimer::singleShot(20, this, [path, results, name] {
            QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"),
                                                             QStringLiteral("Response"));
            signal << 0u << results;
            QDBusConnection(name).send(signal);
        });
        return QDBusObjectPath(path);
    }
};

// A private session bus for the whole program: the program under test talks
// to it through the usual session bus.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address"});
        if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000)) return;
        address = QString::fromUtf8(daemon_.readLine()).trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished(2000);
    }
    QString address;

private:
    QProcess daemon_;
};

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_gnome_restore_token";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// The fake portal under the portal's name, serving from its own thread.
class ServedPortal {
public:
    ServedPortal(const QString& address, uint version) : portal(version) {
        portal.connectionName = QStringLiteral("fake-portal-v%1").arg(version);
        thread_.start();
        portal.moveToThread(&thread_);
        QMetaObject::invokeMethod(&portal, [&] {
            QDBusConnection bus = QDBusConnection::connectToBus(address, portal.connectionName);
            bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                               QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
            registered_ = bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
        }, Qt::BlockingQueuedConnection);
    }
    ~ServedPortal() {
        QMetaObject::invokeMethod(&portal, [&] {
            QDBusConnection(portal.connectionName).unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
            QDBusConnection::disconnectFromBus(portal.connectionName);
        }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    bool registered() const { return registered_; }
    FakePortal portal;

private:
    QThread thread_;
    bool registered_ = false;
};

class RestoreToken : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bus = new PrivateBus;
        app();
    }
    static void TearDownTestSuite() { delete bus; }
    static PrivateBus* bus;
    QTemporaryDir state;
    QString tokenPath() const { return state.filePath(QStringLiteral("quillock/remote-desktop-quillock")); }
    static QString fileText(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).trimmed() : QString();
    }
};
PrivateBus* RestoreToken::bus = nullptr;

TEST_F(RestoreToken, APortalThatKeepsPermissionsIsAskedToAndGetsTheSavedTokenBackOnTheNextRun) {
    ASSERT_FALSE(bus->address.isEmpty()) << "dbus-daemon runs";
    ServedPortal served(bus->address, 2);
    ASSERT_TRUE(served.registered());
    {
        RemoteDesktopPortal first(tokenPath());
        ASSERT_EQ(first.start(std::chrono::seconds(5)), RemoteDesktopPortal::State::Started) << first.failure().toStdString();
        const QVariantMap asked = served.portal.lastSelect();
        EXPECT_EQ(asked.value("persist_mode").toUInt(), 2u) << "kept until the user revokes it";
        EXPECT_FALSE(asked.contains("restore_token")) << "no earlier run";
    }
    EXPECT_EQ(fileText(tokenPath()), "token-1");
    EXPECT_EQ(QFileInfo(tokenPath()).permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                                        QFile::WriteUser),
              QFile::Permissions()) << "the file is the user's alone";
    EXPECT_EQ(QFileInfo(QFileInfo(tokenPath()).absolutePath()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
              QFile::Permissions());
    {
        RemoteDesktopPortal second(tokenPath());
        ASSERT_EQ(second.start(std::chrono::seconds(5)), RemoteDesktopPortal::State::Started);
        const QVariantMap asked = served.portal.lastSelect();
        EXPECT_EQ(asked.value("persist_mode").toUInt(), 2u);
        EXPECT_EQ(asked.value("restore_token").toString(), "token-1");
    }
    EXPECT_EQ(fileText(tokenPath()), "token-2") << "a token serves once: the next one is kept";
}

TEST_F(RestoreToken, APortalWithoutPersistenceIsSentNoneOfItAndNothingIsWritten) {
    ServedPortal served(bus->address, 1);
    ASSERT_TRUE(served.registered());
    RemoteDesktopPortal portal(tokenPath());
    ASSERT_EQ(portal.start(std::chrono::seconds(5)), RemoteDesktopPortal::State::Started);
    const QVariantMap asked = served.portal.lastSelect();
    EXPECT_EQ(asked.value("types").toUInt(), 1u) << "the keyboard";
    EXPECT_FALSE(asked.contains("persist_mode"));
    EXPECT_FALSE(asked.contains("restore_token"));
    EXPECT_FALSE(QFile::exists(tokenPath()));
}

// Anyone of the user's programs may have written the file: what is not a
// token is not sent, and a link in the file's place is not followed.
TEST_F(RestoreToken, AFileThatHoldsNoTokenIsNotSent) {
    ServedPortal served(bus->address, 2);
    ASSERT_TRUE(served.registered());
    QDir().mkpath(QFileInfo(tokenPath()).absolutePath());
    for (const QByteArray& bad : {QByteArray(300, 'a'), QByteArray("two words\n"), QByteArray("tok\x01\n")}) {
        QFile f(tokenPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bad);
        f.close();
        RemoteDesktopPortal portal(tokenPath());
        ASSERT_EQ(portal.start(std::chrono::seconds(5)), RemoteDesktopPortal::State::Started);
        EXPECT_FALSE(served.portal.lastSelect().contains("restore_token")) << bad.left(20).toStdString();
        QFile::remove(tokenPath());
    }
    const QString elsewhere = state.filePath(QStringLiteral("elsewhere"));
    QFile other(elsewhere);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("token-9\n");
    other.close();
    ASSERT_TRUE(QFile::link(elsewhere, tokenPath()));
    EXPECT_EQ(RestoreTokenFile(tokenPath()).load(), QString());
}

} // namespace
} // namespace ql

#include "RestoreTokenTest.moc"
