// Delivery through the desktop portal's remote-desktop session into a GTK
// entry (zenity) under a headless GNOME Shell, the permission dialog
// answered through the accessibility bus: a 255-character line typed
// directly, timed until zenity has printed it, median of 5; then 20 lines of
// punctuation and letters from many scripts. Prints
//   keys.gnome_chars_per_s N chars/s  and  keys.gnome_exact R ratio
// (the share of lines that arrived exactly, or, when a character the layout
// lacks stopped the send, exactly up to it: nothing wrong typed).
#include "bench/keys/KeyBenchLines.h"
#include "keys/KeystrokeSender.h"
#include "platform/core/SystemClock.h"
#include "platform/desktop/DesktopBackends.h"
#include "tests/support/PortalPermission.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace ql::key_bench;

namespace {

const QString kHard = QStringLiteral(
    "^`~'\"\\|{}<>abcXYZ123^`~'\"\\|{}<>éèçàâêôûëüñÄÖÜßЖж€");

void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

class Entry {
public:
    explicit Entry(ql::WindowSystem& windows) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GDK_BACKEND", "wayland");
        proc_.setProcessEnvironment(env);
        proc_.start("zenity", {"--entry", "--title", "Bench Entry"});
        for (int i = 0; i < 200 && !window; ++i) {
            for (const ql::TopWindow& w : windows.topWindows())
                if (w.title == "Bench Entry") window = w.handle;
            if (!window) pump(50);
        }
        for (int i = 0; i < 100 && window && !windows.hasFocus(window); ++i) pump(50);
    }
    ~Entry() {
        proc_.kill();
        proc_.waitForFinished(2000);
    }
    // What zenity printed when the line's Enter (or OK) closed it.
    QString text(bool pressOk) {
        if (pressOk) {
            pump(300);
            AtspiAccessible* desktop = atspi_get_desktop(0);
            for (int i = 0; i < atspi_accessible_get_child_count(desktop, nullptr); ++i) {
                AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
                if (!app) continue;
                if (qint64(atspi_accessible_get_process_id(app, nullptr)) == proc_.processId()) {
                    AtspiAccessible* ok = ql::portal_test::findControl(app, ATSPI_ROLE_PUSH_BUTTON, "OK");
                    ql::portal_test::act(ok);
                    if (ok) g_object_unref(ok);
                }
                g_object_unref(app);
            }
            g_object_unref(desktop);
        }
        if (proc_.state() != QProcess::NotRunning) proc_.waitForFinished(10000);
        return QString::fromUtf8(proc_.readAllStandardOutput()).chopped(1);
    }
    ql::WindowHandle window = 0;

private:
    QProcess proc_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ql::DesktopBackends desktop = ql::openDesktop({});
    if (!desktop.keystrokes.startsWith("Keystrokes: desktop portal") || !desktop.keyboard->available()) {
        std::fprintf(stderr, "bench_keys_gnome: no GNOME compositor with the desktop portal\n");
        return 1;
    }
    ql::portal_test::PermissionAnswer answer(true);
    ql::SystemClock clock;
    ql::KeystrokeSender sender(*desktop.keyboard, clock, *desktop.windows);
    sender.setIdle([] { QThread::usleep(500); });
    std::mt19937 rng(5);
    std::vector<double> rates;
    int lines = 0, exact = 0;
    {
        Entry first(*desktop.windows); // the first send asks for the session
        sender.sendDirect(first.window, "x[Enter]", 1);
        first.text(false);
    }
    for (int run = 0; run < 5; ++run) {
        Entry entry(*desktop.windows);
        const QString line = randomLine(rng, kPlainCharacters, 255, Ends::Solid);
        QElapsedTimer timer;
        timer.start();
        const bool sent = sender.sendDirect(entry.window, line + "[Enter]", 1) == ql::SendOutcome::Completed;
        const QString arrived = sent ? entry.text(false) : QString();
        rates.push_back(255.0 * 1000.0 / double(std::max<qint64>(1, timer.elapsed())));
        ++lines;
        exact += arrived == line;
    }
    for (int i = 0; i < 20; ++i) {
        Entry entry(*desktop.windows);
        const QString line = randomLine(rng, kHard, 20, Ends::Solid);
        const ql::SendResult r = sender.sendDirect(entry.window, line + "[Enter]", 1);
        QString expected = line;
        if (r == ql::SendOutcome::Untypable) expected = line.left(line.indexOf(QString::fromUcs4(&r.character, 1)));
        const bool ended = r == ql::SendOutcome::Completed || r == ql::SendOutcome::Untypable;
        ++lines;
        exact += ended && entry.text(r != ql::SendOutcome::Completed) == expected;
    }
    printFigures("keys.gnome", rates, lines, exact);
    return 0;
}
