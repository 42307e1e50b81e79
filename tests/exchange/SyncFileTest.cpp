// The synchronization file's own format: what a reader accepts and refuses.
#include "SyncMachine.h"
#include "exchange/SyncMessages.h"
#include "exchange/SyncRecordCodec.h"
#include <QBuffer>

using namespace ql;
using namespace ql::test;
using Status = SyncFileReader::Status;

namespace {

Record sampleEntry(int n) {
    Record r(syncFileTable());
    r.setText("SF_:USER", u"pw");
    r.setText("SF_:SERVICE", QStringLiteral("Service %1").arg(n));
    r.setText("SF_:NAME", u"j\u00f6e");
    r.setNumber("SF_:LASTCHANGEDATE", 80000 + n);
    r.setNumber("SF_:LASTCHANGETIME", 8'640'000);
    r.setNumber("SF_:EXPIRYINTERVAL", -5);
    r.setNumber("SF_:SECONDSTOWAIT", 199);
    r.setText("SF_:NOTES", QString(300, u'x'));
    r.setBlob("SF_:ENCRYPTEDFILE", QByteArray("\0\1\2\3", 4));
    return r;
}

// What a reader makes of `bytes` with a key derived once for the whole test.
struct Reading {
    Status end = Status::Ok;
    int entries = 0;
};

class SyncFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath("x.syn"); }

    QByteArray writeFile(int entries, sync_format::KdfLimits limits = kFastLimits) {
        SyncFileWriter writer(file(), limits);
        EXPECT_TRUE(writer.begin("pw"));
        for (int i = 0; i < entries; ++i) EXPECT_TRUE(writer.write(sampleEntry(i)));
        EXPECT_TRUE(writer.commit());
        return fileBytes(file());
    }

    Reading read(QByteArray bytes, const SyncKey& key) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        SyncFileReader reader(buffer);
        Reading r;
        r.end = reader.readHeader();
        if (r.end == Status::Ok) r.end = reader.unlock(key);
        Record entry(syncFileTable());
        while (r.end == Status::Ok) {
            r.end = reader.next(entry);
            if (r.end == Status::Ok) ++r.entries;
        }
        return r;
    }

    static SyncKey keyOf(const QByteArray& bytes, const QString& password = "pw") {
        return *SyncKey::derive(password, *sync_format::Header::decode(bytes));
    }
};

} // namespace

TEST_F(SyncFileTest, EntriesComeBackFieldForField) {
    Record in = sampleEntry(7);
    in.setText("SF_:PASSWORD", QString(128, QChar(0x20ac)));
    Record out(syncFileTable());
    ASSERT_TRUE(decodeSyncRecord(encodeSyncRecord(in), out));
    EXPECT_TRUE(out == in);

    const QByteArray bytes = writeFile(3);
    EXPECT_EQ(sync_format::Header::decode(bytes)->count, 3u);
    const Reading r = read(bytes, keyOf(bytes));
    EXPECT_EQ(r.end, Status::End);
    EXPECT_EQ(r.entries, 3);
    EXPECT_EQ(read(bytes, keyOf(bytes, "pw ")).end, Status::End); // trailing blanks do not count
    EXPECT_EQ(read(bytes, keyOf(bytes, "Pw")).end, Status::WrongPassword);
}

TEST_F(SyncFileTest, EntriesThatBreakTheLayoutAreRefused) {
    const QByteArray good = encodeSyncRecord(sampleEntry(1));
    Record out(syncFileTable());
    auto refused = [&](const QByteArray& bytes) { return !decodeSyncRecord(bytes, out); };
    EXPECT_TRUE(refused(good + 'x'));        // bytes left over
    EXPECT_TRUE(refused(good.left(good.size() - 1)));
    EXPECT_TRUE(refused(QByteArray()));

    Record r = sampleEntry(1);
    // The first field is SF_:USER: its length, then its text.
    QByteArray bytes = encodeSyncRecord(r);
    bytes[0] = char(0xff), bytes[1] = char(0xff), bytes[2] = char(0xff), bytes[3] = char(0x7f);
    EXPECT_TRUE(refused(bytes));             // a length past the end
    bytes = encodeSyncRecord(r);
    bytes[4] = char(0xc3), bytes[5] = char(0x28);
    EXPECT_TRUE(refused(bytes));             // not UTF-8
    QByteArray longUser = encodeSyncRecord(r).mid(6);
    QByteArray head;
    sync_format::putU32(head, 129);
    EXPECT_TRUE(refused(head + QByteArray(129, 'u') + longUser)); // 129 characters in 128

    r.setNumber("SF_:LASTCHANGETIME", 8'640'000);
    QByteArray time = encodeSyncRecord(r);
    const int at = time.indexOf(QByteArray("\x00\xd6\x83\x00", 4)); // 8,640,000
    ASSERT_GE(at, 0);
    time[at] = 1;
    EXPECT_TRUE(refused(time));              // past the end of the day
}

