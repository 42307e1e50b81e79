#pragma once
// A data folder with the user "amy" and the fakes the entry form works through.
#include "entries/EntryForm.h"
#include "platform/core/FakeWindowSystem.h"
#include "platform/core/SystemClock.h"
#include "platform/core/DayNumber.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace ql::test {

// A clipboard that remembers every text it was given.
class RecordingClipboard : public FakeClipboard {
public:
    QStringList history;
    void setText(const QString& t) override {
        history << t;
        FakeClipboard::setText(t);
    }
};

class EntryFormFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        services_ = std::make_unique<ProgramServices>(
            ProgramKind::Main, QStringList{"prog", "Data=" + dir_.path()}, prompter_,
            [](const QString&) {});
        addUser(QStringLiteral("amy"), QStringLiteral("amy.smith"));
        user_.setText("U_:NAME", u"amy");
        user_.setText("U_:LASTNAMEUSED", u"amy.smith");
        ASSERT_EQ(managers().passwords.open(passwords_), 0);
        clock_.day = dayNumber(QDate(2026, 12, 8));
        clock_.time = timeNumber(QTime(17, 43, 12));
    }
    void TearDown() override {
        passwords_.close();
        services_.reset();
        QDir::setCurrent(previous_);
    }

    RecordManagers& managers() { return services_->managers(); }

    EntryFormServices formServices() {
        return {clock_, prompter_, clipboard_, windows_, files_, launcher_, settings_,
                managers().passwords, managers().users, managers().scriptPaste,
                [this](const QString& user) { watched_ << user; }, [this] { ++beeps_; }};
    }

    void addUser(const QString& name, const QString& lastName) {
        DataTable users(usersTable());
        ASSERT_EQ(managers().users.open(users), 0);
        users.record().setText("U_:NAME", name);
        users.record().setText("U_:LASTNAMEUSED", lastName);
        ASSERT_EQ(users.add(), 0);
    }

    // Stores an entry of `user` and returns its record number.
    qint64 storeEntry(const QString& service, const QString& name,
                      const QString& user = QStringLiteral("amy")) {
        DataTable table(passwordsTable());
        EXPECT_EQ(managers().passwords.open(table), 0);
        managers().passwords.primeRecord(table.record());
        table.record().setText("P_:USER", user);
        table.record().setText("P_:SERVICE", service);
        table.record().setText("P_:NAME", name);
        table.record().setText("P_:PASSWORD", u"x1");
        table.record().setText("P_:CONFIRMPASSWORD", u"x1");
        EXPECT_EQ(table.add(), 0);
        return table.recordNumber();
    }

    // Makes a stored entry the current record of the form's table.
    void makeCurrent(qint64 recordNumber) { ASSERT_EQ(passwords_.getByRecordNumber(recordNumber), 0); }

    void primeNew() { managers().passwords.primeRecord(passwords_.record()); }

    // The stored entry with this service of amy's, or a blank record.
    Record stored(const QString& service, const QString& name) {
        DataTable table(passwordsTable());
        managers().passwords.open(table);
        table.record().setText("P_:USER", u"amy");
        table.record().setText("P_:SERVICE", service);
        table.record().setText("P_:NAME", name);
        if (table.fetch(passwordsTable().keyIndex(QLatin1String("P_:KEYSERVICE"))) != 0)
            table.record().clear();
        return table.record();
    }

    qint64 storedEntries() {
        DataTable table(passwordsTable());
        managers().passwords.open(table);
        return table.records();
    }

    Record storedUser(const QString& name) {
        DataTable users(usersTable());
        managers().users.open(users);
        users.record().setText("U_:NAME", name);
        users.fetch(usersTable().keyIndex(QLatin1String("U_:KEYNAME")));
        return users.record();
    }

    QStringList storedSendTexts() {
        DataTable table(scriptPasteTable());
        QStringList texts;
        if (managers().scriptPaste.open(table) != 0) return texts;
        table.setStoredOrder();
        while (table.next() == 0) texts << table.record().text("SP_:PASTE");
        return texts;
    }

    QStringList askedTitles() const {
        QStringList titles;
        for (const Prompt& p : prompter_.asked) titles << p.title;
        return titles;
    }

    QTemporaryDir dir_;
    QString previous_;
    ScriptedPrompter prompter_;
    std::unique_ptr<ProgramServices> services_;
    FakeClock clock_;
    RecordingClipboard clipboard_;
    FakeWindowSystem windows_;
    ScriptedFileDialogs files_;
    FakeLauncher launcher_;
    MemorySettings settings_;
    QStringList watched_;
    int beeps_ = 0;
    Record user_{usersTable()};
    DataTable passwords_{passwordsTable()};
};

} // namespace ql::test
