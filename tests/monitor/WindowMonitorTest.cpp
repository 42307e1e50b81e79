#include "monitor/MonitorNotifications.h"
#include "monitor/WindowMonitor.h"
#include "platform/core/SystemClock.h"
#include "tests/monitor/support/MonitorFakes.h"
#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>
#include <thread>
#include <gtest/gtest.h>

using namespace ql;
using ql::testing::FakeWatchedEntries;
using ql::testing::RecordingKeySender;

namespace {

WatchedEntry entry(const QString& user, const QString& pattern, int wait = 0, int repeat = 0) {
    WatchedEntry e;
    e.titlePattern = pattern;
    e.contents = "User name";
    e.sendText = "[Name][Tab]" + pattern;
    e.secondsToWait = wait;
    e.doNotRepeatSeconds = repeat;
    e.directSend = true;
    e.user = user;
    return e;
}

std::vector<QString> patterns(const std::vector<MonitorRow>& rows) {
    std::vector<QString> out;
    for (const MonitorRow& r : rows) out.push_back(r.titlePattern + "/" + r.userName);
    return out;
}

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_monitor";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

struct Rig {
    FakeWindowSystem desktop;
    RecordingKeySender keys{&desktop};
    FakeClock clock;
    ScriptedPrompter prompter;
    FakeWatchedEntries entries;
    MonitorNotifications notifications;
    WindowMonitor monitor;
    explicit Rig(MonitorPolicy policy = MonitorPolicy::mainProgram())
        : monitor({desktop, keys, clock, prompter, entries, &notifications}, policy) {
        clock.set(1000);
    }
};

} // namespace

TEST(MonitorQueue, KeepsRowsSortedByPatternAndCutsFieldsToWidth) {
    MonitorQueue queue;
    MonitorRow row;
    for (const char* p : {"Mail", "*Bank", "Login*", "Mail"}) {
        row.titlePattern = p;
        row.sendText = p;
        queue.insert(row);
    }
    row.titlePattern = QString(300, 'z');
    row.contents = QString(50, 'c');
    row.userName = QString(200, 'u');
    RowId longId = queue.insert(row);

    ASSERT_EQ(queue.size(), 5u);
    EXPECT_EQ(queue.at(0).titlePattern, "*Bank");
    EXPECT_EQ(queue.at(1).titlePattern, "Login*");
    EXPECT_EQ(queue.at(2).titlePattern, "Mail");
    EXPECT_EQ(queue.at(3).titlePattern, "Mail");
    auto cut = queue.find(longId);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->titlePattern.size(), 255);
    EXPECT_EQ(cut->contents.size(), 40);
    EXPECT_EQ(cut->userName.size(), 128);

    EXPECT_TRUE(queue.remove(longId));
    EXPECT_FALSE(queue.remove(longId));
    EXPECT_FALSE(queue.find(longId));
}

TEST(WatchedUsers, OneRowPerUserInKeyOrder) {
    WatchedUsers users;
    users.set("bob", WatchAction::Load);
    users.set("alice  ", WatchAction::Load);
    users.set("BOB", WatchAction::Changed);
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users.rows()[0].userName, "alice");
    EXPECT_EQ(users.rows()[1].userName, "bob");
    EXPECT_EQ(users.rows()[1].action, WatchAction::Changed);
    users.markAll(WatchAction::Drop);
    EXPECT_EQ(users.find("Alice")->action, WatchAction::Drop);
    EXPECT_TRUE(users.remove("alice"));
    EXPECT_EQ(users.find("alice"), nullptr);
}

TEST(WindowMonitor, LoadedRowsCarryTheEntryFields) {
    Rig mainRig;
    mainRig.entries.byUser["alice"] = {entry("alice", "Login*", 7, 30)};
    mainRig.monitor.loadWatchedEntries("alice");
    auto rows = mainRig.monitor.lists().queueRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].titlePattern, "Login*");
    EXPECT_EQ(rows[0].contents, "User name");
    EXPECT_EQ(rows[0].sendText, "[Name][Tab]Login*");
    EXPECT_EQ(rows[0].dueTime, 1000 + 700);
    EXPECT_EQ(rows[0].repeatInterval, 3000);
    EXPECT_EQ(rows[0].oneShot, 0);
    EXPECT_EQ(rows[0].directSend, 1);
    EXPECT_EQ(rows[0].userName, "alice");
    EXPECT_EQ(rows[0].settleSeconds, 0) << "the main program sends as soon as it finds";

    Rig monitorRig(MonitorPolicy::monitorProgram());
    monitorRig.entries.byUser["alice"] = {entry("alice", "Login*", 7, 30)};
    monitorRig.monitor.loadWatchedEntries("alice");
    EXPECT_EQ(monitorRig.monitor.lists().queueRows()[0].settleSeconds, 7);
}

