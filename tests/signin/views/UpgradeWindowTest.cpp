#include "signin/views/UpgradeProgressWindow.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;

namespace {

// Records what the window showed at each step of the copy.
struct WatchedWindow : UpgradeProgressWindow {
    QStringList seen;
    void begin() override {
        UpgradeProgressWindow::begin();
        seen << windowTitle() + (isVisible() ? " shown" : " hidden");
    }
    void progress(qint64 processed, qint64 total) override {
        UpgradeProgressWindow::progress(processed, total);
        seen << countText() + " " + QString::number(bar()->value()) + "%";
    }
};

} // namespace

TEST(UpgradeWindow, ShowsTheCountAndBarWhileOldUsersAreCopied) {
    testApp();
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    ScriptedPrompter prompter;
    {
        ProgramServices services(ProgramKind::Main, {"prog", "Data=" + dir.path()}, prompter,
                                 [](const QString&) {});
        {
            DataTable old(oldUsersTable());
            ASSERT_EQ(old.create(), 0);
            ASSERT_EQ(old.open(), 0);
            for (const char* name : {"amy", "bob", "carl", "dora"}) {
                old.record().clear();
                old.record().setText("U_002:NAME", QString::fromLatin1(name));
                ASSERT_EQ(old.add(), 0);
            }
        }
        WatchedWindow window;
        OldTablesUpgrade upgrade(services.managers(), prompter, window);
        upgrade.upgradeUsers();
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.seen, (QStringList{"Upgrading Files shown", "0 out of 4 Processed 0%",
                                            "1 out of 4 Processed 25%", "2 out of 4 Processed 50%",
                                            "3 out of 4 Processed 75%", "4 out of 4 Processed 100%"}));
        EXPECT_TRUE(prompter.asked.empty());
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("QLDATA.qld")));
    }
    QDir::setCurrent(previous);
}
