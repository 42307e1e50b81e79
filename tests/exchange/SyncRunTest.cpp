// Sending and receiving between two installations ("machines"), each with a
// data folder of its own.
#include "SyncMachine.h"
#include "exchange/SyncMessages.h"
#include <QFileInfo>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace ql;
using namespace ql::test;

namespace {

class SyncRunTest : public ::testing::Test {
protected:
    SyncMachine home, work;
    QTemporaryDir media; // the removable medium between them
    QString file() const { return media.filePath("quillock.syn"); }

    static QStringList services(const std::vector<Record>& records, const char* field) {
        QStringList out;
        for (const Record& r : records) out << r.text(field);
        return out;
    }
    // Every stored value of every entry, for before-and-after comparisons.
    static QStringList contents(const std::vector<Record>& records) {
        QStringList out;
        for (const Record& r : records)
            for (int i = 0; i < r.fieldCount(); ++i)
                out << (r.def().fields[size_t(i)].type == FieldType::Blob ? QString::fromLatin1(r.blob(i).toHex())
                                                                          : r.text(i));
        return out;
    }
};

} // namespace

TEST_F(SyncRunTest, SendingWritesEveryEntryOfTheUserAndReplacesAnEarlierFile) {
    home.addUser("joe", "s3cret");
    home.addUser("ann", "Not Required");
    home.addEntry("joe", {"Mail", "joe", "pw-mail", 80000, 100});
    home.addEntry("joe", {"Bank", "joe.b", "pw-bank", 70000, 900});
    home.addEntry("JOE", {"Forum", "jb", "pw-forum", 0, 0}); // no date at all still goes
    home.addEntry("ann", {"Mail", "ann", "pw-ann"});

    const SyncOutcome sent = home.send("joe", file());
    EXPECT_EQ(sent.end, SyncEnd::Completed);
    EXPECT_EQ(sent.added, 3);
    SyncFileReader::Status end{};
    const std::vector<Record> read = readSyncFile(file(), "s3cret", &end);
    EXPECT_EQ(end, SyncFileReader::Status::End);
    EXPECT_EQ(services(read, "SF_:SERVICE"), (QStringList{"Bank", "Forum", "Mail"}));
    EXPECT_EQ(services(read, "SF_:USER"), (QStringList{"s3cret", "s3cret", "s3cret"}));
    EXPECT_EQ(services(read, "SF_:PASSWORD"), (QStringList{"pw-bank", "pw-forum", "pw-mail"}));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // The second send to the same path replaces the file, and the user alone
    // may read the new one whatever the old one allowed.
    home.addEntry("joe", {"Shop", "joe", "pw-shop"});
    QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    EXPECT_EQ(home.send("joe", file()).added, 4);
    EXPECT_EQ(readSyncFile(file(), "s3cret").size(), 4u);
    ASSERT_EQ(::stat(QFile::encodeName(file()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(syncEndMessages(home.send("ann", file(), {}, "ann's file"), SyncDirection::Send)[0].text,
              "Records added to the synchonization file:  1");
}

TEST_F(SyncRunTest, AnotherPasswordMergesNothingAndSaysSoOnce) {
    home.addUser("joe", "s3cret");
    home.addUser("free", "Not Required");
    home.addEntry("joe", {"Mail", "joe", "pw"});
    home.addEntry("free", {"Mail", "free", "pw"});
    work.addUser("joe", "other");
    work.addUser("JOE2", "s3cret ");  // trailing blanks do not count
    work.addUser("lower", "S3CRET");  // case does
    work.addEntry("joe", {"Old", "joe", "pw"});
    const QStringList before = contents(work.entries());

    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);
    for (const char* receiver : {"joe", "lower"}) {
        const SyncOutcome o = work.receive(receiver, file());
        EXPECT_EQ(o.end, SyncEnd::PasswordMismatch) << receiver;
        const std::vector<Prompt> shown = syncEndMessages(o, SyncDirection::Receive);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].title, "Password mismatch");
    }
    EXPECT_EQ(contents(work.entries()), before);
    EXPECT_EQ(work.receive("JOE2", file()).added, 1);

    // A user without a password opens a file only with the file's password.
    work.addUser("nopw", "Not Required");
    EXPECT_EQ(work.receive("nopw", file(), {}, "wrong").end, SyncEnd::PasswordMismatch);
    EXPECT_EQ(work.receive("nopw", file(), {}, "s3cret").added, 1);
}

