#pragma once
// Drives a private X display from outside, as a user would: windows found by
// process and title, keys and clicks through xdotool, screenshots.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QThread>

namespace ql::testing {

inline QString runTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}
inline QString xdotool(const QStringList& arguments) { return runTool("xdotool", arguments); }

// The visible windows of a process whose title matches `title` (a regular expression).
inline QStringList visibleWindows(qint64 pid, const QString& title = QStringLiteral(".*")) {
    const QString found = xdotool({"search", "--all", "--onlyvisible", "--pid",
                                   QString::number(pid), "--name", title});
    return found.isEmpty() ? QStringList() : found.split('\n');
}

// The first visible window of `pid` titled exactly `title`, or "" after the wait.
inline QString waitForWindow(qint64 pid, const QString& title, int waitMs = 15000) {
    QElapsedTimer clock;
    clock.start();
    do {
        const QStringList found = visibleWindows(pid, "^" + QRegularExpression::escape(title) + "$");
        if (!found.isEmpty()) return found.first();
        QThread::msleep(100);
    } while (clock.elapsed() < waitMs);
    return {};
}

inline bool waitUntilGone(qint64 pid, const QString& title, int waitMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!waitForWindow(pid, title, 0).isEmpty())
        if (clock.elapsed() > waitMs) return false;
    return true;
}

// The main program's frame, or "" after the wait. The first start in a new
// data folder offers a passphrase before it: that offer is put off ("Later").
inline QString mainFrame(qint64 pid, int waitMs = 15000) {
    QElapsedTimer clock;
    clock.start();
    do {
        const QString frame = waitForWindow(pid, QStringLiteral("Quillock"), 0);
        if (!frame.isEmpty()) return frame;
        const QStringList offer = visibleWindows(pid, QStringLiteral("^Protect the Data Folder$"));
        if (!offer.isEmpty()) {
            xdotool({"windowactivate", "--sync", offer.first()});
            xdotool({"key", "--clearmodifiers", "Escape"});
        }
        QThread::msleep(100);
    } while (clock.elapsed() < waitMs);
    return {};
}

// Where a window is on the screen.
inline QRect windowGeometry(const QString& window) {
    const QString shell = xdotool({"getwindowgeometry", "--shell", window});
    QRect r;
    for (const QString& line : shell.split('\n')) {
        const QString value = line.section('=', 1);
        if (line.startsWith("X=")) r.moveLeft(value.toInt());
        if (line.startsWith("Y=")) r.moveTop(value.toInt());
        if (line.startsWith("WIDTH=")) r.setWidth(value.toInt());
        if (line.startsWith("HEIGHT=")) r.setHeight(value.toInt());
    }
    return r;
}

// The window's parents in the X window tree, nearest first, up to the root.
inline QStringList ancestors(QString window) {
    static const QRegularExpression parent(QStringLiteral("Parent window id: (0x[0-9a-f]+)"));
    static const QRegularExpression root(QStringLiteral("Root window id: (0x[0-9a-f]+)"));
    QStringList out;
    for (int depth = 0; depth < 10; ++depth) {
        const QString tree = runTool("xwininfo", {"-tree", "-id", window});
        const QRegularExpressionMatch p = parent.match(tree), r = root.match(tree);
        if (!p.hasMatch() || !r.hasMatch() || p.captured(1) == r.captured(1)) break;
        window = QString::number(p.captured(1).toULongLong(nullptr, 16));
        out << window;
    }
    return out;
}

inline void activate(const QString& window) {
    xdotool({"windowactivate", "--sync", window});
    QThread::msleep(300);
}

inline void keys(const QStringList& names) {
    for (const QString& name : names) {
        xdotool({"key", "--clearmodifiers", name});
        QThread::msleep(80);
    }
}

inline void typeText(const QString& text) { xdotool({"type", "--delay", "40", text}); }

// Clicks `button` (1 left, 3 right) `count` times in the middle of `area`.
inline void clickAt(const QRect& area, int button, int count = 1) {
    const QPoint at = area.center();
    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
    QThread::msleep(100);
    xdotool({"click", "--repeat", QString::number(count), "--delay", "120", QString::number(button)});
}

// Presses `menuKeys` in the window `from` until the window titled `opens`
// shows, at most three times, since keys may go astray while the focus is
// handed over. The window opened, activated, or "".
inline QString openFrom(qint64 pid, const QString& from, const QStringList& menuKeys,
                        const QString& opens, int waitMs = 5000) {
    // A key pressed while the focus is still moving is lost, so the keys are
    // pressed again; each time the wait is longer, since a slow window that
    // shows up just after a retry's Escape would be closed by it.
    QString window;
    for (int attempt = 1; attempt <= 3 && window.isEmpty(); ++attempt) {
        activate(from);
        keys(menuKeys);
        window = waitForWindow(pid, opens, waitMs * attempt);
    }
    if (!window.isEmpty()) activate(window);
    return window;
}

// Saves the whole screen; a relative name lands in the current folder.
inline void screenshot(const QString& name) {
    QProcess::execute("import", {"-window", "root", QDir::current().filePath(name)});
}

// A program of ours started on the display, ended when the test is done.
class RunningProgram {
public:
    RunningProgram(const QString& program, const QStringList& arguments) {
        process_.setProgram(program);
        process_.setArguments(arguments);
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start();
        process_.waitForStarted(10000);
    }
    ~RunningProgram() { stop(); }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    qint64 pid() const { return process_.processId(); }
    // The exit code once it ended by itself, or -1 when it was still running.
    int waitForExit(int waitMs) {
        if (!process_.waitForFinished(waitMs)) return -1;
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -2;
    }
    void terminate() { process_.terminate(); }
    // Closes the window titled `title` with Alt+F4 as a user would; true when
    // the program then ended by itself with exit code 0.
    bool closeWindow(const QString& title) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const QString window = waitForWindow(pid(), title, 2000);
            if (!window.isEmpty()) activate(window);
            keys({"alt+F4"});
            if (process_.waitForFinished(3000))
                return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
        }
        return false;
    }
    void stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(5000);
    }

private:
    QProcess process_;
};

} // namespace ql::testing
