#pragma once
// One installation for synchronization tests: a data folder of its own with
// users and entries made through the record managers. Every operation makes
// the folder current first, since tables resolve against the current folder.
#include "exchange/SyncFileReader.h"
#include "exchange/SyncFileWriter.h"
#include "exchange/SyncReceive.h"
#include "exchange/SyncSend.h"
#include "framework/ErrorManager.h"
#include "platform/recordstore/StoreError.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "store/RecordManagers.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace ql::test {

namespace se = ql::store_error;

// Sync files in tests use the cheapest key derivation a reader accepts.
inline constexpr sync_format::KdfLimits kFastLimits = sync_format::kLowest;

struct EntryValues {
    QString service, name, password;
    qint64 date = 80000;
    qint64 time = 4'000'000;
};

class SyncMachine {
public:
    SyncMachine() {
        setOwnerKey(buildOwnerKey());
        here();
    }
    ~SyncMachine() { QDir::setCurrent(QDir::tempPath()); }

    QString path(const QString& name) const { return folder_.filePath(name); }
    ScriptedPrompter& prompter() { return prompter_; }
    RecordManagers& managers() { return managers_; }

    // Makes this machine's folder current; later table opens resolve there.
    void here() const { QDir::setCurrent(folder_.path()); }

    void addUser(const QString& name, const QString& password) {
        here();
        DataTable users(usersTable());
        ASSERT_EQ(managers_.users.open(users), se::NoError);
        managers_.users.primeRecord(users.record());
        users.record().setText("U_:NAME", name);
        users.record().setText("U_:PASSWORD", password);
        users.record().setText("U_:CONFIRMPASSWORD", password);
        ASSERT_EQ(managers_.users.insert(users), se::NoError);
    }

    Record user(const QString& name) {
        here();
        DataTable users(usersTable());
        EXPECT_EQ(managers_.users.open(users), se::NoError);
        users.record().setText("U_:NAME", name);
        EXPECT_EQ(users.fetch(usersTable().keyIndex("U_:KEYNAME")), se::NoError);
        return users.record();
    }

    // Adds an entry; `fill` may set further fields.
    void addEntry(const QString& user, const EntryValues& v,
                  const std::function<void(Record&)>& fill = {}) {
        here();
        DataTable passwords(passwordsTable());
        ASSERT_EQ(managers_.passwords.open(passwords), se::NoError);
        Record& r = passwords.record();
        managers_.passwords.primeRecord(r);
        r.setText("P_:USER", user);
        r.setText("P_:SERVICE", v.service);
        r.setText("P_:NAME", v.name);
        r.setText("P_:PASSWORD", v.password);
        r.setNumber("P_:LASTCHANGEDATE", v.date);
        r.setNumber("P_:LASTCHANGETIME", v.time);
        if (fill) fill(r);
        ASSERT_EQ(managers_.passwords.insert(passwords), se::NoError);
    }

    // Every entry in stored order, every field included.
    std::vector<Record> entries() {
        here();
        DataTable passwords(passwordsTable());
        EXPECT_EQ(managers_.passwords.open(passwords), se::NoError);
        std::vector<Record> all;
        passwords.setStoredOrder();
        while (passwords.next() == se::NoError) all.push_back(passwords.record());
        return all;
    }

    // The entry of `user` with this service and name (case ignored).
    std::optional<Record> entry(const QString& user, const QString& service, const QString& name) {
        for (const Record& r : entries())
            if (r.sameText(r.fieldIndex("P_:USER"), user) && r.sameText(r.fieldIndex("P_:SERVICE"), service) &&
                r.sameText(r.fieldIndex("P_:NAME"), name))
                return r;
        return std::nullopt;
    }

    // Sends the user's entries sealed with his own password, or with
    // `filePassword` when one is given.
    SyncOutcome send(const QString& userName, const QString& file,
                     const std::function<void(SyncSend&)>& setUp = {}, const QString& filePassword = {}) {
        const Record who = user(userName);
        DataTable passwords(passwordsTable());
        EXPECT_EQ(managers_.passwords.open(passwords), se::NoError);
        SyncFileWriter writer(file, kFastLimits);
        SyncSend run(passwords, who, filePassword.isNull() ? who.text("U_:PASSWORD") : filePassword, writer);
        if (setUp) setUp(run);
        return runToEnd(run);
    }

    // Receives `file` for the user; `drive` may run the steps itself.
    SyncOutcome receive(const QString& userName, const QString& file,
                        const std::function<void(SyncReceive&)>& drive = {}, const QString& filePassword = {}) {
        const Record who = user(userName);
        DataTable passwords(passwordsTable());
        EXPECT_EQ(managers_.passwords.open(passwords), se::NoError);
        QFile in(file);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        SyncFileReader reader(in);
        SyncReceive run(passwords, who, filePassword.isNull() ? who.text("U_:PASSWORD") : filePassword,
                        reader, file);
        if (!drive) return runToEnd(run);
        drive(run);
        return run.outcome();
    }

private:
    struct Halted : std::runtime_error {
        using std::runtime_error::runtime_error;
    };
    QTemporaryDir folder_;
    ScriptedPrompter prompter_;
    ErrorManager errors_{prompter_, [](const QString& text) { throw Halted(text.toStdString()); }};
    RecordManagers managers_{errors_, ProgramKind::Main};
};

// Starts a run and gives it its key, as the drivers do before the steps.
inline bool startKeyed(SyncRun& run) {
    return run.start() && run.useKey(SyncKey::derive(run.keyRequest().password, run.keyRequest().header));
}

// The entries read back from a sync file with the password.
inline std::vector<Record> readSyncFile(const QString& file, const QString& password,
                                        SyncFileReader::Status* end = nullptr) {
    QFile in(file);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    SyncFileReader reader(in);
    std::vector<Record> read;
    SyncFileReader::Status status = reader.readHeader();
    if (status == SyncFileReader::Status::Ok) status = reader.unlock(password);
    Record r(syncFileTable());
    while (status == SyncFileReader::Status::Ok) {
        status = reader.next(r);
        if (status == SyncFileReader::Status::Ok) read.push_back(r);
    }
    if (end) *end = status;
    return read;
}

inline QByteArray fileBytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace ql::test
