// The monitor's start on a real data folder: whether the main program has
// run there, and which user it starts with.
#include "monitor/MonitorQueue.h"
#include "monitorapp/MonitorStartUp.h"
#include "signin/UserSelection.h"
#include "store/ConfigurationSettings.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "platform/core/Prompter.h"
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;

namespace {

class MonitorStartUpFolder : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "monitor_startup_test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        services_ = std::make_unique<ProgramServices>(
            ProgramKind::Main, QStringList{"prog", "Data=" + dir_.path()}, prompter_,
            [](const QString&) {});
    }
    void TearDown() override {
        services_.reset();
        QDir::setCurrent(previous_);
    }
    void addUser(const QString& name, const QString& password) {
        DataTable users(usersTable());
        ASSERT_EQ(services_->managers().users.open(users), 0);
        users.record().setText("U_:NAME", name);
        users.record().setText("U_:PASSWORD", password);
        users.record().setText("U_:CONFIRMPASSWORD", password);
        ASSERT_EQ(users.add(), 0);
    }
    QString startUser() {
        Record user(usersTable());
        monitorStartUser(services_->managers().users, user);
        return withoutTrailingBlanks(user.text("U_:NAME"));
    }

    QTemporaryDir dir_;
    QString previous_;
    ScriptedPrompter prompter_;
    std::unique_ptr<ProgramServices> services_;
};

TEST_F(MonitorStartUpFolder, NeedsTheMainProgramsSettingsInTheFolder) {
    {
        ConfigurationSettings settings(prompter_);
        EXPECT_FALSE(mainProgramHasRun(settings)) << "no Configuration table";
    }
    {
        DataTable configuration(configurationTable());
        ASSERT_EQ(configuration.create(), 0);
    }
    {
        ConfigurationSettings settings(prompter_);
        EXPECT_FALSE(mainProgramHasRun(settings)) << "an empty Configuration table";
    }
    prompter_.asked.clear();
    ConfigurationSettings settings(prompter_);
    settings.putSetting(QStringLiteral("2"), QStringLiteral("QL_Skip"));
    EXPECT_TRUE(mainProgramHasRun(settings));
    EXPECT_TRUE(prompter_.asked.empty());
}

TEST_F(MonitorStartUpFolder, StartsWithTheLoneUserOnlyWhenHeNeedsNoPassword) {
    EXPECT_EQ(startUser(), "No User Selected") << "no users at all";
    addUser("amy", "Not Required");
    EXPECT_EQ(startUser(), "amy");
    addUser("bob", "Not Required");
    EXPECT_EQ(startUser(), "No User Selected") << "two users: the monitor does not choose";
}

TEST_F(MonitorStartUpFolder, TheLoneUserWithAPasswordIsNotChosenForHim) {
    addUser("carol", "s3cret");
    EXPECT_EQ(startUser(), "No User Selected");
    EXPECT_TRUE(prompter_.asked.empty()) << "and nothing is asked at start";
}

} // namespace
