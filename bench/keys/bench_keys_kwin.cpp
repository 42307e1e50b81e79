// Delivery through KWin's fake input into the Qt receiver under a headless
// KWin: a 255-character line typed directly, timed until the receiver reports
// it, median of 5; then 20 lines on each of five layouts (us, de, fr, tr, and
// us,ru with the ru group active) of characters that layout's active group
// produces (those behind dead keys among them), half of them with Caps Lock on. Prints
//   keys.kwin_chars_per_s N chars/s  and  keys.kwin_exact R ratio
// (the share of all typed lines that arrived exactly).
#include "bench/keys/KeyBenchLines.h"
#include "keys/KeystrokeSender.h"
#include "platform/core/SystemClock.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/kwinwindows/PlasmaWindowSystem.h"
#include "tests/support/KwinSession.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace ql::key_bench;

namespace {

struct BenchLayout {
    QString names;
    unsigned group;
    QString characters; // what the active group produces, the hard ones first
    std::vector<std::pair<char32_t, uint32_t>> probes;
};

ql::WindowHandle titled(ql::PlasmaWindowSystem& windows, const QString& title) {
    for (int i = 0; i < 300; ++i) {
        for (const ql::TopWindow& w : windows.topWindows())
            if (w.title == title) return w.handle;
        windows.waitForChanges(50);
    }
    return 0;
}

// Caps Lock as asked, through its key.
void setCapsLock(ql::Keyboard& keyboard, bool on) {
    keyboard.prepareLine({});
    if (keyboard.capsLockOn() == on) return;
    keyboard.keyDown(20);
    keyboard.keyUp(20);
    keyboard.prepareLine({});
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ql::DesktopBackends desktop = ql::openDesktop({});
    auto* windows = dynamic_cast<ql::PlasmaWindowSystem*>(desktop.windows.get());
    if (!windows || !desktop.keyboard->available()) {
        std::fprintf(stderr, "bench_keys_kwin: no KWin with fake input\n");
        return 1;
    }
    ql::ReceiverProcess receiver(ql::wayland_test::sessionFile("ql_receiver"), "Bench Receiver");
    const ql::WindowHandle target = titled(*windows, "Bench Receiver");
    ql::SystemClock clock;
    ql::KeystrokeSender sender(*desktop.keyboard, clock, *windows);
    sender.setIdle([] { QThread::usleep(500); });
    auto typed = [&](const QString& line) {
        if (sender.sendDirect(target, "[Tab]" + line + "[Enter]", 1) != ql::SendOutcome::Completed) return QString();
        return receiver.next(20000)["password"].toString();
    };
    std::mt19937 rng(5);
    std::vector<double> rates;
    int lines = 0, exact = 0;
    for (int run = 0; run < 5 && target; ++run) {
        const QString line = randomLine(rng, kPlainCharacters, 255, Ends::AsDrawn);
        QElapsedTimer timer;
        timer.start();
        const QString arrived = typed(line);
        rates.push_back(255.0 * 1000.0 / double(std::max<qint64>(1, timer.elapsed())));
        ++lines;
        exact += arrived == line;
    }
    const std::vector<BenchLayout> layouts = {
        {"us", 0, "^`~'\"\\|{}<>!@#$%&*()_+-=;:,./? azAZ09", {{U'a', 30}, {U'y', 21}, {U'i', 23}}},
        // Behind dead keys: ^`éÉêÂ on de, âêîôûë on fr, èàÈ on tr.
        {"de", 0, "^`éÉêÂäöüÄÖÜß@€{}\\~|<>µ\"'§ zyZY", {{U'ö', 39}}},
        {"fr", 0, "âêîôûëéèçàù€²&\"'(-_)=$*%µ~#{[|`\\^@]} aqAQ", {{U'é', 3}}},
        {"tr", 0, "èàÈİıŞşĞğçÇöÖüÜ\"<>|{}~ iI", {{U'ı', 23}}},
        {"us,ru", 1, "ЖжЯяЁёЩщХхЪъ№\"", {{U'ж', 39}}},
    };
    ql::kwin_test::SeatKeymap seat;
    for (const BenchLayout& layout : layouts) {
        if (!ql::kwin_test::configureLayouts(seat, layout.names, layout.group, layout.probes)) {
            std::fprintf(stderr, "bench_keys_kwin: layout %s not set\n", qPrintable(layout.names));
            lines += 4;
            continue;
        }
        for (int i = 0; i < 4 && target; ++i) {
            setCapsLock(*desktop.keyboard, i % 2 == 1);
            const QString line = randomLine(rng, layout.characters, 20, Ends::AsDrawn);
            ++lines;
            exact += typed(line) == line;
        }
    }
    setCapsLock(*desktop.keyboard, false);
    printFigures("keys.kwin", rates, lines, exact);
    return 0;
}