// "Not Required" is public: a file sealed with it could be read, and forged,
// by anyone.
TEST_F(SyncRunTest, NoFileIsSealedOrOpenedWithThePublicTextOfAUserWithoutPassword) {
    home.addUser("free", "Not Required");
    home.addEntry("free", {"Mail", "free", "pw-mail"});
    work.addUser("free", "Not Required");
    for (const QString& refused : {QString("Not Required"), QString("not required  "), QString("  ")}) {
        const SyncOutcome o = home.send("free", file(), {}, refused);
        EXPECT_EQ(o.end, SyncEnd::NoFilePassword) << refused.toStdString();
        EXPECT_EQ(syncEndMessages(o, SyncDirection::Send)[0].title, "File Password Required");
        EXPECT_FALSE(QFile::exists(file()));
    }

    ASSERT_EQ(home.send("free", file(), {}, "file pw").end, SyncEnd::Completed);
    EXPECT_TRUE(readSyncFile(file(), "Not Required").empty());
    EXPECT_EQ(services(readSyncFile(file(), "file pw"), "SF_:PASSWORD"), QStringList{"pw-mail"});
    EXPECT_EQ(work.receive("free", file()).end, SyncEnd::NoFilePassword);
    EXPECT_EQ(work.receive("free", file(), {}, "file pw").added, 1);

    // A forged file sealed with the public text merges nothing.
    {
        SyncFileWriter forger(file(), kFastLimits);
        const std::optional<SyncKey> key = SyncKey::derive("Not Required", forger.prepare());
        ASSERT_TRUE(key && forger.begin(*key));
        Record forged(syncFileTable());
        forged.setText("SF_:USER", u"Not Required");
        forged.setText("SF_:SERVICE", u"Forged");
        forged.setText("SF_:NAME", u"free");
        ASSERT_TRUE(forger.write(forged) && forger.commit());
    }
    EXPECT_EQ(work.receive("free", file()).end, SyncEnd::NoFilePassword);
    EXPECT_EQ(work.receive("free", file(), {}, "Not Required").end, SyncEnd::NoFilePassword);
    EXPECT_FALSE(work.entry("free", "Forged", "free"));
}

TEST_F(SyncRunTest, NewerCopiesWinByDateThenTimeAndNamesMatchWhateverTheCase) {
    home.addUser("joe", "pw");
    work.addUser("joe", "pw");
    // service, name, sent (date, time), held on the other side (date, time)
    home.addEntry("joe", {"Same", "joe", "sent", 80000, 5000});
    work.addEntry("joe", {"same", "JOE", "held", 80000, 5000});
    home.addEntry("joe", {"Hundredth", "joe", "sent", 80000, 5001});
    work.addEntry("joe", {"Hundredth", "joe", "held", 80000, 5000});
    home.addEntry("joe", {"Later time", "joe", "sent", 80000, 8000000});
    work.addEntry("joe", {"Later time", "joe", "held", 80001, 1});
    home.addEntry("joe", {"Next day", "joe", "sent", 80001, 1});
    work.addEntry("joe", {"next day", "Joe", "held", 80000, 8000000});

    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);
    const SyncOutcome o = work.receive("joe", file());
    EXPECT_EQ(o.end, SyncEnd::Completed);
    EXPECT_EQ(o.added, 0);
    EXPECT_EQ(o.updated, 2);
    auto held = [&](const char* service) {
        return work.entry("joe", service, "joe")->text("P_:PASSWORD");
    };
    EXPECT_EQ(held("Same"), "held");
    EXPECT_EQ(held("Hundredth"), "sent");
    EXPECT_EQ(held("Later time"), "held");
    EXPECT_EQ(held("Next day"), "sent");
    EXPECT_EQ(work.entries().size(), 4u);
    // The replaced entry takes the incoming spelling and keeps its identifier.
    const Record replaced = *work.entry("joe", "next day", "joe");
    EXPECT_EQ(replaced.text("P_:SERVICE"), "Next day");
    EXPECT_EQ(replaced.number("P_:ID"), 4);
}

