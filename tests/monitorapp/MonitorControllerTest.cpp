#include "tests/monitorapp/support/MonitorRig.h"
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::testing;
using Look = FakeMonitorWindow::Look;

namespace {

QStringList texts(const std::vector<TrayMenuItem>& items) {
    QStringList out;
    for (const TrayMenuItem& item : items) out << (item.command == TrayCommand::Separator ? "-" : item.text);
    return out;
}

MonitorUserChoice chosen(const QString& name) { return {true, name}; }

} // namespace

TEST(MonitorStartUp, TheLoneUserWithoutPasswordIsWatchedAndTheWindowGoesToTheTrayWithoutAQuestion) {
    MonitorRig rig;
    rig.entries.byUser["Default User"] = {watchedEntry("Default User", "Mail"),
                                          watchedEntry("Default User", "Bank")};
    rig.controller.startUp("Default User");

    EXPECT_EQ(rig.dialogs.asked, 0);
    EXPECT_EQ(rig.queued(), 2u);
    EXPECT_EQ(rig.window.listedUser, "Default User");
    EXPECT_EQ(rig.window.look, Look::Hidden) << "never mapped: straight to the tray";
    EXPECT_TRUE(rig.tray.present());
    EXPECT_EQ(rig.host.picture, "ADS_ICO");
    EXPECT_EQ(rig.host.lastTip, "Quillock Monitor");
    EXPECT_EQ(rig.controller.state(), MonitorWindowState::InTray);
}

TEST(MonitorStartUp, UserChoiceAtStartOnlyWhenItIsNotAskedOnEveryRestore) {
    {
        MonitorRig rig; // "before minimizing on start up" alone: asked first, then to the tray
        rig.values.askAtStart = 1;
        rig.dialogs.choices = {chosen("alice")};
        rig.entries.byUser["alice"] = {watchedEntry("alice", "Mail")};
        rig.controller.startUp("No User Selected");
        EXPECT_EQ(rig.window.log, QStringList({"choose user", "focus", "hide"}));
        EXPECT_EQ(rig.controller.userName(), "alice");
        EXPECT_EQ(rig.queued(), 1u);
    }
    {
        MonitorRig rig; // both: nothing at start, the question comes with the restore
        rig.values.askAtStart = 1;
        rig.values.askOnRestore = 1;
        rig.controller.startUp("alice");
        EXPECT_EQ(rig.dialogs.asked, 0);
        EXPECT_EQ(rig.window.look, Look::Hidden);
        rig.dialogs.choices = {chosen("bob")};
        rig.controller.trayClicked(TrayClick::LeftDoubleClick);
        EXPECT_EQ(rig.dialogs.asked, 1) << "asked even though a user was selected";
        EXPECT_EQ(rig.controller.userName(), "bob");
        EXPECT_EQ(rig.window.look, Look::Shown);
    }
}

TEST(MonitorRestore, NeedsAUserAndOtherwiseStaysInTheTray) {
    MonitorRig rig;
    rig.controller.startUp("No User Selected");
    rig.controller.restore(); // the choice is cancelled
    EXPECT_EQ(rig.dialogs.asked, 1);
    EXPECT_EQ(rig.window.look, Look::Hidden);
    EXPECT_TRUE(rig.tray.present());
    EXPECT_EQ(rig.controller.userName(), "No User Selected");

    rig.dialogs.choices = {chosen("alice")};
    EXPECT_FALSE(rig.controller.trayClicked(TrayClick::LeftDoubleClick));
    EXPECT_EQ(rig.window.look, Look::Shown);
    EXPECT_FALSE(rig.tray.present()) << "shown windows have no tray icon";
    EXPECT_EQ(rig.controller.state(), MonitorWindowState::Shown);

    // Single clicks do nothing; the right button asks for the menu.
    rig.window.log.clear();
    EXPECT_FALSE(rig.controller.trayClicked(TrayClick::LeftUp));
    EXPECT_FALSE(rig.controller.trayClicked(TrayClick::RightDoubleClick));
    EXPECT_TRUE(rig.controller.trayClicked(TrayClick::RightUp));
    EXPECT_TRUE(rig.window.log.isEmpty());
}

TEST(MonitorUserChoice, ACancelSendsTheWindowToTheTrayAndDropsTheWatchedRowsOnly) {
    MonitorRig rig;
    rig.entries.byUser["alice"] = {watchedEntry("alice", "Mail"), watchedEntry("alice", "Bank")};
    rig.controller.startUp("alice");
    rig.controller.restore();
    ASSERT_EQ(rig.controller.state(), MonitorWindowState::Shown);
    rig.monitor.queueOneShotSend(watchedEntry("alice", "Shop", 5));
    ASSERT_EQ(rig.queued(), 3u);

    rig.controller.chooseUser(); // "Select &User", cancelled
    EXPECT_EQ(rig.controller.userName(), "No User Selected");
    EXPECT_EQ(rig.window.listedUser, "No User Selected");
    EXPECT_EQ(rig.window.look, Look::Hidden);
    EXPECT_TRUE(rig.tray.present());
    ASSERT_EQ(rig.queued(), 1u) << "the send asked for is still to be made";
    EXPECT_EQ(rig.monitor.lists().queueRows()[0].titlePattern, "Shop");
}

