// Drives the real main program on a private X display as a user would: open
// Options from the frame's menu, change the send interval, restart, look again.
#include "platform/atspi/AtspiControlTexts.h"
#include "tests/support/DesktopDriver.h"
#include "tests/support/QtPrinters.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::testing;

namespace {

// Texts of the Options window's controls as the accessibility bus shows them.
QStringList optionsTexts(qint64 pid) {
    AtspiControlTexts source;
    QStringList texts;
    QElapsedTimer clock;
    clock.start();
    while (texts.isEmpty() && clock.elapsed() < 10000) {
        for (const ChildWindow& control : source.controls(uint32_t(pid), QStringLiteral("Options")))
            texts << control.text;
        if (texts.isEmpty()) QThread::msleep(200);
    }
    return texts;
}

class RunningQuillock : public RunningProgram {
public:
    explicit RunningQuillock(const QString& dataFolder)
        : RunningProgram(QStringLiteral(QUILLOCK_BINARY), {"Data=" + dataFolder}) {}

    // Opens Options from the frame's Tools menu item "O&ptions" by its mnemonics.
    QString openOptions() {
        const QString frame = mainFrame(pid());
        if (frame.isEmpty()) return {};
        return openFrom(pid(), frame, {"Escape", "alt+t", "p"}, QStringLiteral("Options"));
    }
};

} // namespace

TEST(OptionsEndToEnd, ASendIntervalChangedInOptionsIsShownAgainAfterARestart) {
    int argc = 1;
    char name[] = "options_e2e";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    {
        RunningQuillock quillock(data.path());
        ASSERT_FALSE(quillock.openOptions().isEmpty()) << "Options did not open";
        const QStringList before = optionsTexts(quillock.pid());
        EXPECT_TRUE(before.contains("50")) << before.join('|').toStdString();
        // From the first switch down to the send interval, then OK. (A value
        // below 50 would be raised to 50 at the next start.)
        keys({"Tab", "Tab", "Tab", "Tab", "Tab", "7", "5", "Return"});
        QElapsedTimer clock;
        clock.start();
        while (!waitForWindow(quillock.pid(), "Options", 200).isEmpty() && clock.elapsed() < 10000) {}
        EXPECT_TRUE(waitForWindow(quillock.pid(), "Options", 200).isEmpty()) << "Options stayed open";
    }
    RunningQuillock again(data.path());
    ASSERT_FALSE(again.openOptions().isEmpty()) << "Options did not open after the restart";
    const QStringList after = optionsTexts(again.pid());
    EXPECT_TRUE(after.contains("75")) << after.join('|').toStdString();
    EXPECT_FALSE(after.contains("50")) << after.join('|').toStdString();
}
