#include "platform/records/Record.h"
#include "store/ImportedEntries.h"
#include "store/Layouts.h"
#include "entries/ProgramStarter.h"
#include "tests/monitorapp/support/MonitorRig.h"
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::testing;

namespace {

Record bankEntry() {
    Record r(passwordsTable());
    r.setText("P_:USER", u"alice");
    r.setText("P_:SERVICE", u"Bank");
    r.setText("P_:NAME", u"jdoe");
    r.setText("P_:PASSWORD", u"s3cret");
    r.setText("P_:URL", u"https://bank.example/login");
    r.setText("P_:NOTES", u"branch 12");
    r.setText("P_:MORENOTES", u"pin in the drawer");
    r.setText("P_:WINDOWTITLETOLOCATE", u"Bank - Login");
    r.setText("P_:PASTE", u"[Name][Tab][Password][Enter]");
    r.setNumber("P_:SECONDSTOWAIT", 5);
    return r;
}

} // namespace

TEST(MonitorSend, AFieldPresetTypesThatFieldAfterOneSecondIntoTheEntrysWindow) {
    MonitorRig rig;
    rig.controller.startUp("alice");
    rig.controller.restore();
    rig.desktop.addWindow(100, "Bank - Login");
    Record bank = bankEntry();
    rig.commands.send(bank, "URL");
    EXPECT_EQ(rig.window.look, FakeMonitorWindow::Look::Hidden) << "out of the target's way";
    ASSERT_EQ(rig.queued(), 1u);
    const MonitorRow row = rig.monitor.lists().queueRows()[0];
    EXPECT_EQ(row.dueTime, rig.clock.now() + kSecond) << "the entry's own 5 s do not apply";
    EXPECT_EQ(row.oneShot, 1);
    EXPECT_TRUE(rig.launcher.started.empty());

    rig.ticker.tick();
    EXPECT_TRUE(rig.keys.sent.empty()) << "not before the second is up";
    rig.clock.advance(kSecond);
    rig.ticker.tick();
    ASSERT_EQ(rig.keys.sent.size(), 1u);
    EXPECT_EQ(rig.keys.sent[0].text, "https://bank.example/login");
    EXPECT_EQ(rig.keys.sent[0].focused, 100u);

    // Without a title pattern the text goes to whichever window is in front.
    Record anywhere = bankEntry();
    anywhere.setText("P_:WINDOWTITLETOLOCATE", u"");
    rig.commands.send(anywhere, "More Notes");
    rig.clock.advance(kSecond);
    rig.ticker.tick();
    ASSERT_EQ(rig.keys.sent.size(), 2u);
    EXPECT_EQ(rig.keys.sent[1].text, "pin in the drawer");
    EXPECT_EQ(rig.keys.sent[1].target, 0u);
}

TEST(MonitorSend, TheEntrysOwnTextStartsItsProgramAndWaitsItsSeconds) {
    MonitorRig rig;
    rig.controller.startUp("alice");
    Record entry = bankEntry();
    entry.setText("P_:FILENAME", u"/bin/true --login");
    rig.commands.send(entry, "Preset");
    ASSERT_EQ(rig.launcher.started.size(), 1u);
    EXPECT_EQ(rig.launcher.started[0].arguments, QStringList{"--login"});
    MonitorRow row = rig.monitor.lists().queueRows()[0];
    EXPECT_EQ(row.sendText, "jdoe[Tab]s3cret[Enter]");
    EXPECT_EQ(row.dueTime, rig.clock.now() + 5 * kSecond);

    for (const char* program : {"N/A", "n/a", ""}) {
        entry.setText("P_:FILENAME", QString::fromLatin1(program));
        rig.commands.send(entry, "Preset");
    }
    entry.setText("P_:FILENAME", u"/bin/true");
    rig.commands.send(entry, "Password");
    EXPECT_EQ(rig.launcher.started.size(), 1u) << "only a real program, and only for Preset";

    entry.setNumber("P_:SECONDSTOWAIT", 0);
    entry.setText("P_:FILENAME", u"/no/such/program");
    rig.launcher.opens = false;
    rig.monitor.lists().clearQueue();
    rig.commands.send(entry, "Preset");
    EXPECT_EQ(rig.beeps, 1);
    ASSERT_EQ(rig.prompter.asked.size(), 1u);
    EXPECT_EQ(rig.prompter.asked[0].title, "Critical Error Message");
    EXPECT_EQ(rig.monitor.lists().queueRows()[0].dueTime, rig.clock.now() + kSecond)
        << "a wait of 0 becomes one second";
}

