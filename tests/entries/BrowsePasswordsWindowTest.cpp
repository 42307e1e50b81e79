#include "entries/views/BrowsePasswordsWindow.h"
#include "entries/views/PasswordListView.h"
#include "entries/views/SearchField.h"
#include "framework/IniStore.h"
#include "tests/entries/ListFixture.h"
#include "tests/support/TestApp.h"
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

using namespace ql;
using ql::test::ListFixture;
using ql::test::settle;

namespace {

class ListWindow : public ListFixture {
protected:
    void SetUp() override {
        testApp();
        ListFixture::SetUp();
        positions_.openStore(dir_.filePath("POSITION.INI"));
    }

    BrowseWindowTools tools() {
        return {positions_,
                [this](int request, DataTable&, Record&, QWidget*) {
                    requests_.push_back(request);
                    return form_response::Cancelled;
                },
                [this](Record& user, QWidget*) { return choose("bob")(user); }};
    }

    BrowsePasswordsWindow* open(const QString& user, bool hideClipboard = false) {
        BrowseServices services = browseServices();
        services.hideClipboard = hideClipboard;
        auto first = [this, user](Record& u, QWidget*) { return choose(user)(u); };
        BrowsePasswordsWindow* window = BrowsePasswordsWindow::open(services, tools(), first);
        settle();
        return window;
    }

    static QStringList menuTexts(QMenu* menu, bool enabledOnly = false) {
        QStringList texts;
        for (QAction* a : menu->actions())
            if (!enabledOnly || a->isEnabled()) texts << (a->isSeparator() ? "-" : a->text());
        return texts;
    }

    IniStore positions_;
    std::vector<int> requests_;
};

TEST_F(ListWindow, NoUserMeansNoWindowAtAll) {
    BrowseServices services = browseServices();
    auto none = [](Record& u, QWidget*) { return cancel(u); };
    EXPECT_EQ(BrowsePasswordsWindow::open(services, tools(), none), nullptr);
    settle();
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<BrowsePasswordsWindow*>(w), nullptr);
    EXPECT_TRUE(monitor_.lists().watchedEmpty());
}

TEST_F(ListWindow, ButtonsTooltipsAndThePopUpMenuInOrderWithItsEnablingRule) {
    QPointer<BrowsePasswordsWindow> window = open("amy");
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "Passwords - amy");
    const BrowsePasswordsControls& c = window->controls();
    EXPECT_EQ(c.selectUser->toolTip(), "Change to password list for another user");
    EXPECT_EQ(c.send->toolTip(), "Semi-automatic send of password/information");
    EXPECT_EQ(c.close->toolTip(), "Exit this password list");
    EXPECT_EQ(c.copyButtons[0].button->toolTip(), "Copy Name onto Clipboard");
    QStringList tabs;
    for (int i = 0; i < c.tabs->count(); ++i) tabs << c.tabs->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Service", "URL", "Name", "Date", "Expired"}));
    EXPECT_EQ(menuTexts(window->popupMenu()),
              (QStringList{"&Insert", "&Change", "&Delete", "&Launch URL", "Send", "-", "&Name",
                           "&Password", "&URL", "No&tes", "&More Notes", "&Service", "-",
                           "Filter Clipboard", "-", "Display All", "Cop&y"}));
    // Empty: nothing to act on but adding and filtering.
    EXPECT_EQ(menuTexts(window->popupMenu(), true), (QStringList{"&Insert", "-", "-", "Filter Clipboard", "-"}));
    EXPECT_FALSE(c.send->isEnabled());
    EXPECT_FALSE(c.copy->isEnabled());
    EXPECT_TRUE(c.add->isEnabled());
    storeEntry("amy", "Mail", "jdoe");
    c.add->click(); // a cancelled form still refreshes the list
    EXPECT_EQ(requests_, std::vector<int>{form_request::Insert});
    EXPECT_TRUE(menuTexts(window->popupMenu(), true).contains("Display All"));
    EXPECT_TRUE(c.send->isEnabled());
    window->close();
}

