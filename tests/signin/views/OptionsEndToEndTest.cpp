// Drives the real main program on a private X display as a user would: open
// Options from the frame's menu, change the send interval, restart, look again.
#include "platform/atspi/AtspiControlTexts.h"
#include "tests/support/QtPrinters.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace ql;

namespace {

QString xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The first window of `pid` whose title is exactly `title`, or "" after the wait.
QString waitForWindow(qint64 pid, const QString& title, int waitMs = 15000) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < waitMs) {
        const QString found = xdotool({"search", "--all", "--onlyvisible", "--pid",
                                       QString::number(pid), "--name", "^" + title + "$"});
        if (!found.isEmpty()) return found.section('\n', 0, 0);
        QThread::msleep(100);
    }
    return {};
}

void activate(const QString& window) {
    xdotool({"windowactivate", "--sync", window});
    QThread::msleep(300);
}

void keys(const QStringList& names) {
    for (const QString& name : names) {
        xdotool({"key", "--delay", "60", name});
        QThread::msleep(60);
    }
}

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

class RunningQuillock {
public:
    explicit RunningQuillock(const QString& dataFolder) {
        process_.setProgram(QStringLiteral(QUILLOCK_BINARY));
        process_.setArguments({"Data=" + dataFolder});
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start();
        process_.waitForStarted(10000);
    }
    ~RunningQuillock() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(5000);
    }
    qint64 pid() const { return process_.processId(); }

    // Opens Options from the frame's Tools menu item "O&ptions" by its mnemonics,
    // asking again when the keys went astray while the focus was handed over.
    QString openOptions() {
        const QString frame = waitForWindow(pid(), QStringLiteral("Quillock"));
        if (frame.isEmpty()) return {};
        QString options;
        for (int attempt = 0; attempt < 3 && options.isEmpty(); ++attempt) {
            activate(frame);
            keys({"Escape", "alt+t", "p"});
            options = waitForWindow(pid(), QStringLiteral("Options"), 5000);
        }
        if (!options.isEmpty()) activate(options);
        return options;
    }

private:
    QProcess process_;
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
