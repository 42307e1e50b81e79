// Synchronization of 100,000 entries of one user: sending them to a file,
// receiving them into a folder where none exists and into one that holds them
// all already, and the store's own batch insert of the same entries as the
// baseline of the receive. Rounds interleave the receive and the baseline;
// every figure is the median over the rounds. Prints: name value unit.
#include "exchange/SyncFileReader.h"
#include "exchange/SyncFileWriter.h"
#include "exchange/SyncReceive.h"
#include "exchange/SyncSend.h"
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace ql;

namespace {

constexpr int kEntries = 100'000;
constexpr int kRounds = 5;
const QString kUser = QStringLiteral("joe");
const QString kPassword = QStringLiteral("correct horse battery");

[[noreturn]] void fail(const char* what, const DataTable* table = nullptr) {
    std::fprintf(stderr, "bench_sync: %s %s\n", what, table ? qPrintable(table->errorText()) : "");
    std::exit(1);
}

void open(DataTable& table) {
    if (table.create() != 0 || table.open() != 0) fail("cannot open", &table);
}

void fillEntry(Record& r, int i) {
    r.clear();
    r.setText("P_:USER", kUser);
    r.setText("P_:SERVICE", QStringLiteral("Service %1").arg(i, 6, 10, QChar(u'0')));
    r.setText("P_:URL", QStringLiteral("https://www.example%1.com/login").arg(i));
    r.setText("P_:NAME", QStringLiteral("login.name%1").arg(i % 997));
    r.setText("P_:PASSWORD", QStringLiteral("pw-%1-%2").arg(i * 7919).arg(i));
    r.setNumber("P_:LASTCHANGEDATE", 80000 + i % 365);
    r.setNumber("P_:LASTCHANGETIME", 1 + (i * 37) % 8'640'000);
    r.setNumber("P_:LEVEL", 4000);
    r.setText("P_:NOTES", QStringLiteral("Notes for entry %1").arg(i));
}

// A data folder made current, holding the user and, optionally, the entries.
void makeFolder(const QString& path, bool withEntries) {
    QDir().mkpath(path);
    QDir::setCurrent(path);
    DataTable users(usersTable());
    open(users);
    users.record().setText("U_:NAME", kUser);
    users.record().setText("U_:PASSWORD", kPassword);
    if (users.add() != 0) fail("cannot add the user", &users);
    DataTable passwords(passwordsTable());
    open(passwords);
    if (!withEntries) return;
    passwords.stream();
    for (int i = 0; i < kEntries; ++i) {
        fillEntry(passwords.record(), i);
        if (passwords.add() != 0) fail("cannot add", &passwords);
    }
    if (passwords.flush() != 0) fail("cannot flush", &passwords);
}

Record theUser() {
    Record user(usersTable());
    user.setText("U_:NAME", kUser);
    user.setText("U_:PASSWORD", kPassword);
    return user;
}

double seconds(const QElapsedTimer& clock) { return double(clock.nsecsElapsed()) / 1e9; }

// The store's own batch insert of the entries into a new folder.
double baseline(const QString& path) {
    makeFolder(path, false);
    DataTable passwords(passwordsTable());
    open(passwords);
    QElapsedTimer clock;
    clock.start();
    passwords.stream();
    for (int i = 0; i < kEntries; ++i) {
        fillEntry(passwords.record(), i);
        if (passwords.add() != 0) fail("cannot add", &passwords);
    }
    if (passwords.flush() != 0) fail("cannot flush", &passwords);
    return seconds(clock);
}

double send(const QString& home, const QString& file) {
    QDir::setCurrent(home);
    DataTable passwords(passwordsTable());
    open(passwords);
    passwords.send(QStringLiteral("QUICKSCAN=on"));
    QElapsedTimer clock;
    clock.start();
    SyncFileWriter writer(file); // the cost of the key derivation the program uses
    SyncSend run(passwords, theUser(), kPassword, writer);
    const SyncOutcome& o = runToEnd(run);
    if (o.end != SyncEnd::Completed || o.added != kEntries) fail("send did not complete");
    return seconds(clock);
}

double receive(const QString& folder, const QString& file, int added) {
    QDir::setCurrent(folder);
    DataTable passwords(passwordsTable());
    open(passwords);
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) fail("cannot read the file");
    QElapsedTimer clock;
    clock.start();
    SyncFileReader reader(in);
    SyncReceive run(passwords, theUser(), kPassword, reader, file);
    const SyncOutcome& o = runToEnd(run);
    if (o.end != SyncEnd::Completed || o.added != added || o.updated != 0) fail("receive did not complete");
    return seconds(clock);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void print(const char* name, double value, const char* unit) { std::printf("%s %.3f %s\n", name, value, unit); }

} // namespace

int main() {
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    setOwnerKey(buildOwnerKey());
    const QString home = dir.filePath("home"), file = dir.filePath("joe.syn");
    makeFolder(home, true);
    std::vector<double> sends, news, sames, bases, ratios;
    for (int round = 0; round < kRounds; ++round) {
        sends.push_back(send(home, file));
        const QString fresh = dir.filePath(QStringLiteral("fresh%1").arg(round));
        const QString base = dir.filePath(QStringLiteral("base%1").arg(round));
        makeFolder(fresh, false);
        double received = 0, inserted = 0;
        if (round % 2 == 0) {
            received = receive(fresh, file, kEntries);
            inserted = baseline(base);
        } else {
            inserted = baseline(base);
            received = receive(fresh, file, kEntries);
        }
        news.push_back(received);
        bases.push_back(inserted);
        ratios.push_back(received / inserted);
        sames.push_back(receive(fresh, file, 0));
        QDir::setCurrent(dir.path());
        QDir(fresh).removeRecursively();
        QDir(base).removeRecursively();
    }
    print("sync.send_s", median(sends), "s");
    print("sync.receive_new_s", median(news), "s");
    print("sync.receive_same_s", median(sames), "s");
    print("sync.receive_ratio", median(ratios), "ratio");
    print("sync.store_insert_batch_s", median(bases), "s");
    print("sync.file_mib", double(QFile(file).size()) / (1024.0 * 1024.0), "MiB");
    return 0;
}
