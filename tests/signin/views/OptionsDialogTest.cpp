#include "framework/IniStore.h"
#include "platform/core/Prompter.h"
#include "signin/views/MonitorOptionsDialog.h"
#include "signin/views/OptionsDialog.h"
#include "signin/views/ReportFont.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include "tests/support/WidgetLookup.h"
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace ql;
using ql::test::child;
using ql::test::click;
namespace k = ql::settings_key;

namespace {

class OptionsWindows : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(dir_.isValid());
        positions_.openStore(dir_.filePath("POSITION.INI"));
    }
    QTemporaryDir dir_;
    IniStore positions_;
    MemorySettings settings_;
    ScriptedPrompter prompter_;
};

QStringList comboTexts(QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i) texts << box.itemText(i);
    return texts;
}

} // namespace

TEST_F(OptionsWindows, SendIntervalTypedAsFiveIsStoredAsFiveAndRunsAsTwenty) {
    settings_.values = {{k::GroupDelay, "60"}, {k::GroupSize, "5"}, {k::MonitorActive, "0"}};
    ProgramValues values = loadMainStartUp(settings_, {}, {});
    OptionsDialog dialog(settings_, values, prompter_, positions_);
    QSignalSpy monitoring(&dialog, &OptionsDialog::monitoringChosen);
    EXPECT_EQ(dialog.windowTitle(), "Options");
    EXPECT_EQ(child<QLineEdit>(dialog, "groupDelay").text(), "60");
    EXPECT_FALSE(child<QCheckBox>(dialog, "monitorActive").isChecked());
    EXPECT_EQ(child<QCheckBox>(dialog, "skip").text(),
              "Skip Copy/Paste Buttons when tabbing through password form");

    int fontDialogs = 0;
    dialog.setFontChooser([&](const QFont&, QWidget*) { ++fontDialogs; return std::nullopt; });
    dialog.show();
    child<QCheckBox>(dialog, "monitorActive").setChecked(true);
    // As typed: Return in a number field presses "&Ok".
    QLineEdit& interval = child<QLineEdit>(dialog, "groupDelay");
    interval.setFocus();
    interval.selectAll();
    QTest::keyClicks(&interval, "5");
    QTest::keyClick(&interval, Qt::Key_Return);
    EXPECT_EQ(fontDialogs, 0);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings_.values[k::GroupDelay], "5");
    EXPECT_EQ(values.groupDelay, 20);
    EXPECT_EQ(values.monitorActive, 1);
    ASSERT_EQ(monitoring.count(), 1);
    EXPECT_TRUE(monitoring.at(0).at(0).toBool());
    EXPECT_TRUE(prompter_.asked.empty());
    EXPECT_EQ(positions_.readSetting("Options", "Maximize"), "No");

    // The next start raises it to 50 and writes that back.
    EXPECT_EQ(loadMainStartUp(settings_, {}, {}).groupDelay, 50);
    EXPECT_EQ(settings_.values[k::GroupDelay], "50");
}

TEST_F(OptionsWindows, DateFormatsAreOfferedInOrderAndStoredAsTokens) {
    ProgramValues values = loadMainStartUp(settings_, {}, {});
    {
        OptionsDialog dialog(settings_, values, prompter_, positions_);
        QComboBox& dates = child<QComboBox>(dialog, "dateFormat");
        ASSERT_EQ(dates.count(), 14);
        EXPECT_EQ(dates.currentText(), "Windows Default"); // none chosen on a first run: the desktop's own
        EXPECT_EQ(comboTexts(dates).mid(0, 3),
                  (QStringList{"Windows Default", "October 31, 1959", "OCT 31,1959"}));
        dates.setCurrentText("Windows Default 2");
        click(dialog, "ok");
    }
    EXPECT_EQ(settings_.values[k::DateFormat], "d18");
    EXPECT_EQ(values.dateFormat, "d18");
    {
        OptionsDialog dialog(settings_, values, prompter_, positions_);
        EXPECT_EQ(child<QComboBox>(dialog, "dateFormat").currentText(), "Windows Default 2");
    }

    // A token of no known format is shown as it is and kept when OK is pressed.
    values.dateFormat = "@d99";
    OptionsDialog dialog(settings_, values, prompter_, positions_);
    QComboBox& dates = child<QComboBox>(dialog, "dateFormat");
    EXPECT_EQ(dates.count(), 15);
    EXPECT_EQ(dates.currentText(), "@d99");
    click(dialog, "ok");
    EXPECT_EQ(settings_.values[k::DateFormat], "@d99");
}

