// The record store's speed: 100,000 entries over 100 users, encrypted and
// plain in the same run. Prints one figure a line: name value unit.
//
// The plain table is the floor: the same layout, engine and statements
// without the cipher. The two sides are measured in turns (which side goes
// first alternates by round) and each ratio is the median of the rounds'
// ratios, so that the load of other programs on a shared machine falls on
// both alike. Absolute figures are the medians of the rounds, for information.
//
// The encrypted side is under a random data key, as in a data folder
// protected by a passphrase; store.unlock_ms is the once-per-process cost of
// opening that key from its key file (deriving the passphrase's key).
#include "platform/datakey/DataKeySeal.h"
#include "platform/recordstore/DataTable.h"
#include "platform/recordstore/OwnerKeys.h"
#include "store/Layouts.h"
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace ql;

namespace {

constexpr int kUsers = 100;
constexpr int kPerUser = 1000;
constexpr int kUsersPerChunk = 10;
constexpr int kRounds = 9;
constexpr int kFetches = 5'000;
constexpr int kSteps = 5'000;

QString user(int u) { return QStringLiteral("user%1").arg(u, 3, 10, QChar(u'0')); }
QString service(int i) { return QStringLiteral("Service %1").arg(i, 4, 10, QChar(u'0')); }
QString name(int i) { return QStringLiteral("login.name%1").arg((i * 7919) % kPerUser); }

[[noreturn]] void failed(const char* what, const DataTable& t) {
    std::fprintf(stderr, "%s failed: %s\n", what, qPrintable(t.errorText()));
    std::exit(1);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One side of the comparison: a table and its figures, one value per round.
struct Side {
    explicit Side(const TableDef& def) : table(def) {}
    DataTable table;
    std::vector<double> insertS, openMs, readColdMs, readUserMs, fetchColdUs, fetchUs, nextPrevUs;
};

double insertUsers(DataTable& t, int firstUser, int users) {
    QRandomGenerator rng(7 + firstUser);
    QElapsedTimer clock;
    clock.start();
    Record& r = t.record();
    for (int u = firstUser; u < firstUser + users; ++u) {
        for (int i = 0; i < kPerUser; ++i) {
            r.clear();
            r.setText(1, user(u));
            r.setText(2, service(i));
            r.setText(3, QStringLiteral("https://www.example%1.com/login").arg(i));
            r.setText(4, name(i));
            r.setText(5, QString::number(rng.generate64(), 36));
            r.setNumber(7, 80000 + i % 365);
            r.setNumber(11, 4000);
            r.setText(r.fieldIndex("P_:NOTES"), QStringLiteral("Notes for entry %1").arg(i));
            if (t.add() != 0)
                failed("insert", t);
        }
    }
    return clock.nsecsElapsed() / 1e9;
}

double openMs(DataTable& t) {
    constexpr int opens = 20;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < opens; ++i) {
        if (t.open() != 0)
            failed("open", t);
        t.close();
    }
    return clock.nsecsElapsed() / 1e6 / opens;
}

// All of one user's entries in service order, from a position before the first.
double readUser(DataTable& t, int u) {
    const int key = t.def().keyIndex("P_:KEYSERVICE");
    QElapsedTimer clock;
    clock.start();
    Record& r = t.record();
    const QString who = user(u);
    r.clear();
    r.setText(1, who);
    t.setPosition(key);
    int read = 0;
    while (t.next() == 0 && r.sameText(1, who))
        ++read;
    if (read != kPerUser)
        failed("reading a user", t);
    return clock.nsecsElapsed() / 1e6;
}

double fetches(DataTable& t, int seed) {
    QRandomGenerator rng(seed);
    const int key = t.def().keyIndex("P_:KEYNAME");
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; n < kFetches; ++n) {
        const int i = rng.bounded(kPerUser);
        Record& r = t.record();
        r.setText(1, user(rng.bounded(kUsers)));
        r.setText(4, name(i));
        r.setText(2, service(i));
        if (t.fetch(key) != 0)
            failed("fetch", t);
    }
    return clock.nsecsElapsed() / 1e3 / kFetches;
}

double nextPrevious(DataTable& t, int u) {
    const int key = t.def().keyIndex("P_:KEYURL");
    t.record().clear();
    t.record().setText(1, user(u));
    t.setPosition(key);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kSteps / 2; ++i)
        t.next();
    for (int i = 0; i < kSteps / 2; ++i)
        t.previous();
    return clock.nsecsElapsed() / 1e3 / kSteps;
}

// Fills both tables in chunks of a few users, in turns, each in one batch.
void insertAll(Side& a, Side& b) {
    for (Side* s : {&a, &b})
        if (s->table.open() != 0 || s->table.stream() != 0)
            failed("stream", s->table);
    for (int u = 0; u < kUsers; u += kUsersPerChunk) {
        const bool aFirst = (u / kUsersPerChunk) % 2 == 0;
        for (Side* s : {aFirst ? &a : &b, aFirst ? &b : &a})
            s->insertS.push_back(insertUsers(s->table, u, kUsersPerChunk));
    }
    for (Side* s : {&a, &b}) {
        QElapsedTimer clock;
        clock.start();
        if (s->table.flush() != 0)
            failed("flush", s->table);
        s->insertS.back() += clock.nsecsElapsed() / 1e9;
        s->table.close();
    }
}