TEST_F(ListWindow, TypingLocatesTabsAndHeadingsSwitchOrderAndCopyButtonsReturnToTheList) {
    for (const char* s : {"Bank", "Mail", "Shop"}) storeEntry("amy", s, QString(s).toLower() + "-login");
    QPointer<BrowsePasswordsWindow> window = open("amy");
    ASSERT_TRUE(window);
    const BrowsePasswordsControls& c = window->controls();
    window->activateWindow();
    c.list->setFocus();
    QTest::keyClicks(c.list, "ma");
    EXPECT_EQ(c.list->highlightedRow(), 1);
    c.copyButtons[1].button->click();
    EXPECT_EQ(clipboard_.contents, "x1");
    EXPECT_TRUE(c.list->hasFocus() || !QApplication::focusWidget()) << "the focus returns to the list";
    emit c.list->horizontalHeader()->sectionClicked(PasswordListModel::Name);
    EXPECT_EQ(c.tabs->currentIndex(), int(ListTab::Name));
    EXPECT_EQ(window->logic().tab(), ListTab::Name);
    c.tabs->setCurrentIndex(int(ListTab::Expired));
    EXPECT_EQ(window->logic().model().rowCount(), 0);
    window->close();
}

// The search field keeps the entries holding every typed word; the buttons
// act on the found entries; Esc shows every entry again at the one highlighted.
TEST_F(ListWindow, TheSearchFieldNarrowsTheListAsTheUserTypesAndEscShowsItAllAgain) {
    const QStringList services{"Agence Éric", "Bank", "Café Müller", "Mail", "Müller Reisen", "Shop"};
    for (const QString& s : services)
        storeEntry("amy", s, s.section(u' ', 0, 0).toLower(), [&](Record& r) {
            if (s == "Mail") r.setText("P_:NOTES", u"Erich's account\nat MÜLLER-Post");
        });
    QPointer<BrowsePasswordsWindow> window = open("amy");
    ASSERT_TRUE(window);
    const BrowsePasswordsControls& c = window->controls();
    PasswordListModel& model = window->logic().model();
    window->resize(760, 420);
    window->show();
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(c.search->hasFocus() || !QApplication::focusWidget());
    c.search->setFocus();
    QTest::keyClicks(c.search, "MULL");
    EXPECT_EQ(model.rowCount(), 3);
    QTest::keyClicks(c.search, "er eri");
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "Mail");
    QTest::keyClick(c.search, Qt::Key_Backspace);
    QTest::keyClick(c.search, Qt::Key_Backspace);
    QTest::keyClick(c.search, Qt::Key_Backspace);
    EXPECT_EQ(model.rowCount(), 3);
    ASSERT_EQ(c.list->highlightedRow(), 1) << "a wider search stays on the entry";
    QTest::keyClick(c.search, Qt::Key_Down);
    EXPECT_TRUE(c.list->hasFocus() || !QApplication::focusWidget());
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), "Mail");
    window->grab().save(QDir(previous_).filePath(QStringLiteral("password-list-search.png")));
    c.copyButtons[0].button->click();
    EXPECT_EQ(clipboard_.contents, "mail");
    c.send->click();
    EXPECT_EQ(model.rowCount(), 3) << "a send reads the entries again, and keeps to the search";
    EXPECT_EQ(c.list->highlightedRow(), 1);
    EXPECT_TRUE(c.send->isEnabled());
    QTest::keyClick(c.search, Qt::Key_Escape);
    EXPECT_TRUE(c.search->text().isEmpty());
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(c.list->highlightedRow(), 3);
    QTest::keyClicks(c.search, "nothing like it");
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(c.send->isEnabled());
    window->close();
}

