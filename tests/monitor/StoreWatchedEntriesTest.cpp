#include "monitor/StoreWatchedEntries.h"
#include "monitor/WindowMonitor.h"
#include "platform/core/SystemClock.h"
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "tests/monitor/support/MonitorFakes.h"
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;

namespace {

// A Passwords table in a fresh data folder.
class PasswordsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        setOwnerKey(QString(64, QLatin1Char('7')));
        ASSERT_EQ(table.create(), 0) << table.errorText().toStdString();
        ASSERT_EQ(table.open(), 0) << table.errorText().toStdString();
    }
    void TearDown() override {
        table.close();
        QDir::setCurrent(previous);
    }
    void add(const QString& user, const QString& service, int monitor,
             const QString& paste = "[NAME][TAB][PASSWORD][ENTER]") {
        Record& r = table.record();
        table.clearBuffer();
        auto set = [&r](const char* field, const QString& value) {
            r.setText(r.fieldIndex(field), value);
        };
        set("P_:USER", user);
        set("P_:SERVICE", service);
        set("P_:NAME", user + "-login");
        set("P_:PASSWORD", "pw-" + service);
        r.setNumber("P_:MONITOR", monitor);
        set("P_:WINDOWTITLETOLOCATE", service + "*");
        set("P_:WINDOWCONTENTS", "User name");
        set("P_:PASTE", paste);
        r.setNumber("P_:SECONDSTOWAIT", 3);
        r.setNumber("P_:DONOTREPEATSECONDS", 30);
        r.setNumber("P_:DIRECTSEND", 1);
        ASSERT_EQ(table.add(), 0) << table.errorText().toStdString();
    }

    QTemporaryDir folder;
    QString previous;
    DataTable table{passwordsTable()};
};

} // namespace

TEST_F(PasswordsFolder, ReadsTheUsersMonitoredEntriesInServiceOrder) {
    add("alice", "Mail", 1);
    add("alice", "Bank", 1, "[NAME] [SERVICE]  ");
    add("alice", "Shop", 0);
    add("alicia", "Forum", 1);
    add("bob", "Bank", 1);

    StoreWatchedEntries source(table, false);
    std::vector<WatchedEntry> entries = source.monitoredEntries("ALICE");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].titlePattern, "Bank*");
    EXPECT_EQ(entries[0].sendText, "alice-login Bank  ") << "a send text is typed as stored, blanks included";
    EXPECT_EQ(entries[1].titlePattern, "Mail*");
    EXPECT_EQ(entries[1].sendText, "alice-login[TAB]pw-Mail[ENTER]");
    EXPECT_EQ(entries[1].contents, "User name");
    EXPECT_EQ(entries[1].secondsToWait, 3);
    EXPECT_EQ(entries[1].doNotRepeatSeconds, 30);
    EXPECT_TRUE(entries[1].directSend);
    EXPECT_EQ(entries[1].user, "alice");
    EXPECT_TRUE(source.monitoredEntries("carol").empty());
    EXPECT_EQ(source.monitoredEntries("bob").size(), 1u);
}

TEST_F(PasswordsFolder, MonitorProgramKeepsItsCurrentRecord) {
    add("alice", "Bank", 1);
    add("bob", "Zoo", 0);
    ASSERT_EQ(table.getByRecordNumber(2), 0);
    table.record().setText(table.record().fieldIndex("P_:NOTES"), QString("being edited"));

    StoreWatchedEntries keeping(table, true);
    EXPECT_EQ(keeping.monitoredEntries("alice").size(), 1u);
    EXPECT_EQ(table.recordNumber(), 2);
    EXPECT_EQ(table.record().text("P_:SERVICE"), "Zoo");
    EXPECT_EQ(table.record().text("P_:NOTES"), "being edited");

    // Loaded into the monitor: rows carry the expanded text, never the tokens.
    FakeWindowSystem desktop;
    ql::testing::RecordingKeySender keys;
    FakeClock clock;
    ScriptedPrompter prompter;
    WindowMonitor monitor({desktop, keys, clock, prompter, keeping},
                          MonitorPolicy::monitorProgram());
    monitor.loadWatchedEntries("alice");
    ASSERT_EQ(monitor.lists().queueSize(), 1u);
    EXPECT_EQ(monitor.lists().queueRows()[0].sendText, "alice-login[TAB]pw-Bank[ENTER]");
    EXPECT_EQ(monitor.lists().queueRows()[0].settleSeconds, 3);
}