TEST_F(OptionsWindows, NumbersThatDoNotFitAreRefusedAndNothingIsWritten) {
    ProgramValues values = loadMainStartUp(settings_, {}, {});
    OptionsDialog dialog(settings_, values, prompter_, positions_);
    dialog.show();
    const auto writesAtOpen = settings_.writes;
    const auto valuesAtOpen = settings_.values;
    QLineEdit& interval = child<QLineEdit>(dialog, "groupDelay");
    for (const char* bad : {"abc", "30x", "2147483648", "4.5"}) {
        interval.setText(bad);
        click(dialog, "ok");
        EXPECT_TRUE(dialog.isVisible()) << bad;
        EXPECT_EQ(settings_.writes, writesAtOpen) << bad;
    }
    child<QLineEdit>(dialog, "inactivityMinutes").setText("-99999999999");
    interval.setText("30");
    click(dialog, "ok");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(settings_.values, valuesAtOpen);
    ASSERT_EQ(prompter_.asked.size(), 5u);
    EXPECT_EQ(prompter_.asked[0].title, "Invalid Number");
    EXPECT_TRUE(prompter_.asked[0].text.contains("Send Interval"));
    EXPECT_TRUE(prompter_.asked[4].text.contains("inactivity"));

    child<QLineEdit>(dialog, "inactivityMinutes").setText("15");
    click(dialog, "ok");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings_.values[k::GroupDelay], "30");
    EXPECT_EQ(settings_.values[k::InactivityMinutes], "15");
}

TEST_F(OptionsWindows, CancelWritesNothingAndTheChosenReportFontIsKeptAsText) {
    settings_.values = {{k::FontColour, "255"}, {k::GroupDelay, "60"}, {k::GroupSize, "5"}};
    ProgramValues values = loadMainStartUp(settings_, {}, {});
    {
        OptionsDialog dialog(settings_, values, prompter_, positions_);
        child<QLineEdit>(dialog, "groupDelay").setText("99");
        const auto before = settings_.values;
        click(dialog, "cancel");
        EXPECT_EQ(settings_.values, before);
    }
    OptionsDialog dialog(settings_, values, prompter_, positions_);
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(14);
    chosen.setBold(true);
    chosen.setItalic(true);
    int asked = 0;
    dialog.setFontChooser([&](const QFont&, QWidget*) -> std::optional<QFont> {
        return ++asked == 1 ? std::optional<QFont>(chosen) : std::nullopt;
    });
    click(dialog, "selectReportFont");
    QLabel& sample = child<QLabel>(dialog, "sample");
    EXPECT_EQ(sample.font().family(), "DejaVu Serif");
    EXPECT_EQ(sample.font().pointSize(), 14);
    EXPECT_EQ(sample.palette().color(QPalette::WindowText), QColor(255, 0, 0));
    click(dialog, "selectReportFont"); // cancelled: the first choice stays
    EXPECT_EQ(sample.font().pointSize(), 14);
    EXPECT_TRUE(settings_.values[k::FontType].isEmpty()); // nothing before OK
    click(dialog, "ok");
    EXPECT_EQ(settings_.values[k::FontType], "DejaVu Serif");
    EXPECT_EQ(settings_.values[k::FontSize], "14");
    EXPECT_EQ(settings_.values[k::FontStyle], QString::number(700 + 4096));
    EXPECT_EQ(settings_.values[k::FontColour], "255");
    EXPECT_EQ(values.fontType, "DejaVu Serif");

    const QFont back = reportFont({values.fontType, values.fontSize, values.fontStyle, {}}, QFont());
    EXPECT_TRUE(back.bold());
    EXPECT_TRUE(back.italic());
    EXPECT_FALSE(back.underline());
    EXPECT_EQ(reportFontColour("#00ff00"), QColor(0, 255, 0));
    EXPECT_FALSE(reportFontColour("").isValid());
    EXPECT_FALSE(reportFontColour("-1").isValid());
}

