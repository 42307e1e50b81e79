// Delivery through the Wayland virtual keyboard into foot under a headless
// compositor: a 255-character line typed directly, timed until every character
// has arrived, median of 5; then 20 lines of punctuation and letters from many
// scripts over five layouts. Prints
//   keys.wayland_chars_per_s N chars/s  and  keys.wayland_exact R ratio
// (the share of all typed lines that arrived exactly, first character included).
#include "bench/keys/KeyBenchLines.h"
#include "keys/KeystrokeSender.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/core/SystemClock.h"
#include "platform/wlrwindows/WlrWindowSystem.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace ql::key_bench;

namespace {

const QString kHard = QStringLiteral(
    "^`~'\"\\|{}<>éèçàâêôûëüñÄÖÜßİıŞşĞğąćęłńóśźżΑΒΓαβγωΩЖжЯяЁёЩщ€½");

class Foot {
public:
    Foot() : path_(QDir::current().filePath("bench-foot.out")) {
        QFile::remove(path_);
        proc_.start("foot", {"--app-id", "ql-bench-foot", "sh", "-c",
                             "stty -icanon -echo min 1; exec cat > " + path_});
    }
    ~Foot() {
        proc_.terminate();
        if (!proc_.waitForFinished(5000)) proc_.kill();
    }
    // Waits up to `ms` for the next line; empty when none came.
    QString nextLine(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QFile f(path_);
            if (f.open(QIODevice::ReadOnly)) {
                const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
                if (lines.size() > consumed_ + 1) return lines[consumed_++];
            }
            QThread::usleep(500);
        }
        return {};
    }

private:
    QString path_;
    QProcess proc_;
    int consumed_ = 0;
};

void swaymsg(const QStringList& command) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start("swaymsg", command);
    p.waitForFinished(5000);
}

ql::WindowHandle windowOf(ql::WlrWindowSystem& windows, const QString& appId) {
    for (int i = 0; i < 300; ++i) {
        for (const ql::TopWindow& w : windows.topWindows())
            if (windows.appIdOf(w.handle) == appId) return w.handle;
        windows.waitForChanges(50);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ql::DesktopBackends desktop = ql::openDesktop({});
    auto* windows = dynamic_cast<ql::WlrWindowSystem*>(desktop.windows.get());
    if (!windows || !desktop.keyboard->available()) {
        std::fprintf(stderr, "bench_keys_wayland: no wlroots compositor\n");
        return 1;
    }
    Foot foot;
    const ql::WindowHandle target = windowOf(*windows, "ql-bench-foot");
    ql::SystemClock clock;
    ql::KeystrokeSender sender(*desktop.keyboard, clock, *windows);
    sender.setIdle([] { QThread::usleep(500); });
    std::mt19937 rng(5);
    std::vector<double> rates;
    int lines = 0, exact = 0;
    for (int run = 0; run < 5 && target; ++run) {
        const QString line = randomLine(rng, kPlainCharacters, 255, Ends::Solid);
        QElapsedTimer timer;
        timer.start();
        const bool sent = sender.sendDirect(target, line + "[Enter]", 1) == ql::SendOutcome::Completed;
        const QString arrived = sent ? foot.nextLine(20000) : QString();
        rates.push_back(255.0 * 1000.0 / double(std::max<qint64>(1, timer.elapsed())));
        ++lines;
        exact += arrived == line;
    }
    for (const char* layout : {"us", "de", "fr", "tr", "\"us,ru\""}) {
        swaymsg({"input", "type:keyboard", "xkb_layout", layout});
        for (int i = 0; i < 4 && target; ++i) {
            const QString line = randomLine(rng, kHard, 20, Ends::Solid);
            const bool sent = sender.sendDirect(target, line + "[Enter]", 1) == ql::SendOutcome::Completed;
            ++lines;
            exact += sent && foot.nextLine(10000) == line;
        }
    }
    swaymsg({"input", "type:keyboard", "xkb_layout", "us"});
    printFigures("keys.wayland", rates, lines, exact);
    return 0;
}
