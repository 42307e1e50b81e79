#include "signin/OptionsModel.h"
#include "signin/SettingsKeys.h"
#include "platform/core/DayNumber.h"
#include "store/ConfigurationSettings.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include <QDate>
#include <QDir>
#include "tests/support/QtPrinters.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;
namespace k = ql::settings_key;

TEST(SettingsLimits, SendIntervalFloorsDependOnWhereItIsRead) {
    MemorySettings settings;
    settings.values = {{k::GroupDelay, "30"}, {k::GroupSize, "3"}, {k::MonitorActive, "0"}};
    ProgramValues values = loadMainStartUp(settings, {}, {});
    MainOptionsModel options(settings, values);
    MainOptionsForm form = options.open();
    form.groupDelay = "5";
    ASSERT_TRUE(options.accept(form));
    EXPECT_EQ(settings.values[k::GroupDelay], "5");  // stored as typed
    EXPECT_EQ(values.groupDelay, 20);                // used as 20 by the running program

    ProgramValues monitor = loadMonitorValues(settings);
    reloadMonitorValues(settings, monitor);
    EXPECT_EQ(monitor.groupDelay, 25);               // the monitor's periodic reload
    EXPECT_EQ(settings.values[k::GroupDelay], "5");  // no write-back there

    ProgramValues restarted = loadMainStartUp(settings, {}, {});
    EXPECT_EQ(restarted.groupDelay, 50);             // raised at the next start...
    EXPECT_EQ(settings.values[k::GroupDelay], "50"); // ...and written back
}

TEST(SettingsLimits, ZeroGroupSizeBecomesSevenAndSwitchesMonitoringOnOnlyInMainProgram) {
    MemorySettings settings;
    settings.values = {{k::GroupDelay, "60"}, {k::GroupSize, "0"}, {k::MonitorActive, "0"}};
    ProgramValues monitor = loadMonitorValues(settings);
    EXPECT_EQ(monitor.groupSize, 7);
    EXPECT_EQ(settings.values[k::GroupSize], "0");
    EXPECT_EQ(settings.values[k::MonitorActive], "0");

    ProgramValues values = loadMainStartUp(settings, {}, {});
    EXPECT_EQ(values.groupSize, 7);
    EXPECT_EQ(values.monitorActive, 1);
    EXPECT_EQ(settings.values[k::GroupSize], "7");
    EXPECT_EQ(settings.values[k::MonitorActive], "1");

    settings.values[k::GroupSize] = "0";
    settings.values[k::MonitorActive] = "0";
    MonitorOptionsModel monitorOptions(settings, monitor);
    EXPECT_EQ(monitorOptions.open().groupSize, "7");
    EXPECT_EQ(settings.values[k::GroupSize], "7");
    EXPECT_EQ(settings.values[k::MonitorActive], "0");
}

TEST(SettingsFirstRun, EmptyConfigurationCarriesOldSettingsOverAndUpgradesOnlyFromOldVersion) {
    MemorySettings settings;
    int upgrades = 0;
    ProgramValues values = loadMainStartUp(settings, {}, [&](double) { ++upgrades; });
    EXPECT_EQ(values.skip, 1);
    EXPECT_EQ(values.groupDelay, 50);
    EXPECT_EQ(values.groupSize, 7);
    EXPECT_EQ(values.monitorActive, 1);
    EXPECT_EQ(settings.values[k::Version], kProgramVersion);
    EXPECT_EQ(upgrades, 0);

    MemorySettings old;
    auto winIni = [](const QString& key) {
        if (key == k::Version) return QString("2.1");
        if (key == k::ClipboardSeconds) return QString("45");
        if (key == k::Tray) return QString("3");
        return QString();
    };
    double seen = 0;
    ProgramValues carried = loadMainStartUp(old, winIni, [&](double v) { seen = v; });
    EXPECT_DOUBLE_EQ(seen, 2.1);
    EXPECT_EQ(carried.clipboardSeconds, 45);
    EXPECT_EQ(old.values[k::Tray], "3");
    EXPECT_EQ(old.values[k::Version], kProgramVersion); // stamped after the carry-over

    // A second start finds Configuration filled and imports nothing again.
    seen = 0;
    loadMainStartUp(old, winIni, [&](double v) { seen = v; });
    EXPECT_EQ(seen, 0);
}

TEST(OptionsWindow, DateFormatTokensRoundTripAndUnknownTokensStayAsTheyAre) {
    EXPECT_EQ(dateFormatToken("Windows Default 2"), "d18");
    EXPECT_EQ(dateFormatShown("d18"), "Windows Default 2");
    EXPECT_EQ(dateFormatShown("d99"), "d99");
    EXPECT_EQ(dateFormatToken("d99"), "d99");
    ASSERT_EQ(dateFormatChoices().size(), 14u);
    EXPECT_EQ(dateFormatChoices().front().shown, "Windows Default");

    MemorySettings settings;
    ProgramValues values = loadMainStartUp(settings, {}, {});
    MainOptionsModel options(settings, values);
    MainOptionsForm form = options.open();
    form.dateFormatShown = "Windows Default 2";
    ASSERT_TRUE(options.accept(form));
    EXPECT_EQ(settings.values[k::DateFormat], "d18");
    EXPECT_EQ(options.open().dateFormatShown, "Windows Default 2");
}

