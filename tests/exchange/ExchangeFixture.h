#pragma once
#include "exchange/CsvFile.h"
#include "exchange/ExchangeFields.h"
#include "exchange/ImportRun.h"
#include "exchange/ImportSetup.h"
#include "exchange/PasswordExport.h"
#include "framework/ErrorManager.h"
#include "platform/recordstore/StoreError.h"
#include "store/DataFileOpener.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "store/RecordManagers.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace ql::test {

// A data folder made current with an empty Passwords table, the program's
// owner key, scripted dialogs and messages, and the import and export run
// the way their windows run them.
class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        setOwnerKey(buildOwnerKey());
        ASSERT_EQ(managers.passwords.open(passwords), store_error::NoError);
    }
    void TearDown() override {
        passwords.close();
        QDir::setCurrent(previous);
    }

    QString filePath(const QString& name) const { return folder.filePath(name); }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Adds an entry; `fill` sets fields of the primed buffer.
    template <typename Fill>
    void addEntry(const QString& user, const QString& service, const QString& name, Fill fill) {
        Record& r = passwords.record();
        managers.passwords.primeRecord(r);
        r.setText("P_:USER", user);
        r.setText("P_:SERVICE", service);
        r.setText("P_:NAME", name);
        fill(r);
        ASSERT_EQ(passwords.add(), store_error::NoError) << passwords.errorText().toStdString();
    }
    void addEntry(const QString& user, const QString& service, const QString& name) {
        addEntry(user, service, name, [](Record&) {});
    }

    int exportTo(const QString& path, const QString& user, bool header,
                 const std::vector<FieldRow>& rows = ExportFieldList().exportFields()) {
        dialogs.answers = {path};
        return PasswordExport(passwords, csv, prompter).run(user, rows, header);
    }

    // Opens the file as the import window does; false when it has no line.
    bool openImport(const QString& path) {
        dialogs.answers = {path};
        fileSize = csv.openInput();
        return fileSize > 0 && setup.load();
    }
    // Runs the import to its end, a tick at a time.
    ImportTotals runImport(const QString& user, bool skipHeader, int* ticks = nullptr) {
        ImportRun run(importSetup(user, skipHeader));
        int n = 0;
        if (run.start())
            while (run.step()) ++n;
        if (ticks) *ticks = n + 1;
        csv.close();
        return run.totals();
    }
    ImportRun::Setup importSetup(const QString& user, bool skipHeader) {
        return {csv, fileSize, passwords, managers.passwords, opener, prompter, user,
                setup.assignment(), skipHeader};
    }
    void assign(const char* column, const char* field) {
        const auto& sources = setup.assignment().sources();
        int source = -1;
        for (size_t i = 0; i < sources.size(); ++i)
            if (sources[i].name == QLatin1String(column)) source = int(i);
        setup.assignment().assign(source, exchangeFieldIndex(QString::fromLatin1(field)));
    }

    // The user's entries in service, then login-name order, read afresh.
    std::vector<Record> entriesOf(const QString& user) {
        DataTable table(passwordsTable());
        EXPECT_EQ(table.open(), store_error::NoError);
        table.record().setText("P_:USER", user);
        table.setPosition(passwordsTable().keyIndex("P_:KEYSERVICE"));
        std::vector<Record> found;
        while (table.next() == store_error::NoError && table.record().sameText(1, user))
            found.push_back(table.record());
        return found;
    }

    static Halt throwingHalt() {
        return [](const QString& text) { throw std::runtime_error(text.toStdString()); };
    }

    QTemporaryDir folder;
    QString previous;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    ErrorManager errors{prompter, throwingHalt()};
    RecordManagers managers{errors, ProgramKind::Main};
    DataFileOpener opener{prompter, throwingHalt()};
    DataTable passwords{passwordsTable()};
    CsvFile csv{dialogs, prompter};
    ImportSetup setup{csv};
    qint64 fileSize = 0;
};

} // namespace ql::test
