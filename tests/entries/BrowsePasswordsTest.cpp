#include "monitor/MonitorLists.h"
#include "platform/core/DayNumber.h"
#include "entries/ProgramStarter.h"
#include "store/ImportedEntries.h"
#include "tests/entries/ListFixture.h"
#include <QSignalSpy>

using namespace ql;
using ql::test::ListFixture;
using ql::test::settle;

namespace {

class BrowsePasswordsTest : public ListFixture {
protected:
    std::unique_ptr<BrowsePasswords> openList(const QString& user) {
        auto list = std::make_unique<BrowsePasswords>(browseServices());
        EXPECT_TRUE(list->open(choose(user)));
        settle();
        return list;
    }

    QString watchedAction(const QString& user) {
        for (const WatchedUser& row : monitor_.lists().watchedRows())
            if (row.userName == user) return QString(row.action);
        return QStringLiteral("none");
    }

    int rowOfService(BrowsePasswords& list, const QString& service) {
        PasswordListModel& m = list.model();
        for (int row = 0; row < m.rowCount(); ++row)
            if (m.data(m.index(row, 0)).toString() == service) return row;
        return -1;
    }

    MonitorRow onlyQueuedRow() {
        const std::vector<MonitorRow> rows = monitor_.lists().queueRows();
        EXPECT_EQ(rows.size(), 1u);
        return rows.empty() ? MonitorRow{} : rows.front();
    }
};

TEST_F(BrowsePasswordsTest, OpeningWatchesTheUserAndTheLastListToCloseLetsGo) {
    QSignalSpy reloads(&notifications_, &MonitorNotifications::monitorReload);
    BrowsePasswords none(browseServices());
    EXPECT_FALSE(none.open(cancel));
    settle();
    EXPECT_EQ(reloads.count(), 0);
    EXPECT_EQ(watchedAction("amy"), "none");

    auto first = openList("amy");
    EXPECT_EQ(first->windowTitle(), "Passwords - amy");
    EXPECT_EQ(watchedAction("amy"), "A");
    EXPECT_EQ(reloads.count(), 1);
    monitor_.processWatchedUsers();
    auto second = openList("amy");
    EXPECT_EQ(watchedAction("amy"), "C");
    second->close();
    EXPECT_EQ(watchedAction("amy"), "C") << "another list still shows amy";
    first->close();
    settle();
    EXPECT_EQ(watchedAction("amy"), "D");
    EXPECT_EQ(reloads.count(), 3);
}

TEST_F(BrowsePasswordsTest, ListsOnlyTheirOwnUsersEntriesAndStayIndependent) {
    storeEntry("amy", "amy's mail", "a");
    storeEntry("bob", "bob's mail", "b");
    storeEntry("bob", "bob's bank", "b");
    auto amy = openList("amy");
    auto bob = openList("bob");
    ASSERT_EQ(amy->model().rowCount(), 1);
    EXPECT_EQ(bob->model().rowCount(), 2);
    EXPECT_EQ(rowOfService(*amy, "bob's mail"), -1);
    // A change saved through one list shows in another list of the same user
    // when that one refreshes; the other user's list never sees it.
    auto amyAgain = openList("amy");
    amy->add([](int request, DataTable& table, Record&) {
        EXPECT_EQ(request, form_request::Insert);
        table.record().setText("P_:USER", u"amy");
        table.record().setText("P_:SERVICE", u"amy's bank");
        table.record().setText("P_:NAME", u"a");
        return table.add() == 0 ? form_response::Completed : form_response::Cancelled;
    }, 0);
    EXPECT_EQ(amy->model().rowCount(), 2);
    EXPECT_EQ(amyAgain->model().rowCount(), 1);
    amyAgain->refresh();
    EXPECT_EQ(amyAgain->model().rowCount(), 2);
    bob->refresh();
    EXPECT_EQ(rowOfService(*bob, "amy's bank"), -1);
}

TEST_F(BrowsePasswordsTest, AnEmptyListHasNothingToLaunchSendShowOrCopy) {
    auto list = openList("amy");
    EXPECT_FALSE(list->hasEntries());
    list->launchUrl(0);
    list->send(0);
    list->copyField(0, CopyField::Password);
    EXPECT_TRUE(launcher_.opened.empty());
    EXPECT_TRUE(monitor_.lists().queueEmpty());
    EXPECT_EQ(clipboard_.changes, 0u);
    storeEntry("amy", "Mail", "jdoe");
    list->refresh();
    EXPECT_TRUE(list->hasEntries());
}

TEST_F(BrowsePasswordsTest, TheFormRunsOnTheHighlightedEntryAndTheWrittenEntryIsHighlighted) {
    storeEntry("amy", "Bank", "b1");
    storeEntry("amy", "Mail", "jdoe", [](Record& r) { r.setText("P_:URL", u"https://mail.example"); });
    auto list = openList("amy");
    const int mail = rowOfService(*list, "Mail");
    // Copy: an insert whose buffer starts as the highlighted entry.
    int seenRequest = 0;
    const int copied = list->copy([&](int request, DataTable& table, Record& user) {
        seenRequest = request;
        EXPECT_EQ(user.text("U_:NAME"), "amy");
        EXPECT_EQ(table.record().text("P_:URL"), "https://mail.example");
        table.record().setNumber("P_:ID", 0);
        table.record().setText("P_:SERVICE", u"Copy of Mail");
        return table.add() == 0 ? form_response::Completed : form_response::Cancelled;
    }, mail);
    EXPECT_EQ(seenRequest, form_request::Insert);
    EXPECT_EQ(list->model().data(list->model().index(copied, 0)).toString(), "Copy of Mail");
    // Change: the table's current record is the entry.
    const int changed = list->change([](int request, DataTable& table, Record&) {
        EXPECT_EQ(request, form_request::Change);
        table.record().setText("P_:SERVICE", u"Aardvark mail");
        return table.put() == 0 ? form_response::Completed : form_response::Cancelled;
    }, rowOfService(*list, "Mail"));
    EXPECT_EQ(changed, 0);
    // Delete of the last row leaves the row above highlighted; a cancelled
    // form changes nothing.
    const int last = list->model().rowCount() - 1;
    EXPECT_EQ(list->remove([](int, DataTable&, Record&) { return form_response::Cancelled; }, last), last);
    EXPECT_EQ(list->remove([](int, DataTable& table, Record&) {
        return table.remove() == 0 ? form_response::Completed : form_response::Cancelled;
    }, last), last - 1);
    EXPECT_EQ(list->model().rowCount(), 2);
}

TEST_F(BrowsePasswordsTest, CopyButtonsPutTheFieldOnTheClipboardAndLaunchOpensTheAddress) {
    storeEntry("amy", "Mail", "jdoe", [](Record& r) {
        r.setText("P_:PASSWORD", u"s3cret pass");
        r.setText("P_:URL", u"www.mail.example");
        r.setText("P_:NOTES", u"notes");
        r.setText("P_:MORENOTES", u"more");
    });
    auto list = openList("amy");
    const std::vector<std::pair<CopyField, QString>> fields{
        {CopyField::Name, "jdoe"},   {CopyField::Password, "s3cret pass"},
        {CopyField::Url, "www.mail.example"}, {CopyField::Notes, "notes"},
        {CopyField::MoreNotes, "more"}, {CopyField::Service, "Mail"}};
    for (const auto& [field, text] : fields) {
        list->copyField(0, field);
        EXPECT_EQ(clipboard_.contents, text);
    }
    list->launchUrl(0);
    ASSERT_EQ(launcher_.opened.size(), 1u);
    EXPECT_EQ(launcher_.opened[0].toString(), "http://www.mail.example");
    launcher_.opens = false;
    list->launchUrl(0);
    EXPECT_TRUE(prompter_.asked.empty()) << "a failed launch says nothing";
}

TEST_F(BrowsePasswordsTest, SendStartsNothingForNoProgramAndQueuesTheExpandedTextAfterItsWait) {
    int n = 0;
    for (const QString program : {"", "N/A", "n/a", "N/a  "}) {
        SCOPED_TRACE(program.toStdString());
        monitor_.lists().clearQueue();
        const QString service = QStringLiteral("Mail %1").arg(++n);
        storeEntry("amy", service, "jdoe", [&](Record& r) {
            r.setText("P_:FILENAME", program);
            r.setText("P_:WINDOWTITLETOLOCATE", u"Login - Receiver");
            r.setNumber("P_:SECONDSTOWAIT", 3);
        });
        auto list = openList("amy");
        list->send(*list->locate(service));
        EXPECT_TRUE(launcher_.started.empty());
        EXPECT_TRUE(launcher_.opened.empty());
        const MonitorRow row = onlyQueuedRow();
        EXPECT_EQ(row.titlePattern, "Login - Receiver");
        EXPECT_EQ(row.sendText, "jdoe[Tab]x1[Enter]");
        EXPECT_EQ(row.oneShot, 1);
        EXPECT_EQ(row.dueTime, clock_.now() + 300);
        list->close();
    }
}

// The first Send of an imported entry asks before it starts the program line;
// what the user agreed to is stored with the entry and lasts into the next run.
TEST_F(BrowsePasswordsTest, AnImportedProgramLineStartsOnlyOnceTheUserAgreed) {
    storeEntry("amy", "Mail", "jdoe", [](Record& r) {
        r.setText("P_:FILENAME", u"/bin/true --mail");
        imported_entry::markImported(r);
    });
    prompter_.answers = {PromptButton::No};
    auto list = openList("amy");
    list->send(0);
    EXPECT_TRUE(launcher_.started.empty());
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_TRUE(prompter_.asked[0].text.startsWith(kImportedProgramQuestion));
    EXPECT_EQ(onlyQueuedRow().sendText, "jdoe[Tab]x1[Enter]") << "the text still goes out";
    list->close();

    prompter_.answers = {PromptButton::Yes};
    list = openList("amy");
    list->send(0);
    EXPECT_EQ(launcher_.started.size(), 1u);
    list->close();
    list = openList("amy"); // as after a restart
    list->send(0);
    EXPECT_EQ(launcher_.started.size(), 2u);
    EXPECT_EQ(prompter_.asked.size(), 2u);
}

TEST_F(BrowsePasswordsTest, SendDueAfterMidnightAndTheFrameIsToldEvenWhenTheProgramFails) {
    storeEntry("amy", "Mail", "jdoe", [](Record& r) {
        r.setText("P_:FILENAME", u"/no/such/program --x");
        r.setNumber("P_:SECONDSTOWAIT", 199);
    });
    auto list = openList("amy");
    QSignalSpy runNow(&notifications_, &MonitorNotifications::monitorRunNow);
    QSignalSpy minimize(&notifications_, &MonitorNotifications::minimizeFrame);
    clock_.set(timeNumber(QTime(23, 58, 0)));
    launcher_.opens = false;
    list->send(0);
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_EQ(prompter_.asked[0].title, "Critical Error Message");
    EXPECT_TRUE(prompter_.asked[0].text.startsWith("EXE, Batch File or PIF File Not Found:/no/such/program"));
    EXPECT_EQ(beeps_, 1);
    const MonitorRow row = onlyQueuedRow();
    EXPECT_GT(row.dueTime, kHundredthsPerDay);
    EXPECT_EQ(row.dueTime - kHundredthsPerDay, 199 * 100 - 2 * 60 * 100 + 1) << "79 s after midnight";
    settle();
    EXPECT_EQ(runNow.count(), 1) << "monitoring is off";
    EXPECT_EQ(minimize.count(), 1);
    monitor_.switchMonitoring(true);
    list->send(0);
    settle();
    EXPECT_EQ(runNow.count(), 1);
    EXPECT_EQ(minimize.count(), 2);
}

// A list left open over midnight lists on its next refresh the entries that
// expired at midnight.
TEST_F(BrowsePasswordsTest, TheExpiredTabTakesTheNewDayOnRefresh) {
    const int32_t today = clock_.day;
    storeEntry("amy", "Expired yesterday", "n", [&](Record& r) { r.setNumber("P_:EXPIRYDATE", today - 1); });
    storeEntry("amy", "Expires tomorrow", "n", [&](Record& r) { r.setNumber("P_:EXPIRYDATE", today + 1); });
    auto list = openList("amy");
    list->selectTab(ListTab::Expired);
    settle();
    ASSERT_EQ(list->model().rowCount(), 1);
    clock_.day = today + 2; // two midnights later
    list->refresh(0);
    settle();
    ASSERT_EQ(list->model().rowCount(), 2);
    EXPECT_EQ(list->model().data(list->model().index(1, 0)).toString(), "Expires tomorrow");
}

TEST_F(BrowsePasswordsTest, SelectUserCancelledKeepsThePreviousUserOrClosesWhenItIsGone) {
    storeEntry("amy", "amy's", "a");
    storeEntry("bob", "bob's", "b");
    auto list = openList("amy");
    EXPECT_TRUE(list->selectUser(cancel));
    EXPECT_EQ(list->windowTitle(), "Passwords - amy");
    EXPECT_EQ(list->model().data(list->model().index(0, 0)).toString(), "amy's");
    monitor_.processWatchedUsers();
    EXPECT_TRUE(list->selectUser(choose("bob")));
    EXPECT_EQ(list->windowTitle(), "Passwords - bob");
    EXPECT_EQ(list->model().data(list->model().index(0, 0)).toString(), "bob's");
    EXPECT_EQ(watchedAction("amy"), "D") << "amy's list no longer shows her entries";
    EXPECT_EQ(watchedAction("bob"), "A");
    removeUser("bob");
    EXPECT_FALSE(list->selectUser(cancel));
}

// The user setup renames a user whose list is open: the list goes on under the
// new name, so entries it adds belong to a user that exists.
TEST_F(BrowsePasswordsTest, AListFollowsItsUserRenamedElsewhere) {
    storeEntry("amy", "Mail", "a");
    auto list = openList("amy");
    monitor_.processWatchedUsers();
    DataTable users(usersTable());
    ASSERT_EQ(managers().users.open(users), 0);
    users.record().setText("U_:NAME", u"amy");
    ASSERT_EQ(users.fetch(usersTable().keyIndex("U_:KEYNAME")), 0);
    users.record().setText("U_:NAME", u"Amelia");
    ASSERT_EQ(managers().userRelations.updateUser(users, "amy"), 0);

    EXPECT_TRUE(list->showsUser("AMY ")) << "names compare as the key does";
    EXPECT_FALSE(list->showsUser("bob"));
    ASSERT_TRUE(list->followUser("Amelia"));
    EXPECT_EQ(list->windowTitle(), "Passwords - Amelia");
    EXPECT_EQ(list->model().rowCount(), 1);
    EXPECT_EQ(watchedAction("amy"), "D");
    EXPECT_EQ(watchedAction("Amelia"), "A");
    QString owner;
    list->add([&owner](int, DataTable&, Record& user) {
        owner = user.text("U_:NAME");
        return form_response::Cancelled;
    }, 0);
    EXPECT_EQ(owner, "Amelia");

    removeUser("Amelia");
    EXPECT_FALSE(list->followUser("Amelia")) << "a user that is gone cannot be followed";
}

TEST_F(BrowsePasswordsTest, FilterClipboardWalksTheTextAsTheListDoes) {
    auto list = openList("amy");
    const std::vector<std::pair<QString, QString>> cases{
        {"ab  cd\tef", "ab cdef"},
        {"  a[b]_c{d}~e`f\\g^h", " abcdefgh"},
        {"x\u00e9y\u00fc\U0001F600z", "xyz"},
        {"line one\r\nline two   ", "line oneline two"},
        {"!\"#$%&'()*+,-./0123456789:;<=>?@", "!\"#$%&'()*+,-./0123456789:;<=>?@"},
        {QString(10005, u'a') + "bcdef", QString(10000, u'a')}};
    for (const auto& [given, filtered] : cases) {
        clipboard_.setText(given);
        EXPECT_EQ(list->filterClipboard(), filtered) << given.left(40).toStdString();
        EXPECT_EQ(clipboard_.contents, filtered);
    }
}

TEST_F(BrowsePasswordsTest, TypingLocatesOnTheTabsFieldAndOnDatesByTheDatePicture) {
    storeEntry("amy", "Bank", "zed", [](Record& r) { r.setNumber("P_:LASTCHANGEDATE", 81000); });
    storeEntry("amy", "Mail", "adam", [](Record& r) { r.setNumber("P_:LASTCHANGEDATE", 81500); });
    auto list = openList("amy");
    EXPECT_EQ(list->locate("ma"), 1);
    list->selectTab(ListTab::Name);
    EXPECT_EQ(list->locate("ma"), 1) << "past adam, at zed";
    EXPECT_EQ(list->model().data(list->model().index(*list->locate("ad"), 0)).toString(), "Mail");
    list->selectTab(ListTab::Date);
    EXPECT_EQ(list->locate(formatDate(81200, "@d2")), 1);
    EXPECT_EQ(list->locate("not a date"), std::nullopt);
    EXPECT_EQ(list->locate(""), std::nullopt);
}

TEST_F(BrowsePasswordsTest, TheClipboardDisplayFollowsTheClipboardAndPutsBackWhatIsTyped) {
    auto list = openList("amy");
    clipboard_.setText(QString(120, u'x'));
    EXPECT_EQ(list->changedClipboardDisplay(), QString(90, u'x'));
    EXPECT_EQ(list->changedClipboardDisplay(), std::nullopt);
    list->putClipboardDisplay("typed   ");
    EXPECT_EQ(clipboard_.contents, "typed");
}

} // namespace