// Runs a measurement on both sides in turns, `times` times each, and keeps
// each side's fastest run: a burst of load elsewhere rarely hits all of them.
template <typename Measure>
void inTurns(Side& first, Side& second, int times, std::vector<double> Side::*figure,
             Measure measure) {
    double best[2] = {1e300, 1e300};
    for (int i = 0; i < times; ++i) {
        best[0] = std::min(best[0], measure(first));
        best[1] = std::min(best[1], measure(second));
    }
    (first.*figure).push_back(best[0]);
    (second.*figure).push_back(best[1]);
}

// One round of reads. A freshly opened table has an empty page cache: the
// first read of a page takes it from the file (and decrypts it); the same
// reads again find it in the cache, as in a program that keeps its table open.
void readRound(Side& first, Side& second, int round) {
    constexpr int again = 3;
    const int u = (round * 37) % kUsers;
    const int seed = 11 + round;
    inTurns(first, second, 1, &Side::openMs, [](Side& s) { return openMs(s.table); });
    for (Side* s : {&first, &second})
        if (s->table.open() != 0)
            failed("open", s->table);
    auto read = [u](Side& s) { return readUser(s.table, u); };
    inTurns(first, second, 1, &Side::readColdMs, read);
    inTurns(first, second, again, &Side::readUserMs, read);
    auto fetch = [seed](Side& s) { return fetches(s.table, seed); };
    inTurns(first, second, 1, &Side::fetchColdUs, fetch);
    inTurns(first, second, again, &Side::fetchUs, fetch);
    auto steps = [u](Side& s) { return nextPrevious(s.table, (u + 50) % kUsers); };
    steps(first);
    steps(second);
    inTurns(first, second, again, &Side::nextPrevUs, steps);
    first.table.close();
    second.table.close();
}

double ratio(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> ratios;
    for (size_t i = 0; i < a.size(); ++i)
        ratios.push_back(a[i] / b[i]);
    return median(ratios);
}

void print(const QByteArray& name, double value, const char* unit) {
    std::printf("%s %.3f %s\n", name.constData(), value, unit);
}

// Median time to open a sealed data key with its passphrase, of three tries.
double unlockMs(const SecretBytes& dataKey) {
    const QByteArray passphrase = "a passphrase for the benchmark";
    const std::optional<KeyFile> file = sealDataKey(dataKey, passphrase);
    std::vector<double> times;
    for (int i = 0; file && i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!openDataKey(*file, passphraseKey(passphrase, *file))) break;
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    if (times.size() != 3) {
        std::fprintf(stderr, "unlocking failed\n");
        std::exit(1);
    }
    return median(times);
}

} // namespace

int main() {
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 1;
    setOwnerKey(QString(64, u'5'));
    const SecretBytes dataKey = newDataKey();
    const double unlock = unlockMs(dataKey);
    useDataKey(dataKey);
    TableDef plainDef = passwordsTable();
    plainDef.owner = OwnerKeyKind::None;
    plainDef.storedAs = QStringLiteral("QL_PLAIN\\!Pwd");

    Side enc(passwordsTable()), plain(plainDef);
    for (Side* s : {&enc, &plain})
        if (s->table.create() != 0)
            failed("create", s->table);
    insertAll(enc, plain);
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2)
            readRound(plain, enc, round);
        else
            readRound(enc, plain, round);
    }

    print("store.read_ratio", ratio(enc.readUserMs, plain.readUserMs), "ratio");
    print("store.fetch_ratio", ratio(enc.fetchUs, plain.fetchUs), "ratio");
    print("store.next_prev_ratio", ratio(enc.nextPrevUs, plain.nextPrevUs), "ratio");
    print("store.read_cold_ratio", ratio(enc.readColdMs, plain.readColdMs), "ratio");
    print("store.fetch_cold_ratio", ratio(enc.fetchColdUs, plain.fetchColdUs), "ratio");
    print("store.open_ratio", ratio(enc.openMs, plain.openMs), "ratio");
    print("store.insert_ratio", ratio(enc.insertS, plain.insertS), "ratio");
    print("store.unlock_ms", unlock, "ms");
    for (Side* s : {&enc, &plain}) {
        const QByteArray prefix = s == &enc ? "store." : "store.plain.";
        auto name = [&](const char* figure) { return prefix + figure; };
        double insert = 0;
        for (double chunk : s->insertS)
            insert += chunk;
        print(name("open_ms"), median(s->openMs), "ms");
        print(name("read_user_ms"), median(s->readUserMs), "ms");
        print(name("read_user_cold_ms"), median(s->readColdMs), "ms");
        print(name("fetch_by_key_us"), median(s->fetchUs), "us");
        print(name("fetch_by_key_cold_us"), median(s->fetchColdUs), "us");
        print(name("next_prev_us"), median(s->nextPrevUs), "us");
        print(name("insert_batch_s"), insert, "s");
    }
    return 0;
}