TEST(WindowMonitor, ProcessWatchedUsersAppliesLoadChangeAndDrop) {
    Rig rig;
    rig.entries.byUser["alice"] = {entry("alice", "A1"), entry("alice", "A2")};
    rig.entries.byUser["bob"] = {entry("bob", "B1")};
    rig.monitor.watchUser("alice", WatchAction::Load);
    rig.monitor.watchUser("bob", WatchAction::Load);
    rig.monitor.processWatchedUsers();
    EXPECT_EQ(patterns(rig.monitor.lists().queueRows()),
              (std::vector<QString>{"A1/alice", "A2/alice", "B1/bob"}));
    for (const WatchedUser& u : rig.monitor.lists().watchedRows())
        EXPECT_EQ(u.action, WatchAction::UpToDate);

    // Up-to-date users are left alone; a changed user is dropped and loaded again.
    rig.entries.byUser["alice"] = {entry("alice", "A3")};
    rig.monitor.processWatchedUsers();
    EXPECT_EQ(rig.monitor.lists().queueSize(), 3u);
    rig.monitor.watchUser("alice", WatchAction::Changed);
    rig.monitor.processWatchedUsers();
    EXPECT_EQ(patterns(rig.monitor.lists().queueRows()),
              (std::vector<QString>{"A3/alice", "B1/bob"}));

    // Dropping forgets the user; with nobody watched the queue is emptied.
    rig.monitor.watchUser("bob", WatchAction::Drop);
    rig.monitor.processWatchedUsers();
    EXPECT_EQ(patterns(rig.monitor.lists().queueRows()), std::vector<QString>{"A3/alice"});
    EXPECT_EQ(rig.monitor.lists().watchedRows().size(), 1u);
    rig.monitor.queueOneShotSend(entry("carol", "C1"));
    rig.monitor.watchUser("alice", WatchAction::Drop);
    rig.monitor.processWatchedUsers();
    EXPECT_EQ(rig.monitor.lists().queueSize(), 1u) << "the one-shot row of another user stays";
    rig.monitor.processWatchedUsers();
    EXPECT_TRUE(rig.monitor.lists().queueEmpty());
}

TEST(WindowMonitor, OneShotRequestQueuesAndNotifiesTheFrameLater) {
    app();
    Rig rig;
    QSignalSpy runNow(&rig.notifications, &MonitorNotifications::monitorRunNow);
    QSignalSpy minimize(&rig.notifications, &MonitorNotifications::minimizeFrame);

    rig.monitor.queueOneShotSend(entry("alice", "Login*", 3, 30));
    auto rows = rig.monitor.lists().queueRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].oneShot, 1);
    EXPECT_EQ(rows[0].repeatInterval, 0);
    EXPECT_EQ(rows[0].settleSeconds, 0);
    EXPECT_EQ(rows[0].dueTime, 1300);
    EXPECT_EQ(runNow.count(), 0) << "delivered from the event loop, not inside the call";
    EXPECT_EQ(minimize.count(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(runNow.count(), 1) << "monitoring is off: the frame runs a cycle at once";
    EXPECT_EQ(minimize.count(), 1);

    rig.monitor.switchMonitoring(true);
    rig.monitor.queueOneShotSend(entry("alice", "Login*"));
    QCoreApplication::processEvents();
    EXPECT_EQ(runNow.count(), 1);
    EXPECT_EQ(minimize.count(), 2);

    Rig monitorRig(MonitorPolicy::monitorProgram());
    QSignalSpy quiet(&monitorRig.notifications, &MonitorNotifications::minimizeFrame);
    monitorRig.monitor.queueOneShotSend(entry("alice", "Login*"));
    QCoreApplication::processEvents();
    EXPECT_EQ(quiet.count(), 0) << "the monitor program has no frame to minimize";
}

TEST(WindowMonitor, NotificationsPostedFromAnotherThreadArriveOnTheOwnersThread) {
    app();
    MonitorNotifications notifications;
    QSignalSpy reload(&notifications, &MonitorNotifications::monitorReload);
    Qt::HANDLE receivedOn = nullptr;
    QObject::connect(&notifications, &MonitorNotifications::monitorReload,
                     [&] { receivedOn = QThread::currentThreadId(); });
    std::thread poster([&] { notifications.postMonitorReload(); });
    poster.join();
    EXPECT_EQ(reload.count(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(reload.count(), 1);
    EXPECT_EQ(receivedOn, QThread::currentThreadId());
}