// A sync file carries texts exactly; the receiver finds its own copy of an
// entry whose service or name differs from it only by trailing blanks.
TEST_F(SyncRunTest, BlanksAroundNamesAndPasswordsArriveExactly) {
    home.addUser("joe", "pw");
    work.addUser("joe", "pw");
    home.addEntry("joe", {"  Spaced  ", "user name with spaces ", "   leading and trailing   ", 80001, 1});
    home.addEntry("joe", {"Held", "joe ", "new  ", 80001, 1});
    work.addEntry("joe", {"Held", "joe", "old", 80000, 1});
    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);
    const SyncOutcome o = work.receive("joe", file());
    EXPECT_EQ(o.added, 1);
    EXPECT_EQ(o.updated, 1);
    ASSERT_EQ(work.entries().size(), 2u);
    const Record added = *work.entry("joe", "  Spaced", "user name with spaces");
    EXPECT_EQ(added.text("P_:SERVICE"), "  Spaced  ");
    EXPECT_EQ(added.text("P_:NAME"), "user name with spaces ");
    EXPECT_EQ(added.text("P_:PASSWORD"), "   leading and trailing   ");
    const Record updated = *work.entry("joe", "Held", "joe");
    EXPECT_EQ(updated.text("P_:NAME"), "joe ");
    EXPECT_EQ(updated.text("P_:PASSWORD"), "new  ");
}

TEST_F(SyncRunTest, NewEntriesBelongToTheReceivingUserAndAreSummed) {
    home.addUser("joe", "pw");
    work.addUser("Joseph", "pw");
    work.addUser("joe", "pw");
    home.addEntry("joe", {"Mail", "joe", "m"});
    home.addEntry("joe", {"Bank", "joe", "b"});
    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);

    const SyncOutcome o = work.receive("Joseph", file());
    EXPECT_EQ(services(work.entries(), "P_:USER"), (QStringList{"Joseph", "Joseph"}));
    const std::vector<Prompt> shown = syncEndMessages(o, SyncDirection::Receive);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Done");
    EXPECT_EQ(shown[0].text, "Records added:  2\n\nRecords updated:  0");
    EXPECT_EQ(syncSummaryLine(o, SyncDirection::Receive), "Records added:  2  Records updated:  0");

    // Received again, nothing is newer: no summary at all.
    EXPECT_TRUE(syncEndMessages(work.receive("Joseph", file()), SyncDirection::Receive).empty());
}

TEST_F(SyncRunTest, AttachmentsAndLongNotesArriveWholeAndReplaceOlderOnes) {
    home.addUser("joe", "pw");
    work.addUser("joe", "pw");
    QByteArray attachment(64 * 1024, '\0');
    for (int i = 0; i < attachment.size(); ++i) attachment[i] = char((i * 7919) & 0xff);
    const QString notes = QString(9999, u'n') + QChar(0x00e9);  // 10,000 characters
    const QString more = QString(10000, QChar(0x4e2d));
    auto withFile = [&](Record& r) {
        r.setText("P_:NOTES", notes);
        r.setText("P_:MORENOTES", more);
        r.setBlob("P_:ENCRYPTEDFILE", attachment);
        r.setText("P_:ENCRYPTEDFILENAME", u"keys.bin");
        r.setText("P_:URL", u"https://example.com/login");
        r.setNumber("P_:MONITOR", 1);
        r.setNumber("P_:SECONDSTOWAIT", 199);
        r.setText("P_:PASTE", u"[Name][Tab][Password][Enter]");
    };
    home.addEntry("joe", {"New", "joe", "pw1", 80001, 10}, withFile);
    home.addEntry("joe", {"Held", "joe", "pw2", 80001, 10}, withFile);
    work.addEntry("joe", {"Held", "joe", "old", 80000, 10},
                  [](Record& r) { r.setBlob("P_:ENCRYPTEDFILE", "old file"); });
    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);
    const SyncOutcome o = work.receive("joe", file());
    EXPECT_EQ(o.added, 1);
    EXPECT_EQ(o.updated, 1);

    for (const char* service : {"New", "Held"}) {
        const Record sent = *home.entry("joe", service, "joe");
        const Record got = *work.entry("joe", service, "joe");
        for (int i = 0; i < got.fieldCount(); ++i) {
            if (got.def().fields[size_t(i)].name == "P_:ID") continue;
            EXPECT_EQ(got.blob(i), sent.blob(i)) << got.def().fields[size_t(i)].name.toStdString();
            EXPECT_EQ(got.text(i), sent.text(i)) << got.def().fields[size_t(i)].name.toStdString();
        }
    }
}

