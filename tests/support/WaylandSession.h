#pragma once
// Helpers for tests that run inside tests/support/wayland-session.sh: the
// files the session copied for the test, programs started on the compositor,
// and waiting for what the compositor tells without fixed sleeps.
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <thread>

namespace ql::wayland_test {

// A file the session copied for the test (a --with of its CMake rule).
inline QString sessionFile(const QString& name) {
    return QDir(qEnvironmentVariable("QL_SESSION_BIN")).filePath(name);
}

inline bool insideSession() { return !qEnvironmentVariable("WAYLAND_DISPLAY").isEmpty(); }

// Asks the compositor through its IPC; true when it said yes.
inline bool swaymsg(const QStringList& command) {
    QProcess p;
    p.start(QStringLiteral("swaymsg"), command);
    return p.waitForFinished(5000) && p.exitCode() == 0;
}

// Polls `done` until it holds or `waitMs` ran out; `step` waits for the next
// change (an event, or a short nap) between two looks.
inline bool waitUntil(const std::function<bool()>& done, int waitMs,
                      const std::function<void()>& step = {}) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        if (step) step();
        else std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A program started in the session, ended (and waited for) with the test.
class SessionProgram {
public:
    SessionProgram(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        process_.setProgram(program);
        process_.setArguments(arguments);
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.start();
        process_.waitForStarted(10000);
    }
    ~SessionProgram() { stop(); }
    SessionProgram(const SessionProgram&) = delete;
    SessionProgram& operator=(const SessionProgram&) = delete;

    qint64 pid() const { return process_.processId(); }
    bool running() const { return process_.state() != QProcess::NotRunning; }
    void stop() {
        if (!running()) return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

private:
    QProcess process_;
};

// The environment for an X11 program under XWayland: no Wayland display, so
// toolkits that could speak Wayland use the X display.
inline QProcessEnvironment xwaylandEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

// Saves the compositor's whole output; a relative name lands in the current folder.
inline void screenshot(const QString& name) {
    QProcess::execute(QStringLiteral("grim"), {QDir::current().filePath(name)});
}

} // namespace ql::wayland_test
