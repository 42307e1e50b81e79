// The export and import windows driven through their buttons, with scripted
// dialogs and messages.
#include "exchange/views/EnterPictureDialog.h"
#include "exchange/views/ExportPasswordsWindow.h"
#include "exchange/views/ImportPasswordsWindow.h"
#include "exchange/views/MarkingList.h"
#include "framework/ProgressWindow.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "tests/signin/views/ModalAnswers.h"
#include "tests/support/TestApp.h"
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace ql;
using ql::test::ModalAnswers;

namespace {

class ExchangeWindows : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        services = std::make_unique<ProgramServices>(
            ProgramKind::Main, QStringList{"prog", "Data=" + dir.path()}, prompter,
            [](const QString&) {});
        context = std::make_unique<ExchangeContext>(ExchangeContext{
            services->managers().passwords, services->opener(), prompter, services->positions(), csv,
            [this](Record& user, QWidget*) {
                user.setText("U_:NAME", chosenUser);
                return chosenUser.isEmpty() ? 2 : 1;
            }});
    }
    void TearDown() override {
        context.reset();
        services.reset();
        QDir::setCurrent(previous);
    }

    void addEntry(const QString& service, const QString& name) {
        DataTable table(passwordsTable());
        ASSERT_EQ(services->managers().passwords.open(table), 0);
        services->managers().passwords.primeRecord(table.record());
        table.record().setText("P_:USER", u"Alice");
        table.record().setText("P_:SERVICE", service);
        table.record().setText("P_:NAME", name);
        ASSERT_EQ(table.add(), 0);
    }
    static void click(QWidget& window, const char* name, bool queued = false) {
        auto* b = window.findChild<QPushButton*>(QLatin1String(name));
        ASSERT_TRUE(b) << name;
        if (queued) QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
        else b->click();
    }
    static MarkingList* list(QWidget& window, const char* name) {
        return window.findChild<MarkingList*>(QLatin1String(name));
    }
    QStringList titlesAsked() const {
        QStringList titles;
        for (const Prompt& p : prompter.asked) titles << p.title;
        return titles;
    }

    QTemporaryDir dir;
    QString previous;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    CsvFile csv{dialogs, prompter};
    std::unique_ptr<ProgramServices> services;
    std::unique_ptr<ExchangeContext> context;
    QString chosenUser = QStringLiteral("Alice");
};

} // namespace

TEST_F(ExchangeWindows, ExportClosesWithAWarningWhenNoUserIsChosen) {
    chosenUser.clear();
    ExportPasswordsWindow window(*context);
    EXPECT_EQ(window.exec(), QDialog::Rejected);
    EXPECT_EQ(titlesAsked(), QStringList{"Warning"});
    EXPECT_EQ(prompter.asked[0].text, "Export Cancelled.");
}

TEST_F(ExchangeWindows, ExportWritesTheChosenFieldsInTheChosenOrderWithTheirPictures) {
    addEntry("mail", "jdoe");
    addEntry("bank", "jane");
    const QString file = dir.filePath("out.csv");
    dialogs.answers = {file};
    ExportPasswordsWindow window(*context);
    ModalAnswers answers({
        {"Choose Fields for Export...",
         [&](QWidget& w) {
             EXPECT_EQ(list(w, "exportFields")->count(), 20);
             list(w, "exportFields")->markRows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14,
                                                 15, 16, 17, 18, 19});
             click(w, "remove");
             click(w, "ok"); // nothing to export: the window stays
             list(w, "allFields")->markRows({2, 4});
             click(w, "add");
             list(w, "exportFields")->setCurrentRow(1);
             click(w, "shiftUp");
             click(w, "picture", true);
         }},
        {"Enter Picture...",
         [&](QWidget& w) {
             w.findChild<QLineEdit*>("picture")->setText("s20"); // no "@": refused, stays
             click(w, "ok");
             w.findChild<QLineEdit*>("picture")->setText("@n6");
             click(w, "ok", true);
         }},
        {"Choose Fields for Export...",
         [&](QWidget& w) {
             EXPECT_EQ(w.findChild<QLabel*>("pictureDisplay")->text(), "Numeric");
             w.findChild<QCheckBox*>("header")->setChecked(true);
             click(w, "ok", true);
         }},
    });
    EXPECT_EQ(window.exec(), QDialog::Accepted);
    EXPECT_TRUE(answers.finished());
    EXPECT_EQ(window.exported(), 2);
    EXPECT_EQ(titlesAsked(), (QStringList{"No Fields Selected for Export!", "Invalid Picture!", "Done"}));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), "\"P_:Name\",\"P_:Service\"\r\njane,\"bank\"\r\njdoe,\"mail\"\r\n");
}

