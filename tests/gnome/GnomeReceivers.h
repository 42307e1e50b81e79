#pragma once
// Receivers and a desk of backends for end-to-end tests under GNOME's shell:
// GTK entries (zenity) on Wayland, whose text is read when they close, and
// the backends the chooser picks there with a keystroke sender over them.
#include "keys/KeystrokeSender.h"
#include "platform/atspi/AtspiControlTexts.h"
#include "platform/core/SystemClock.h"
#include "platform/desktop/DesktopBackends.h"
#include "tests/support/GnomeShellSession.h"
#include "tests/support/PortalPermission.h"
#include "tests/support/WaylandSession.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <atspi/atspi.h>
#include <ostream>

namespace ql {

inline void PrintTo(const SendResult& r, std::ostream* out) {
    *out << "outcome " << int(r.outcome) << " character " << uint32_t(r.character);
}

namespace gnome_test {

using wayland_test::waitUntil;
using portal_test::findControl;
using portal_test::act;

// A pass of the event loop between two looks at the desktop.
inline void nap() { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }

inline QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "gnome_test";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

inline const QString kPunctuation = QStringLiteral("^`~'\"\\|{}<> !@#$%&*()_+-=;:,./?");

inline WindowHandle titled(WindowSystem& windows, const QString& title, int waitMs = 10000) {
    WindowHandle found = 0;
    waitUntil([&] {
        for (const TopWindow& w : windows.topWindows())
            if (w.title == title) found = w.handle;
        return found != 0;
    }, waitMs, nap);
    return found;
}

// Presses OK in the windows of process `pid` through the accessibility bus.
inline void pressOkOf(qint64 pid) {
    AtspiAccessible* desktop = atspi_get_desktop(0);
    for (int i = 0; i < atspi_accessible_get_child_count(desktop, nullptr); ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
        if (!app) continue;
        if (qint64(atspi_accessible_get_process_id(app, nullptr)) == pid) {
            AtspiAccessible* ok = findControl(app, ATSPI_ROLE_PUSH_BUTTON, "OK");
            act(ok);
            if (ok) g_object_unref(ok);
        }
        g_object_unref(app);
    }
    g_object_unref(desktop);
}

// One GTK entry on Wayland: zenity prints its text when it is closed with OK
// (Enter, or its button pressed through the accessibility bus).
class Zenity {
public:
    Zenity(WindowSystem& windows, const QString& title) : windows_(windows), title_(title) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GDK_BACKEND", "wayland");
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start("zenity", {"--entry", "--title", title});
        window = titled(windows, title);
    }
    ~Zenity() {
        process_.kill();
        process_.waitForFinished(2000);
    }
    // What the entry held when it closed; presses OK first when `close`.
    QString text(bool close) {
        if (close) {
            screenshotOfTest();
            pressOk();
        }
        QString note;
        // A process that ended while a send ran the event loop is finished already.
        if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(close ? 10000 : 3000)) {
            note = QStringLiteral("(Enter did not close it) ");
            pressOk();
            if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(5000)) return QStringLiteral("(zenity did not close)");
        }
        waitUntil([&] { return !windows_.exists(window); }, 5000, nap);
        return note + QString::fromUtf8(process_.readAllStandardOutput()).chopped(1);
    }
    WindowHandle window = 0;

private:
    WindowSystem& windows_;
    QString title_;
    QProcess process_;
    void pressOk() { pressOkOf(process_.processId()); }
};

struct Desk {
    SystemClock clock;
    DesktopBackends backends = openDesktop({std::make_shared<AtspiControlTexts>(), nullptr, {}});
    WindowSystem& windows = *backends.windows;
    KeystrokeSender keys{*backends.keyboard, clock, windows, SendPacing{20, 7}};
    Desk() {
        app();
        keys.setIdle([] { QThread::usleep(500); });
    }
};

// Lets the user's earlier key reach the window before the next send looks at it.
inline void settle(int ms = 300) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// A send after the user's earlier keys settled, directly or grouped.
inline SendResult sendTo(Desk& desk, const QString& line, WindowHandle target, bool direct) {
    settle();
    return direct ? desk.keys.sendDirect(target, line, 1) : desk.keys.sendGrouped(line, target);
}

// Caps Lock as the user would set it, through the session's keyboard.
inline void setCapsLock(Desk& desk, bool on) {
    if (desk.backends.keyboard->capsLockOn() == on) return;
    desk.backends.keyboard->keyDown(20);
    desk.backends.keyboard->keyUp(20);
}

} // namespace gnome_test
} // namespace ql
