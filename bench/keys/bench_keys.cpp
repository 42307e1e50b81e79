// Direct delivery speed into a real window: a 255-character plain line typed
// into the receiver, timed until every character has arrived; median of 5.
// Prints:  keys.direct_chars_per_s N chars/s   and   keys.direct_exact 0|1 bool
#include "bench/keys/KeyBenchLines.h"
#include "keys/KeystrokeSender.h"
#include "platform/core/SystemClock.h"
#include "platform/x11keyboard/X11Keyboard.h"
#include "platform/x11windows/X11WindowSystem.h"
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

// A line with nothing to interpret; the receiver keeps a blank at its start.
QString plainLine(std::mt19937& rng, int length) {
    QString line = randomLine(rng, kPlainCharacters, length, Ends::AsDrawn);
    if (line.endsWith(u' ')) line[line.size() - 1] = u'x';
    return line;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ql::X11Keyboard keyboard;
    ql::SystemClock clock;
    ql::X11WindowSystem windows;
    if (!keyboard.available() || !windows.available()) {
        std::fprintf(stderr, "bench_keys: no X display\n");
        return 1;
    }
    ql::ReceiverProcess receiver(QStringLiteral(QL_RECEIVER_PATH), QStringLiteral("Bench - Receiver"));
    ql::KeystrokeSender sender(keyboard, clock, windows);
    sender.setIdle([] { QThread::usleep(500); });
    std::mt19937 rng(5);
    std::vector<double> rates;
    bool exact = receiver.window != 0;
    for (int run = 0; run < 5 && exact; ++run) {
        const QString line = plainLine(rng, 255);
        QElapsedTimer timer;
        timer.start();
        bool ok = sender.sendDirect(receiver.window, line, 1) == ql::SendOutcome::Completed;
        QString arrived;
        while (ok && arrived.size() < line.size() && timer.elapsed() < 20000)
            arrived = receiver.snapshot()["user"].toString();
        rates.push_back(255.0 * 1000.0 / double(std::max<qint64>(1, timer.elapsed())));
        exact = exact && ok && arrived == line;
        // Clear the fields for the next run.
        sender.sendDirect(receiver.window, "[Tab][Enter]", 1);
        receiver.next();
    }
    std::printf("keys.direct_chars_per_s %.0f chars/s\n", medianRate(rates));
    std::printf("keys.direct_exact %d bool\n", exact ? 1 : 0);
    return 0;
}
