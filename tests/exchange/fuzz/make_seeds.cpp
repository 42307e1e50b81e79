// Writes the seed corpus of the sync reader's fuzz target into a folder: a
// valid file, files cut short and files with a flipped byte (each prefixed by
// the "whole file" byte), and framed clear entries (prefixed by the "sealed
// here" byte). Usage: ql_sync_fuzz_seeds FOLDER
#include "tests/exchange/fuzz/FuzzSealer.h"
#include "exchange/SyncFileWriter.h"
#include "exchange/SyncRecordCodec.h"
#include "store/Layouts.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

using namespace ql;

namespace {

Record entry(int n) {
    Record r(syncFileTable());
    r.setText("SF_:USER", u"pw");
    r.setText("SF_:SERVICE", QStringLiteral("Service %1").arg(n));
    r.setText("SF_:NAME", u"joe");
    r.setText("SF_:PASSWORD", u"secret");
    r.setNumber("SF_:LASTCHANGEDATE", 80000);
    r.setNumber("SF_:LASTCHANGETIME", 100 * n + 1);
    r.setText("SF_:NOTES", QString(n * 50, u'n'));
    r.setBlob("SF_:ENCRYPTEDFILE", QByteArray(n * 20, char(n)));
    return r;
}

bool put(const QDir& dir, const QString& name, char mode, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    return f.open(QIODevice::WriteOnly) && f.write(QByteArray(1, mode) + bytes) == bytes.size() + 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2 || !QDir().mkpath(QString::fromLocal8Bit(argv[1]))) return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QString path = dir.filePath("valid.tmp");
    SyncFileWriter writer(path, sync_format::kLowest);
    bool ok = writer.begin("pw");
    for (int i = 0; ok && i < 3; ++i) ok = writer.write(entry(i));
    ok = ok && writer.commit();
    QFile f(path);
    if (!ok || !f.open(QIODevice::ReadOnly)) return 1;
    const QByteArray valid = f.readAll();
    f.remove();
    ok = put(dir, "valid", 0, valid);
    for (qsizetype cut : {qsizetype(0), qsizetype(40), qsizetype(sync_format::kHeaderBytes),
                          valid.size() / 2, valid.size() - 1})
        ok = ok && put(dir, QStringLiteral("cut-%1").arg(cut), 0, valid.left(cut));
    for (qsizetype at : {qsizetype(9), qsizetype(20), qsizetype(sync_format::kCountOffset),
                         qsizetype(sync_format::kHeaderBytes + 6), valid.size() - 3}) {
        QByteArray flipped = valid;
        flipped[at] = char(flipped[at] ^ 0x01);
        ok = ok && put(dir, QStringLiteral("flip-%1").arg(at), 0, flipped);
    }
    const QList<QByteArray> clear{encodeSyncRecord(entry(1)), encodeSyncRecord(entry(2))};
    ok = ok && put(dir, "clear", 1, fuzz::frame(clear)) && put(dir, "clear-no-end", 1, fuzz::frame(clear, 1)) &&
         put(dir, "clear-cut", 1, fuzz::frame({clear[0].left(clear[0].size() / 2)}));
    std::printf("%s\n", ok ? "seeds written" : "could not write the seeds");
    return ok ? 0 : 1;
}