TEST_F(ExchangeWindows, ImportWindowAssignsColumnsAndHandsTheRunOver) {
    QFile file(dir.filePath("in.csv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"P_:Service\",\"Login\",\"P_:Password\"\r\n\"mail\",\"jdoe\",\"pw\"\r\n");
    file.close();
    dialogs.answers = {file.fileName()};
    ASSERT_GT(csv.openInput(), 0);
    ImportSetup setup(csv);
    ASSERT_TRUE(setup.load());
    std::optional<bool> ranWithHeaderSkipped;
    ImportPasswordsWindow window(setup, prompter, services->positions(),
                                 [&](bool skip) { ranWithHeaderSkipped = skip; });
    ModalAnswers answers({{"Assign fields for Import...", [&](QWidget& w) {
        auto* sources = w.findChild<QTreeWidget*>("sources");
        auto* targets = w.findChild<QTreeWidget*>("targets");
        click(w, "ok"); // nothing assigned: the window stays
        click(w, "auto");
        EXPECT_TRUE(w.findChild<QCheckBox*>("stripHeader")->isChecked());
        EXPECT_EQ(targets->topLevelItem(2)->text(1), "=");
        EXPECT_EQ(targets->topLevelItem(2)->text(2), "Field_1");
        targets->setCurrentItem(targets->topLevelItem(5)); // P_:Password follows to its column
        EXPECT_EQ(sources->indexOfTopLevelItem(sources->currentItem()), 2);
        click(w, "next");
        EXPECT_EQ(w.findChild<QLabel*>("recordNumber")->text(), "2");
        EXPECT_FALSE(w.findChild<QPushButton*>("auto")->isEnabled());
        EXPECT_EQ(sources->topLevelItem(1)->text(2), "jdoe");
        sources->setCurrentItem(sources->topLevelItem(1));
        targets->setCurrentItem(targets->topLevelItem(4));
        click(w, "assign");
        EXPECT_EQ(targets->topLevelItem(4)->text(2), "Field_2");
        targets->setCurrentItem(targets->topLevelItem(2));
        click(w, "unassign");
        EXPECT_EQ(targets->topLevelItem(2)->text(1), "");
        click(w, "next");
        EXPECT_FALSE(w.findChild<QPushButton*>("next")->isEnabled());
        click(w, "ok", true);
    }}});
    EXPECT_EQ(window.exec(), QDialog::Accepted);
    EXPECT_TRUE(answers.finished());
    EXPECT_EQ(ranWithHeaderSkipped, true);
    EXPECT_EQ(titlesAsked(), QStringList{"No Fields Selected for Import!"});
    EXPECT_EQ(setup.assignment().targets()[4].source, 1);
    EXPECT_EQ(setup.assignment().targets()[2].source, -1);
}

TEST_F(ExchangeWindows, TheProgressWindowRunsTicksToTheEndOrUntilCancel) {
    int ticks = 0;
    ProgressWindow done(QStringLiteral("Importing Records"),
                        {[&] { return ++ticks < 5; }, [&] { return QString::number(ticks); }, nullptr});
    done.run();
    EXPECT_EQ(ticks, 5);
    EXPECT_FALSE(done.cancelled());
    EXPECT_EQ(done.findChild<QLabel*>("percent")->text(), "5");

    bool cancelled = false;
    ProgressWindow endless(QStringLiteral("Importing Records"),
                           {[] { return true; }, [] { return QStringLiteral("  1% Completed"); },
                            [&] { cancelled = true; }});
    ModalAnswers answers({{"Importing Records", [](QWidget& w) { click(w, "cancel", true); }}});
    endless.run();
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(endless.cancelled());
}