// A fresh folder has no format: it stands for the desktop default and is
// shown as that, and it stays blank until the user picks another one.
TEST(OptionsWindow, ABlankDateFormatIsShownAsTheDesktopDefaultItStandsFor) {
    EXPECT_EQ(dateFormatShown(""), "Windows Default");
    MemorySettings settings;
    ProgramValues values = loadMainStartUp(settings, {}, {});
    ASSERT_TRUE(values.dateFormat.trimmed().isEmpty());
    MainOptionsModel options(settings, values);
    MainOptionsForm form = options.open();
    EXPECT_EQ(form.dateFormatShown, "Windows Default");
    ASSERT_TRUE(options.accept(form));
    EXPECT_TRUE(settings.values[k::DateFormat].trimmed().isEmpty());
    form.dateFormatShown = "31/10/1959";
    ASSERT_TRUE(options.accept(form));
    EXPECT_EQ(settings.values[k::DateFormat], "d6");
    form.dateFormatShown = "Windows Default";
    ASSERT_TRUE(options.accept(form));
    EXPECT_EQ(settings.values[k::DateFormat], "d17"); // chosen, no longer blank
}

TEST(OptionsWindow, NumbersThatAreNotWholeNumbersWithin32BitsAreRefusedWithNothingWritten) {
    MemorySettings settings;
    ProgramValues values = loadMainStartUp(settings, {}, {});
    MainOptionsModel options(settings, values);
    for (const QString bad : {"abc", "12x", "2147483648", "-2147483649", "1.5"}) {
        MainOptionsForm form = options.open();
        const auto writesAtOpen = settings.writes;
        form.clipboardSeconds = bad;
        EXPECT_FALSE(options.checkNumbers(form).isEmpty()) << bad.toStdString();
        EXPECT_FALSE(options.accept(form));
        EXPECT_EQ(settings.writes, writesAtOpen);
    }
    MainOptionsForm form = options.open();
    form.inactivityMinutes = " 2147483647 ";
    form.clipboardSeconds = "";
    EXPECT_TRUE(options.accept(form));
    EXPECT_EQ(values.inactivityMinutes, 2147483647);
    EXPECT_EQ(values.clipboardSeconds, 0);
}

TEST(OptionsWindow, MonitorOptionsWarnOnlyWhenStayOnTopIsSwitchedOff) {
    MemorySettings settings;
    settings.values = {{k::StayOnTop, "1"}, {k::GroupDelay, "5"}, {k::GroupSize, "0"}};
    ProgramValues values = loadMonitorValues(settings);
    MonitorOptionsModel options(settings, values);
    MonitorOptionsForm form = options.open();
    EXPECT_EQ(settings.values[k::GroupDelay], "20"); // written back on opening
    EXPECT_EQ(form.groupDelay, "20");
    form.stayOnTop = false;
    EXPECT_EQ(options.accept(form).value_or("?"), kStayOnTopRemovalText);
    EXPECT_EQ(settings.values[k::StayOnTop], "0");
    form = options.open();
    form.askAtStart = true;
    EXPECT_EQ(options.accept(form).value_or("?"), QString());
    form = options.open();
    form.askOnRestore = true;
    options.cancel(form);
    EXPECT_EQ(values.askOnRestore, 1);
    EXPECT_EQ(settings.values[k::AskOnRestore], "0");
}

TEST(SettingsFirstRun, OldSettingsComeFromTheFernwickSectionOfWinIni) {
    QTemporaryDir dir;
    const QString path = dir.filePath("WIN.INI");
    MemorySettings missingFile;
    ProgramValues values = loadMainStartUp(missingFile, oldSettingsFromIni(path), {});
    EXPECT_EQ(values.groupDelay, 50);
    EXPECT_EQ(missingFile.values[k::Tray], "0");

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Other]\r\nQL_GD=99\r\n[Fernwick]\r\nQL_Version=2.1\r\nQL_GD=70\r\n"
               "QL_BS=12\r\nQL_IT=abc\r\n");
    file.close();
    MemorySettings settings;
    double upgradedFrom = 0;
    values = loadMainStartUp(settings, oldSettingsFromIni(path),
                             [&](double version) { upgradedFrom = version; });
    EXPECT_EQ(values.groupDelay, 70);
    EXPECT_EQ(values.groupSize, 12);
    EXPECT_EQ(values.inactivityMinutes, 0); // not a number: carried over as 0
    EXPECT_EQ(values.monitorActive, 0);     // a group size was carried, so no switch-on
    EXPECT_DOUBLE_EQ(upgradedFrom, 2.1);
}

TEST(SettingsInConfigurationTable, FirstRunValuesAreStoredAsTextAndReadBackAtTheNextStart) {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    setOwnerKey(buildOwnerKey());
    ScriptedPrompter prompter;
    {
        DataTable create(configurationTable());
        ASSERT_EQ(create.create(), 0);
    }
    {
        ConfigurationSettings settings(prompter);
        EXPECT_TRUE(settings.isEmpty());
        ProgramValues values = loadMainStartUp(settings, {}, {});
        EXPECT_EQ(values.groupDelay, 50);
        EXPECT_FALSE(settings.isEmpty());
        EXPECT_EQ(settings.getSetting(k::GroupDelay), "50");
        EXPECT_EQ(settings.getSetting(k::Skip), "1");
        EXPECT_EQ(settings.getSetting(QStringLiteral("SaveSizeamy")), QString()); // never written
        settings.putSetting(QStringLiteral("5"), k::GroupDelay);
    }
    ConfigurationSettings settings(prompter);
    EXPECT_EQ(settingNumber(settings, k::GroupDelay), 5);
    EXPECT_EQ(loadMainStartUp(settings, {}, {}).groupDelay, 50);
    EXPECT_EQ(settings.getSetting(k::Version), kProgramVersion);
    EXPECT_TRUE(prompter.asked.empty());

    // Records added by the settings accessor itself carry no date added.
    DataTable table(configurationTable());
    ASSERT_EQ(table.open(), 0);
    table.setStoredOrder();
    ASSERT_EQ(table.next(), 0);
    EXPECT_EQ(table.record().number("CF:DATEADDED"), 0);
    QDir::setCurrent(previous);
}
