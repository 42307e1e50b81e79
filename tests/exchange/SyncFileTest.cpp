// The synchronization file's own format: what a reader accepts and refuses.
#include "SyncMachine.h"
#include "exchange/SyncMessages.h"
#include "exchange/SyncRecordCodec.h"
#include <QBuffer>
#include <QFileInfo>

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
    in.setText("SF_:PASSWORD", QString(QChar(0xFEFF)) + QStringLiteral("pw")); // not taken for a byte-order mark
    ASSERT_TRUE(decodeSyncRecord(encodeSyncRecord(in), out));
    EXPECT_EQ(out.text("SF_:PASSWORD"), in.text("SF_:PASSWORD"));

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
    // At most four times what the program writes (3 passes over 64 MiB),
    // counted as passes times memory and as memory alone.
    for (const KdfLimits& l : {KdfLimits{0, 64 * 1024}, KdfLimits{11, 64 * 1024}, KdfLimits{3, 4 * 1024},
                               KdfLimits{3, 2 * 1024 * 1024}, KdfLimits{0xffffffffu, 0xffffffffu},
                               KdfLimits{10, 1024 * 1024}, KdfLimits{4, 256 * 1024}, KdfLimits{1, 512 * 1024},
                               KdfLimits{10, 128 * 1024}})
        EXPECT_FALSE(sync_format::limitsAccepted(l)) << l.opsLimit << " " << l.memKiB;
    for (const KdfLimits& l : {sync_format::kWritten, sync_format::kLowest, KdfLimits{3, 256 * 1024},
                               KdfLimits{10, 76 * 1024}, KdfLimits{1, 256 * 1024}})
        EXPECT_TRUE(sync_format::limitsAccepted(l)) << l.opsLimit << " " << l.memKiB;

    // A file asking for absurd limits, or the largest the key file allows, is
    // refused before any derivation.
    QByteArray bytes = writeFile(1);
    bytes[16] = char(0xff), bytes[17] = char(0xff), bytes[18] = char(0xff), bytes[19] = char(0x7f);
    EXPECT_FALSE(sync_format::Header::decode(bytes));
    QByteArray costly = writeFile(1);
    QByteArray limits;
    sync_format::putU32(limits, 10);
    sync_format::putU32(limits, 1024 * 1024);
    costly.replace(12, 8, limits);
    EXPECT_FALSE(sync_format::Header::decode(costly));
    QBuffer device(&costly);
    device.open(QIODevice::ReadOnly);
    SyncFileReader reader(device);
    EXPECT_EQ(reader.readHeader(), Status::Malformed);

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

// Small files are written front to back in one go; a larger one goes to the
// disk as it grows and still reads back whole.
TEST_F(SyncFileTest, AFileLargerThanWhatIsHeldInMemoryReadsBackWhole) {
    SyncFileWriter writer(file(), kFastLimits);
    ASSERT_TRUE(writer.begin("pw"));
    Record r = sampleEntry(0);
    QByteArray attachment(64 * 1024, '\0');
    for (int i = 0; i < 300; ++i) {
        attachment[i] = char(i);
        r.setBlob("SF_:ENCRYPTEDFILE", attachment);
        ASSERT_TRUE(writer.write(r));
    }
    ASSERT_TRUE(writer.commit());
    EXPECT_GT(QFileInfo(file()).size(), 16 * 1024 * 1024);
    SyncFileReader::Status end{};
    const std::vector<Record> read = readSyncFile(file(), "pw", &end);
    EXPECT_EQ(end, SyncFileReader::Status::End);
    ASSERT_EQ(read.size(), 300u);
    EXPECT_EQ(read[299].blob("SF_:ENCRYPTEDFILE"), attachment);
}