// Send and coming back to the window read the entries again; the list stays
// on the highlighted entry instead of starting over at the top.
TEST_F(ListWindow, ReadingTheEntriesAgainKeepsTheHighlightedEntryInPlace) {
    storeMany("amy", 600, "svc");
    QPointer<BrowsePasswordsWindow> window = open("amy");
    ASSERT_TRUE(window);
    PasswordListView* list = window->controls().list;
    PasswordListModel& model = window->logic().model();
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    list->highlight(420, true);
    const int scrolled = list->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    window->controls().send->click();
    EXPECT_EQ(list->highlightedRow(), 420);
    EXPECT_EQ(list->verticalScrollBar()->value(), scrolled);
    // Another list stored two entries above it: it is now two rows further down.
    storeEntry("amy", "aaa first", "n");
    storeEntry("amy", "aab second", "n");
    QEvent leave(QEvent::WindowDeactivate), back(QEvent::WindowActivate);
    QCoreApplication::sendEvent(window, &leave);
    QCoreApplication::sendEvent(window, &back);
    EXPECT_EQ(model.rowCount(), 602);
    ASSERT_EQ(list->highlightedRow(), 422);
    EXPECT_EQ(model.data(model.index(422, 0)).toString(), "svc 00420");
    EXPECT_NEAR(list->verticalScrollBar()->value(), scrolled, 2);
    // A cancelled form stays on the entry too; once it is deleted, the same row.
    window->controls().change->click();
    EXPECT_EQ(list->highlightedRow(), 422);
    DataTable other(passwordsTable());
    ASSERT_EQ(managers().passwords.open(other), 0);
    ASSERT_EQ(other.getByRecordNumber(model.recordNumber(422)), 0);
    ASSERT_EQ(other.remove(), 0);
    QCoreApplication::sendEvent(window, &leave);
    QCoreApplication::sendEvent(window, &back);
    EXPECT_EQ(list->highlightedRow(), 422);
    EXPECT_EQ(model.data(model.index(422, 0)).toString(), "svc 00421");
    EXPECT_EQ(resets.count(), 0);
    window->close();
}

TEST_F(ListWindow, SelectUserSwitchesTheTitleAndClosingKeepsThePlaceAndLetsTheUserGo) {
    QPointer<BrowsePasswordsWindow> window = open("amy", true);
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->controls().clipboard->isVisibleTo(window));
    window->controls().selectUser->click();
    EXPECT_EQ(window->windowTitle(), "Passwords - bob");
    window->move(40, 50);
    window->close();
    settle();
    EXPECT_FALSE(window) << "a closed list goes away";
    EXPECT_EQ(positions_.readSetting("BrowsePasswords", "Maximize"), "No");
    EXPECT_EQ(positions_.readSetting("BrowsePasswords", "?Browse:1").split(',').size(), 6);
    for (const WatchedUser& row : monitor_.lists().watchedRows()) EXPECT_EQ(row.action, WatchAction::Drop);
}

TEST_F(ListWindow, OpenListsTakeTheirUsersNewNameAndCloseWhenHeIsDeleted) {
    QWidget frame;
    BrowseServices services = browseServices();
    auto choose = [this](const QString& name) {
        return [this, name](Record& u, QWidget*) { return ListFixture::choose(name)(u); };
    };
    QPointer<BrowsePasswordsWindow> amy = BrowsePasswordsWindow::open(services, tools(), choose("amy"), &frame);
    QPointer<BrowsePasswordsWindow> bob = BrowsePasswordsWindow::open(services, tools(), choose("bob"), &frame);
    settle();
    ASSERT_TRUE(amy && bob);
    EXPECT_EQ(openPasswordLists(frame).size(), 2u);

    DataTable users(usersTable());
    ASSERT_EQ(managers().users.open(users), 0);
    users.record().setText("U_:NAME", u"amy");
    ASSERT_EQ(users.fetch(usersTable().keyIndex("U_:KEYNAME")), 0);
    users.record().setText("U_:NAME", u"Amelia");
    ASSERT_EQ(managers().userRelations.updateUser(users, "amy"), 0);
    for (BrowsePasswordsWindow* list : openPasswordLists(frame)) list->userChanged("amy", "Amelia");
    EXPECT_EQ(amy->windowTitle(), "Passwords - Amelia");
    EXPECT_EQ(bob->windowTitle(), "Passwords - bob");

    removeUser("bob");
    for (BrowsePasswordsWindow* list : openPasswordLists(frame)) list->userDeleted("bob");
    settle();
    EXPECT_FALSE(bob) << "the deleted user's list closed";
    ASSERT_TRUE(amy);
    EXPECT_TRUE(amy->isVisible());
    delete amy;
}

} // namespace
