// The record store's speed: 100,000 entries over 100 users, encrypted and
// plain in the same run. Prints one figure a line: name value unit.
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace ql;

namespace {

constexpr int kUsers = 100;
constexpr int kPerUser = 1000;
constexpr int kFetches = 10'000;
constexpr int kSteps = 10'000;

struct Figures {
    double openMs = 0, fetchUs = 0, readUserMs = 0, nextPrevUs = 0, insertS = 0;
};

QString user(int u) { return QStringLiteral("user%1").arg(u, 3, 10, QChar(u'0')); }
QString service(int i) { return QStringLiteral("Service %1").arg(i, 4, 10, QChar(u'0')); }
QString name(int i) { return QStringLiteral("login.name%1").arg((i * 7919) % kPerUser); }

double insertAll(DataTable& t) {
    QRandomGenerator rng(7);
    QElapsedTimer clock;
    clock.start();
    t.stream();
    Record& r = t.record();
    for (int u = 0; u < kUsers; ++u) {
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
            if (t.add() != 0) {
                std::fprintf(stderr, "insert failed: %s\n", qPrintable(t.errorText()));
                std::exit(1);
            }
        }
    }
    if (t.flush() != 0)
        std::exit(1);
    return clock.nsecsElapsed() / 1e9;
}

double openTimes(DataTable& t) {
    constexpr int rounds = 50;
    qint64 ns = 0;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        t.open();
        ns += clock.nsecsElapsed();
        t.close();
    }
    return ns / 1e6 / rounds;
}

double fetches(DataTable& t) {
    QRandomGenerator rng(11);
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
            std::exit(2);
    }
    return clock.nsecsElapsed() / 1e3 / kFetches;
}

double readUsers(DataTable& t) {
    constexpr int rounds = 10;
    const int key = t.def().keyIndex("P_:KEYSERVICE");
    qint64 ns = 0;
    for (int round = 0; round < rounds; ++round) {
        t.open();
        QElapsedTimer clock;
        clock.start();
        Record& r = t.record();
        const QString who = user(round * 9);
        r.clear();
        r.setText(1, who);
        t.setPosition(key);
        int read = 0;
        while (t.next() == 0 && r.sameText(1, who))
            ++read;
        ns += clock.nsecsElapsed();
        if (read != kPerUser)
            std::exit(3);
        t.close();
    }
    return ns / 1e6 / rounds;
}

double nextPrevious(DataTable& t) {
    const int key = t.def().keyIndex("P_:KEYURL");
    t.record().clear();
    t.record().setText(1, user(50));
    t.setPosition(key);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kSteps / 2; ++i)
        t.next();
    for (int i = 0; i < kSteps / 2; ++i)
        t.previous();
    return clock.nsecsElapsed() / 1e3 / kSteps;
}

Figures measure(const TableDef& def) {
    Figures f;
    DataTable t(def);
    if (t.create() != 0 || t.open() != 0) {
        std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(def.storedAs),
                     qPrintable(t.errorText()));
        std::exit(1);
    }
    f.insertS = insertAll(t);
    t.close();
    // Reads are repeated and the best round kept: the machine is shared.
    f.openMs = f.readUserMs = f.fetchUs = f.nextPrevUs = 1e12;
    for (int round = 0; round < 3; ++round) {
        f.openMs = std::min(f.openMs, openTimes(t));
        f.readUserMs = std::min(f.readUserMs, readUsers(t));
        t.open();
        f.fetchUs = std::min(f.fetchUs, fetches(t));
        f.nextPrevUs = std::min(f.nextPrevUs, nextPrevious(t));
        t.close();
    }
    return f;
}

void print(const char* name, double value, const char* unit) {
    std::printf("%s %.3f %s\n", name, value, unit);
}

} // namespace

int main() {
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 1;
    setOwnerKey(QString(64, u'5'));
    TableDef plain = passwordsTable();
    plain.owner = OwnerKeyKind::None;
    plain.storedAs = QStringLiteral("QL_PLAIN\\!Pwd");

    const Figures enc = measure(passwordsTable());
    const Figures raw = measure(plain);
    print("store.open_ms", enc.openMs, "ms");
    print("store.fetch_by_key_us", enc.fetchUs, "us");
    print("store.read_user_ms", enc.readUserMs, "ms");
    print("store.next_prev_us", enc.nextPrevUs, "us");
    print("store.insert_batch_s", enc.insertS, "s");
    print("store.read_ratio",
          (enc.fetchUs * kFetches / 1e3 + enc.readUserMs) / (raw.fetchUs * kFetches / 1e3 + raw.readUserMs),
          "ratio");
    print("store.insert_ratio", enc.insertS / raw.insertS, "ratio");
    print("store.plain.open_ms", raw.openMs, "ms");
    print("store.plain.fetch_by_key_us", raw.fetchUs, "us");
    print("store.plain.read_user_ms", raw.readUserMs, "ms");
    print("store.plain.next_prev_us", raw.nextPrevUs, "us");
    print("store.plain.insert_batch_s", raw.insertS, "s");
    return 0;
}
