#pragma once
// A data folder with the users "amy" and "bob", and the fakes the password
// list works through: clock, clipboard, launcher and a real window monitor
// over a fake desktop.
#include "entries/BrowsePasswords.h"
#include "entries/EntryForm.h"
#include "entries/ListedUsers.h"
#include "monitor/MonitorNotifications.h"
#include "monitor/WindowMonitor.h"
#include "platform/core/SystemClock.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "tests/monitor/support/MonitorFakes.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace ql::test {

inline QCoreApplication& listTestApp() {
    static int argc = 1;
    static char name[] = "list_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Lets queued notifications and the model's idle work run, which starts a
// moment after a list shows.
inline void settle() {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 2 * PasswordListModel::kCountDelayMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (int i = 0; i < 400; ++i) QCoreApplication::processEvents();
}

class ListFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QCoreApplication::instance()) listTestApp(); // window tests make a QApplication first
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        services_ = std::make_unique<ProgramServices>(
            ProgramKind::Main, QStringList{"prog", "Data=" + dir_.path()}, prompter_,
            [](const QString&) {});
        addUser(QStringLiteral("amy"));
        addUser(QStringLiteral("bob"));
        clock_.day = 82000;
        clock_.set(4'000'000);
    }
    void TearDown() override {
        services_.reset();
        QDir::setCurrent(previous_);
    }

    RecordManagers& managers() { return services_->managers(); }

    BrowseServices browseServices() {
        return {clock_, prompter_, clipboard_, launcher_, managers().passwords, managers().users,
                &monitor_, &listed_, [this] { ++beeps_; }, QStringLiteral("d2"), false};
    }

    void addUser(const QString& name) {
        DataTable users(usersTable());
        ASSERT_EQ(managers().users.open(users), 0);
        users.record().setText("U_:NAME", name);
        users.record().setText("U_:PASSWORD", u"Not Required");
        ASSERT_EQ(users.add(), 0);
    }

    void removeUser(const QString& name) {
        DataTable users(usersTable());
        ASSERT_EQ(managers().users.open(users), 0);
        users.record().setText("U_:NAME", name);
        ASSERT_EQ(users.fetch(usersTable().keyIndex("U_:KEYNAME")), 0);
        ASSERT_EQ(users.remove(), 0);
    }

    // A choice of the user by name, as "Select User" makes it.
    std::function<int(Record&)> choose(const QString& name) {
        return [this, name](Record& user) {
            DataTable users(usersTable());
            managers().users.open(users);
            users.record().setText("U_:NAME", name);
            if (users.fetch(usersTable().keyIndex("U_:KEYNAME")) != 0) return 2;
            user = users.record();
            return 1;
        };
    }
    static int cancel(Record& user) {
        user.clear();
        return 2;
    }

    using Fill = std::function<void(Record&)>;
    // Stores an entry and returns its record number.
    qint64 storeEntry(const QString& user, const QString& service, const QString& name,
                      const Fill& fill = {}) {
        DataTable table(passwordsTable());
        EXPECT_EQ(managers().passwords.open(table), 0);
        prime(table.record(), user, service, name);
        if (fill) fill(table.record());
        EXPECT_EQ(table.add(), 0);
        return table.recordNumber();
    }

    // Stores `count` entries in one batch, services "<prefix> 00000" onwards.
    void storeMany(const QString& user, int count, const QString& prefix) {
        DataTable table(passwordsTable());
        ASSERT_EQ(managers().passwords.open(table), 0);
        table.stream();
        for (int i = 0; i < count; ++i) {
            prime(table.record(), user, prefix + QStringLiteral(" %1").arg(i, 5, 10, QChar(u'0')),
                  QStringLiteral("n%1").arg(i));
            table.record().setNumber("P_:LASTCHANGEDATE", 81000 + i % 700);
            ASSERT_EQ(table.add(), 0);
        }
        ASSERT_EQ(table.flush(), 0);
    }

    void prime(Record& r, const QString& user, const QString& service, const QString& name) {
        managers().passwords.primeRecord(r);
        r.setText("P_:USER", user);
        r.setText("P_:SERVICE", service);
        r.setText("P_:NAME", name);
        r.setText("P_:PASSWORD", u"x1");
        r.setText("P_:CONFIRMPASSWORD", u"x1");
        r.setText("P_:PASTE", u"[Name][Tab][Password][Enter]");
    }

    QTemporaryDir dir_;
    QString previous_;
    ScriptedPrompter prompter_;
    std::unique_ptr<ProgramServices> services_;
    FakeClock clock_;
    FakeClipboard clipboard_;
    FakeLauncher launcher_;
    FakeWindowSystem desktop_;
    testing::RecordingKeySender keys_{&desktop_};
    testing::FakeWatchedEntries watched_;
    MonitorNotifications notifications_;
    WindowMonitor monitor_{{desktop_, keys_, clock_, prompter_, watched_, &notifications_},
                           MonitorPolicy::mainProgram()};
    ListedUsers listed_{monitor_.lists(), notifications_};
    int beeps_ = 0;
};

} // namespace ql::test