TEST_F(SyncRunTest, NoSecretOfASentEntryShowsInTheFile) {
    home.addUser("joe", "UserPassword1");
    home.addEntry("joe", {"VisibleService", "loginname", "EntryPassword1"}, [](Record& r) {
        r.setText("P_:NOTES", u"NotesSecret");
        r.setText("P_:URL", u"https://secret.example");
        r.setBlob("P_:ENCRYPTEDFILE", "AttachmentSecret");
    });
    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);
    const QByteArray raw = fileBytes(file());
    for (const char* secret : {"UserPassword1", "EntryPassword1", "VisibleService", "loginname",
                               "NotesSecret", "secret.example", "AttachmentSecret", "joe"}) {
        const QString text = QString::fromLatin1(secret);
        EXPECT_FALSE(raw.contains(text.toUtf8())) << secret;
        EXPECT_FALSE(raw.contains(QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)))
            << secret;
    }
}

TEST_F(SyncRunTest, AFailedWriteOrACancelLeavesTheReceivingEntriesAsTheyWere) {
    home.addUser("joe", "pw");
    work.addUser("joe", "pw");
    for (int i = 0; i < 6; ++i) home.addEntry("joe", {QString("S%1").arg(i), "joe", "new", 80001, 1});
    for (int i = 0; i < 6; i += 2) work.addEntry("joe", {QString("S%1").arg(i), "joe", "old", 80000, 1});
    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);
    const QStringList before = contents(work.entries());

    for (int failing = 1; failing <= 6; ++failing) {
        int writes = 0;
        const SyncOutcome o = work.receive("joe", file(), [&](SyncReceive& run) {
            run.setEntryWrite([&](DataTable& t, bool adding) {
                if (++writes == failing) return se::AccessDenied;
                return adding ? t.add() : t.put();
            });
            runToEnd(run);
        });
        // Writes alternate: S0 replaced, S1 added, S2 replaced, ...
        EXPECT_EQ(o.end, failing % 2 ? SyncEnd::UpdateFailed : SyncEnd::AddFailed) << failing;
        EXPECT_EQ(o.undone, failing - 1);
        EXPECT_EQ(contents(work.entries()), before) << failing;
        const std::vector<Prompt> shown = syncEndMessages(o, SyncDirection::Receive);
        EXPECT_EQ(shown[0].title, "ERROR");
        EXPECT_TRUE(shown[0].text.startsWith(file() + "\n")) << shown[0].text.toStdString();
        if (failing > 1) {
            EXPECT_EQ(shown.back().text, "Records added:  0\n\nRecords updated:  0");
        }
    }

    const SyncOutcome cancelled = work.receive("joe", file(), [](SyncReceive& run) {
        ASSERT_TRUE(startKeyed(run));
        ASSERT_TRUE(run.step(4));
        EXPECT_EQ(run.percent(), 66);
        run.cancel();
    });
    EXPECT_EQ(cancelled.end, SyncEnd::Cancelled);
    EXPECT_EQ(cancelled.undone, 4);
    EXPECT_EQ(contents(work.entries()), before);

    EXPECT_EQ(work.receive("joe", file()).end, SyncEnd::Completed);
    EXPECT_NE(contents(work.entries()), before);
}