TEST_F(SyncFileTest, KeyDerivationLimitsAreBoundedBothWays) {
    using sync_format::KdfLimits;
    for (const KdfLimits& l : {KdfLimits{0, 64 * 1024}, KdfLimits{11, 64 * 1024}, KdfLimits{3, 4 * 1024},
                               KdfLimits{3, 2 * 1024 * 1024}, KdfLimits{0xffffffffu, 0xffffffffu}})
        EXPECT_FALSE(sync_format::limitsAccepted(l)) << l.opsLimit << " " << l.memKiB;
    EXPECT_TRUE(sync_format::limitsAccepted(sync_format::kWritten));

    // A file asking for absurd limits is refused before any derivation.
    QByteArray bytes = writeFile(1);
    bytes[16] = char(0xff), bytes[17] = char(0xff), bytes[18] = char(0xff), bytes[19] = char(0x7f);
    EXPECT_FALSE(sync_format::Header::decode(bytes));

    // The program writes the moderate limits.
    SyncFileWriter writer(file());
    ASSERT_TRUE(writer.begin("pw"));
    ASSERT_TRUE(writer.commit());
    const auto header = sync_format::Header::decode(fileBytes(file()));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->limits.opsLimit, sync_format::kWritten.opsLimit);
    EXPECT_EQ(header->limits.memKiB, sync_format::kWritten.memKiB);
}

TEST_F(SyncFileTest, ACutOrAlteredFileIsNeverTakenForACompleteOne) {
    const QByteArray bytes = writeFile(3);
    const SyncKey key = keyOf(bytes);
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
        const Reading r = read(bytes.left(cut), key);
        EXPECT_TRUE(r.end == Status::Malformed || r.end == Status::WrongPassword) << cut;
    }
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        QByteArray altered = bytes;
        altered[at] = char(altered[at] ^ 0x10);
        const Reading r = read(altered, key);
        // The entry count in the header is only a hint for progress: altered,
        // it is caught at the end, against the sealed count.
        EXPECT_NE(r.end, Status::End) << at;
    }
    EXPECT_EQ(read(bytes + QByteArray(1, '\0'), key).end, Status::Malformed);
    QByteArray other = bytes;
    other.replace(0, 6, "XXSYNC");
    EXPECT_EQ(read(other, key).end, Status::Malformed);
}

TEST_F(SyncFileTest, ADamagedFileMergesNothingAndIsReportedOnce) {
    SyncMachine home, work;
    home.addUser("joe", "pw");
    work.addUser("joe", "pw");
    for (int i = 0; i < 4; ++i) home.addEntry("joe", {QString("S%1").arg(i), "joe", "pw"});
    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);
    const QByteArray bytes = fileBytes(file());
    writeBytes(file(), bytes.left(bytes.size() - 30)); // the last entries and the end are missing

    const SyncOutcome o = work.receive("joe", file());
    EXPECT_EQ(o.end, SyncEnd::BadFile);
    EXPECT_TRUE(work.entries().empty());
    const std::vector<Prompt> shown = syncEndMessages(o, SyncDirection::Receive);
    ASSERT_EQ(shown.size(), 2u); // the failure, then: nothing stayed merged
    EXPECT_EQ(shown[0].title, "Invalid Synchronization File");
    EXPECT_EQ(shown[1].text, "Records added:  0\n\nRecords updated:  0");

    writeBytes(file(), "not a synchronization file at all");
    const std::vector<Prompt> once = syncEndMessages(work.receive("joe", file()), SyncDirection::Receive);
    ASSERT_EQ(once.size(), 1u);
    EXPECT_EQ(once[0].title, "Invalid Synchronization File");
}
