#include "tests/monitorapp/support/MonitorRig.h"
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::testing;

TEST(MonitorTicker, EightFramesWhileThereIsWorkThenThePlainIconWhenTheLastRowLeaves) {
    MonitorRig rig;
    rig.entries.byUser["alice"] = {watchedEntry("alice", "Login")}; // its window is not there
    rig.controller.startUp("alice");
    rig.host.pictures.clear();
    rig.ticks(9);
    EXPECT_EQ(rig.host.pictures, QStringList({"bar1_ico", "bar2_ico", "bar3_ico", "bar4_ico", "bar5_ico",
                                              "bar4_ico", "bar3_ico", "bar2_ico", "bar1_ico"}));
    EXPECT_EQ(rig.window.icon, "~ads.ico");

    rig.desktop.addWindow(100, "Login"); // sent once (no repeat): the queue empties
    rig.host.pictures.clear();
    rig.ticker.tick();
    EXPECT_EQ(rig.keys.texts(), std::vector<QString>{"jdoe"});
    EXPECT_EQ(rig.queued(), 0u);
    EXPECT_EQ(rig.host.pictures, QStringList({"bar2_ico", "ADS_ICO"}));
    rig.host.pictures.clear();
    rig.ticks(3);
    EXPECT_TRUE(rig.host.pictures.isEmpty()) << "nothing to do, nothing redrawn";
}

TEST(MonitorTicker, RedPicturesWhileAUserMustBeChosenOnEveryRestore) {
    MonitorRig rig;
    rig.values.askOnRestore = 1;
    rig.entries.byUser["alice"] = {watchedEntry("alice", "Login")};
    rig.controller.startUp("alice");
    EXPECT_EQ(rig.host.picture, "RED_ICO");
    rig.host.pictures.clear();
    rig.ticks(8);
    EXPECT_EQ(rig.host.pictures, QStringList({"rbar1_ico", "rbar2_ico", "rbar3_ico", "rbar4_ico",
                                              "rbar5_ico", "rbar4_ico", "rbar3_ico", "rbar2_ico"}));
    EXPECT_EQ(rig.window.icon, "~RED.ico");
}

TEST(MonitorTicker, TurningMonitoringOffStopsSendsAndAnimationAcrossTheSettingsReload) {
    MonitorRig rig;
    rig.entries.byUser["alice"] = {watchedEntry("alice", "Login")};
    rig.controller.startUp("alice");
    rig.menu(TrayCommand::TurnMonitorOff);
    rig.desktop.addWindow(100, "Login");
    rig.settings.values[settings_key::GroupDelay] = "5";
    rig.settings.values[settings_key::AskOnRestore] = "1";
    rig.settings.values[settings_key::MonitorActive] = "1";
    int reloads = 0;
    rig.ticker.valuesReloaded = [&] { ++reloads; };
    rig.host.pictures.clear();

    rig.ticks(MonitorTicker::kReloadAfter + 1);
    EXPECT_EQ(reloads, 1) << "read again on the 51st tick";
    EXPECT_EQ(rig.values.groupDelay, 25) << "the reload's own floor";
    EXPECT_EQ(rig.values.askOnRestore, 1);
    EXPECT_EQ(rig.window.icon, "~ads.ico") << "changed on the tick after the reload";
    rig.ticks(MonitorTicker::kReloadAfter);
    EXPECT_FALSE(rig.monitor.monitoringOn()) << "the user's switch outlives the reload";
    EXPECT_TRUE(rig.keys.sent.empty());
    EXPECT_EQ(rig.host.pictures, QStringList()) << "no frames while off; the red plain icon waits "
                                                   "for an empty queue";
    EXPECT_EQ(rig.window.icon, "~RED.ico");

    rig.menu(TrayCommand::TurnMonitorOn);
    rig.ticker.tick();
    EXPECT_EQ(rig.keys.texts(), std::vector<QString>{"jdoe"});
    EXPECT_EQ(rig.host.pictures, QStringList({"rbar1_ico", "RED_ICO"}));
}