// A running window monitor must reload the receiver's watched entries when a
// watched entry arrives, or when one it watched is replaced by an unwatched copy.
TEST_F(SyncRunTest, AReceiveSaysWhetherItWroteAWatchedEntry) {
    auto watched = [](Record& r) { r.setNumber("P_:MONITOR", 1); };
    home.addUser("joe", "pw");
    work.addUser("joe", "pw");
    home.addEntry("joe", {"Plain", "joe", "p", 80001, 1});
    home.addEntry("joe", {"Stale", "joe", "s", 80000, 1}, watched);
    work.addEntry("joe", {"Stale", "joe", "s", 80001, 1}); // newer here: stays
    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);
    SyncOutcome o = work.receive("joe", file());
    EXPECT_EQ(o.added, 1);
    EXPECT_FALSE(o.watchedChanged) << "neither written entry is watched";

    home.addEntry("joe", {"Watched", "joe", "w", 80001, 1}, watched);
    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);
    o = work.receive("joe", file());
    EXPECT_EQ(o.added, 1);
    EXPECT_TRUE(o.watchedChanged) << "a watched entry was added";

    SyncMachine third;
    third.addUser("joe", "pw");
    third.addEntry("joe", {"Watched", "joe", "w2", 80002, 1}); // no longer watched
    ASSERT_EQ(third.send("joe", file()).end, SyncEnd::Completed);
    o = work.receive("joe", file(), [](SyncReceive& run) {
        ASSERT_TRUE(startKeyed(run));
        run.step(1);
        run.cancel();
    });
    EXPECT_FALSE(o.watchedChanged) << "a cancelled receive wrote nothing";
    o = work.receive("joe", file());
    EXPECT_EQ(o.updated, 1);
    EXPECT_TRUE(o.watchedChanged) << "a watched entry was replaced by an unwatched one";
}

TEST_F(SyncRunTest, ASendThatDoesNotCompleteLeavesThePreviousFileAsItWas) {
    home.addUser("joe", "pw");
    for (int i = 0; i < 5; ++i) home.addEntry("joe", {QString("S%1").arg(i), "joe", "pw"});
    ASSERT_EQ(home.send("joe", file()).end, SyncEnd::Completed);
    home.addEntry("joe", {"Later", "joe", "pw"});
    const QByteArray previous = fileBytes(file());

    // The process dies part-way through the next send.
    EXPECT_EXIT(home.send("joe", file(),
                          [](SyncSend& run) {
                              run.afterEntry = [](uint32_t written) {
                                  if (written == 3) std::raise(SIGKILL);
                              };
                          }),
                ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(fileBytes(file()), previous);
    EXPECT_EQ(readSyncFile(file(), "pw").size(), 5u);

    const SyncOutcome cancelled = home.send("joe", file(), [](SyncSend& run) {
        run.afterEntry = [&run](uint32_t written) {
            if (written == 2) run.cancel();
        };
    });
    EXPECT_EQ(cancelled.end, SyncEnd::Cancelled);
    EXPECT_TRUE(syncEndMessages(cancelled, SyncDirection::Send).empty()); // no "Done"
    EXPECT_EQ(fileBytes(file()), previous);

    // A folder that cannot take the temporary file: the failure is reported, the file stays.
    QFile::setPermissions(media.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const SyncOutcome failed = home.send("joe", file());
    QFile::setPermissions(media.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (::geteuid() != 0) { // root writes anywhere
        EXPECT_EQ(failed.end, SyncEnd::AddFailed);
        const std::vector<Prompt> shown = syncEndMessages(failed, SyncDirection::Send);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_TRUE(shown[0].text.endsWith("\nDisk error adding password record."));
        EXPECT_EQ(fileBytes(file()), previous);
    }
    EXPECT_EQ(QDir(media.path()).entryList(QDir::Files), QStringList{"quillock.syn"});
}

TEST_F(SyncRunTest, AUserWithoutEntriesSendsAnEmptyFileAndNothingIsSaid) {
    home.addUser("joe", "pw");
    work.addUser("joe", "pw");
    const SyncOutcome sent = home.send("joe", file());
    EXPECT_EQ(sent.end, SyncEnd::Completed);
    EXPECT_TRUE(syncEndMessages(sent, SyncDirection::Send).empty());
    const SyncOutcome got = work.receive("joe", file());
    EXPECT_EQ(got.end, SyncEnd::Completed);
    EXPECT_TRUE(syncEndMessages(got, SyncDirection::Receive).empty());
}