TEST(MonitorRefresh, ReadsTheWatchedEntriesAgainWithoutDoublingThem) {
    MonitorRig rig;
    rig.entries.byUser["alice"] = {watchedEntry("alice", "Mail")};
    rig.controller.startUp("alice");
    rig.entries.byUser["alice"].push_back(watchedEntry("alice", "Bank"));
    rig.window.listedUser.clear();
    rig.menu(TrayCommand::Refresh);
    EXPECT_EQ(rig.queued(), 2u);
    EXPECT_EQ(rig.window.listedUser, "alice") << "the list is read again too";
    rig.menu(TrayCommand::Refresh);
    EXPECT_EQ(rig.queued(), 2u);
}

TEST(MonitorMenus, TheMenuFollowsTheStateTheSwitchAndTheAskSetting) {
    MonitorRig rig;
    rig.controller.startUp("alice");
    EXPECT_EQ(texts(rig.controller.menu()),
              QStringList({"&Turn Monitor Off", "&Refresh", "-", "Restore", "-", "&Preferences",
                           "&About", "&Exit Quillock Monitor"}));
    rig.menu(TrayCommand::TurnMonitorOff);
    EXPECT_FALSE(rig.monitor.monitoringOn());
    EXPECT_EQ(texts(rig.controller.menu()).first(), "&Turn Monitor On");

    rig.values.askOnRestore = 1;
    EXPECT_EQ(texts(rig.controller.menu()), QStringList({"Restore", "-", "&About", "&Exit"}));

    rig.values.askOnRestore = 0;
    rig.menu(TrayCommand::Restore);
    ASSERT_EQ(rig.controller.state(), MonitorWindowState::Shown);
    EXPECT_EQ(texts(rig.controller.menu()),
              QStringList({"&Turn Monitor On", "&Refresh", "-", "&About", "&Exit"}));
    rig.menu(TrayCommand::TurnMonitorOn);
    EXPECT_EQ(texts(rig.controller.menu()),
              QStringList({"&Turn Monitor Off", "&Refresh", "-", "&About", "&Exit"}));

    rig.menu(TrayCommand::About);
    EXPECT_EQ(rig.dialogs.aboutOpened, 1);
    rig.menu(TrayCommand::Exit);
    EXPECT_TRUE(rig.window.closed);
}

TEST(MonitorWithoutTray, TheWindowStaysReachableAndTheTrayIsTriedAgain) {
    MonitorRig rig;
    rig.host.trayThere = false;
    rig.values.stayOnTop = 1;
    rig.controller.startUp("alice");
    EXPECT_FALSE(rig.tray.present());
    EXPECT_EQ(rig.window.look, Look::Shown) << "a hidden window without an icon is lost";
    EXPECT_TRUE(rig.window.stayOnTop) << "no tray icon: the stay-on-top rule applies";

    EXPECT_EQ(rig.window.told, QStringList{kNoTrayText}) << "why it stays shown";

    rig.controller.minimize(); // the title-bar button: an ordinary minimized window
    EXPECT_EQ(rig.window.look, Look::Minimized);
    EXPECT_EQ(rig.host.adds, 2);
    EXPECT_EQ(rig.window.told.size(), 1) << "said once per run";

    rig.host.trayThere = true; // a tray host started meanwhile
    rig.controller.minimize();
    EXPECT_TRUE(rig.tray.present());
    EXPECT_EQ(rig.window.look, Look::Hidden);

    // The tray host ends under the icon: the window comes back on the next tick.
    rig.host.trayThere = false;
    rig.ticker.tick();
    EXPECT_FALSE(rig.tray.present());
    EXPECT_EQ(rig.window.look, Look::Shown);
}

TEST(MonitorStayOnTop, SetWhenShownAndNeverTakenBack) {
    MonitorRig rig;
    rig.values.stayOnTop = 1;
    rig.controller.startUp("alice");
    rig.menu(TrayCommand::Refresh);
    EXPECT_FALSE(rig.window.stayOnTop) << "not while the icon is in the tray";
    rig.controller.restore();
    EXPECT_EQ(rig.window.log.last(), "show on top") << "on top before it appears";

    rig.dialogs.duringOptions = [&] { rig.values.stayOnTop = 0; };
    rig.controller.options();
    EXPECT_TRUE(rig.window.stayOnTop);
    EXPECT_EQ(rig.dialogs.optionsOpened, 1);

    rig.menu(TrayCommand::Exit);
    rig.controller.closing();
    EXPECT_FALSE(rig.tray.present());
}