// An imported entry's program line starts only once the user agreed, and the
// agreement is written with the entry.
TEST(MonitorSend, AnImportedProgramLineAsksBeforeItStartsOnce) {
    MonitorRig rig;
    rig.controller.startUp("alice");
    Record entry = bankEntry();
    entry.setText("P_:FILENAME", u"/bin/true --login");
    imported_entry::markImported(entry);
    std::vector<QString> saved;
    MonitorCommands commands({rig.launcher, rig.prompter, rig.clipboard, rig.monitor, {}, {},
                              [&](Record& e) { saved.push_back(e.text("P_:STARTTYPE")); }});
    rig.prompter.answers = {PromptButton::No, PromptButton::Yes};
    commands.send(entry, "Preset");
    EXPECT_TRUE(rig.launcher.started.empty());
    ASSERT_EQ(rig.prompter.asked.size(), 1u);
    EXPECT_TRUE(rig.prompter.asked[0].text.startsWith(kImportedProgramQuestion));
    EXPECT_TRUE(rig.prompter.asked[0].text.endsWith("/bin/true --login"));
    EXPECT_EQ(rig.prompter.asked[0].defaultButton, PromptButton::No);
    EXPECT_TRUE(saved.empty());
    commands.send(entry, "Preset");
    EXPECT_EQ(rig.launcher.started.size(), 1u);
    EXPECT_EQ(saved.size(), 1u);
    commands.send(entry, "Preset");
    EXPECT_EQ(rig.launcher.started.size(), 2u);
    EXPECT_EQ(rig.prompter.asked.size(), 2u) << "asked until agreed, then never again";
}

TEST(MonitorSend, NothingToSendLeavesTheWindowWhereItIs) {
    MonitorRig rig;
    rig.controller.startUp("alice");
    rig.controller.restore();
    Record entry = bankEntry();
    entry.setText("P_:PASTE", u"   ");
    rig.commands.send(entry, "Preset");
    EXPECT_EQ(rig.queued(), 0u);
    EXPECT_EQ(rig.window.look, FakeMonitorWindow::Look::Shown);
}

TEST(MonitorSend, ASendMadeWhileMonitoringIsOffIsMadeOnceItIsOn) {
    MonitorRig rig;
    rig.controller.startUp("alice");
    rig.menu(TrayCommand::TurnMonitorOff);
    rig.desktop.addWindow(100, "Bank - Login");
    Record bank = bankEntry();
    rig.commands.send(bank, "Name");
    rig.clock.advance(10 * kSecond);
    rig.ticks(3);
    EXPECT_TRUE(rig.keys.sent.empty());
    EXPECT_EQ(rig.queued(), 1u);

    rig.menu(TrayCommand::TurnMonitorOn);
    rig.ticker.tick();
    EXPECT_EQ(rig.keys.texts(), std::vector<QString>{"jdoe"});
    EXPECT_EQ(rig.queued(), 0u);
}

TEST(MonitorClipboard, ThePresetNamesTheFieldAndPresetItselfOnlyWarns) {
    MonitorRig rig;
    const Record entry = bankEntry();
    rig.commands.copyToClipboard(entry, "Preset");
    ASSERT_EQ(rig.prompter.asked.size(), 1u);
    EXPECT_EQ(rig.prompter.asked[0].title, "Warning");
    EXPECT_EQ(rig.prompter.asked[0].text, "Cannot send \"Preset\" to the clipboard");
    EXPECT_EQ(rig.clipboard.changes, 0u);

    const std::pair<const char*, const char*> expected[] = {
        {"Password", "s3cret"}, {"Name", "jdoe"},       {"URL", "https://bank.example/login"},
        {"Service", "Bank"},    {"Notes", "branch 12"}, {"More Notes", "pin in the drawer"}};
    for (const auto& [preset, value] : expected) {
        rig.commands.copyToClipboard(entry, QString::fromLatin1(preset));
        EXPECT_EQ(rig.clipboard.contents, QString::fromLatin1(value)) << preset;
    }
    EXPECT_EQ(monitorPresets(), QStringList({"Preset", "Password", "Name", "URL", "Service", "Notes",
                                             "More Notes"}));
    // A password's blanks are part of it and reach the clipboard.
    Record spaced = bankEntry();
    spaced.setText("P_:PASSWORD", u"   leading and trailing   ");
    rig.commands.copyToClipboard(spaced, "Password");
    EXPECT_EQ(rig.clipboard.contents, "   leading and trailing   ");
}

TEST(MonitorStartUrl, OpensTheEntrysAddressWithTheDesktop) {
    MonitorRig rig;
    Record entry = bankEntry();
    entry.setText("P_:URL", u"www.example.org");
    rig.commands.startUrl(entry);
    entry.setText("P_:URL", u"");
    rig.commands.startUrl(entry);
    ASSERT_EQ(rig.launcher.opened.size(), 1u);
    EXPECT_EQ(rig.launcher.opened[0], QUrl("http://www.example.org"));
}
