// Password generation speed.
//  generator.alnum16_per_s  16-character alphanumeric passwords a second through the generator
//  generator.floor_per_s    the same characters drawn straight from the CSPRNG (16 bytes a
//                           password) and mapped through the table, in the same run
//  generator.floor_ratio    floor over ours: median of the ratios of interleaved rounds
//  generator.word_miss_ms   a "Word" request for a size no word has: 250 picks from the
//                           encrypted Words table made from the shipped list (median)
#include "entries/PasswordGenerator.h"
#include "entries/PasswordTypes.h"
#include "entries/StoreWordSource.h"
#include "platform/random/SodiumRandom.h"
#include "store/StartUp.h"
#include "store/WordList.h"
#include <sodium.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kPasswords = 200000;
constexpr int kRounds = 7;

class NoWords : public ql::WordSource {
public:
    qint64 count() override { return 0; }
    bool read(qint64, QString&) override { return false; }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Passwords a second through the generator; `sink` keeps the work from being dropped.
double ourRate(ql::PasswordGenerator& generator, size_t& sink) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kPasswords; ++i)
        sink += size_t(generator.generate(ql::password_type::Alphanumeric, 16, {}).password.size());
    return kPasswords * 1e9 / double(timer.nsecsElapsed());
}

double floorRate(size_t& sink) {
    const QByteArray table = ql::kAlphanumeric.toLatin1();
    unsigned char bytes[16];
    char out[16];
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kPasswords; ++i) {
        randombytes_buf(bytes, sizeof bytes);
        for (size_t k = 0; k < sizeof bytes; ++k) out[k] = table[bytes[k] % 62];
        sink += size_t(out[i % 16]);
    }
    return kPasswords * 1e9 / double(timer.nsecsElapsed());
}

// Milliseconds for one miss with a fresh reader, as a new window opens the table.
double wordMissMs(ql::RandomSource& random) {
    QElapsedTimer timer;
    timer.start();
    ql::StoreWordSource words;
    ql::PasswordGenerator generator(random, words);
    const ql::GeneratedPassword result = generator.generate(ql::password_type::Word, 25, {});
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!result.message || result.password.isEmpty()) std::fprintf(stderr, "unexpected word hit\n");
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ql::SodiumRandom random;
    NoWords none;
    ql::PasswordGenerator generator(random, none);
    size_t sink = 0;
    std::vector<double> ours, floors, ratios;
    for (int round = 0; round < kRounds; ++round) {
        ours.push_back(ourRate(generator, sink));
        floors.push_back(floorRate(sink));
        ratios.push_back(floors.back() / ours.back());
    }
    std::printf("generator.alnum16_per_s %.0f passwords/s\n", median(ours));
    std::printf("generator.floor_per_s %.0f passwords/s\n", median(floors));
    std::printf("generator.floor_ratio %.2f ratio\n", median(ratios));

    QTemporaryDir dir;
    ql::ScriptedPrompter prompter;
    ql::ProgramServices services(ql::ProgramKind::Main, {"bench", "Data=" + dir.path()}, prompter,
                                 [](const QString&) {});
    if (ql::fillMissingWords(services.managers().words, QStringLiteral(QL_WORD_LIST)) <= 0) {
        std::fprintf(stderr, "bench_generator: no word list\n");
        return 1;
    }
    std::vector<double> misses;
    for (int round = 0; round < 15; ++round) misses.push_back(wordMissMs(random));
    std::printf("generator.word_miss_ms %.2f ms\n", median(misses));
    return sink == 0 ? 1 : 0;
}