TEST_F(OptionsWindows, MonitorOptionsTellWhenStayOnTopIsSwitchedOff) {
    settings_.values = {{k::StayOnTop, "1"}, {k::GroupDelay, "5"}, {k::GroupSize, "0"}};
    ProgramValues values = loadMonitorValues(settings_);
    {
        MonitorOptionsDialog dialog(settings_, values, prompter_, positions_);
        EXPECT_EQ(settings_.values[k::GroupDelay], "20"); // written back as it opens
        EXPECT_EQ(child<QLineEdit>(dialog, "groupSize").text(), "7");
        EXPECT_TRUE(child<QCheckBox>(dialog, "stayOnTop").isChecked());
        child<QLineEdit>(dialog, "groupSize").setText("many");
        click(dialog, "ok");
        ASSERT_EQ(prompter_.asked.size(), 1u);
        EXPECT_EQ(prompter_.asked[0].title, "Invalid Number");
        EXPECT_EQ(settings_.values[k::GroupSize], "7");

        child<QLineEdit>(dialog, "groupSize").setText("9");
        child<QCheckBox>(dialog, "stayOnTop").setChecked(false);
        click(dialog, "ok");
        ASSERT_EQ(prompter_.asked.size(), 2u);
        EXPECT_EQ(prompter_.asked[1].title, "Information");
        EXPECT_EQ(prompter_.asked[1].text, kStayOnTopRemovalText);
        EXPECT_EQ(settings_.values[k::StayOnTop], "0");
        EXPECT_EQ(values.groupSize, 9);
        EXPECT_EQ(values.groupDelay, 20);
    }
    // Cancel keeps the switches in the running program but writes nothing.
    MonitorOptionsDialog dialog(settings_, values, prompter_, positions_);
    child<QCheckBox>(dialog, "askOnRestore").setChecked(true);
    click(dialog, "cancel");
    EXPECT_EQ(values.askOnRestore, 1);
    EXPECT_NE(settings_.values[k::AskOnRestore], "1");
    EXPECT_EQ(prompter_.asked.size(), 2u);
}

TEST_F(OptionsWindows, MonitorOptionsSwitchTheStartAtLogin) {
    ProgramValues values = loadMonitorValues(settings_);
    const AutostartEntry entry(dir_.filePath("config/autostart"));
    auto readEntry = [&entry] {
        QFile file(entry.filePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    {
        MonitorOptionsDialog dialog(settings_, values, prompter_, positions_, nullptr, entry);
        EXPECT_FALSE(child<QCheckBox>(dialog, "startAtLogin").isChecked());
        child<QCheckBox>(dialog, "startAtLogin").setChecked(true);
        click(dialog, "ok");
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    // This program on the data folder in use.
    const QString exec = AutostartEntry::execLine(
        {QCoreApplication::applicationFilePath(), "Data=" + QDir::currentPath()});
    EXPECT_TRUE(readEntry().contains("\nExec=" + exec + "\n")) << readEntry().toStdString();
    {
        MonitorOptionsDialog dialog(settings_, values, prompter_, positions_, nullptr, entry);
        EXPECT_TRUE(child<QCheckBox>(dialog, "startAtLogin").isChecked());
        child<QCheckBox>(dialog, "startAtLogin").setChecked(false);
        click(dialog, "cancel"); // Cancel leaves the entry alone
        EXPECT_TRUE(entry.isOn());
    }
    MonitorOptionsDialog dialog(settings_, values, prompter_, positions_, nullptr, entry);
    child<QCheckBox>(dialog, "startAtLogin").setChecked(false);
    click(dialog, "ok");
    EXPECT_FALSE(QFile::exists(entry.filePath()));
    EXPECT_TRUE(prompter_.asked.empty());
}

TEST_F(OptionsWindows, MonitorOptionsStayOpenWhenTheStartAtLoginCannotBeWritten) {
    ProgramValues values = loadMonitorValues(settings_);
    QFile blocker(dir_.filePath("config"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder would go
    blocker.close();
    MonitorOptionsDialog dialog(settings_, values, prompter_, positions_, nullptr,
                                AutostartEntry(dir_.filePath("config/autostart")));
    dialog.show();
    child<QCheckBox>(dialog, "startAtLogin").setChecked(true);
    click(dialog, "ok");
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_TRUE(prompter_.asked[0].text.contains("config/autostart/qlmon.desktop could not be written"));
    EXPECT_TRUE(dialog.isVisible());
}
