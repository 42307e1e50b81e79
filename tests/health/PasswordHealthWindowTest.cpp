#include "HealthFixture.h"
#include "entries/EntryForm.h"
#include "health/views/PasswordHealthWindow.h"
#include "platform/core/SystemClock.h"
#include "tests/support/TestApp.h"
#include <QFile>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>
#include "platform/core/FileDialogs.h"
#include "platform/core/Prompter.h"
#include <QTest>

using namespace ql;

namespace {

class HealthWindow : public ql::test::HealthFixture {
protected:
    void SetUp() override {
        testApp();
        HealthFixture::SetUp();
        clock_.day = kToday;
    }

    Record user(const QString& name) {
        DataTable users(usersTable());
        EXPECT_EQ(managers().users.open(users), 0);
        users.record().setText("U_:NAME", name);
        EXPECT_EQ(users.fetch(usersTable().keyIndex("U_:KEYNAME")), 0);
        return users.record();
    }

    std::unique_ptr<PasswordHealthWindow> openWindow() {
        HealthWindowServices services{clock_, managers().passwords, QStringLiteral("d10"),
                                      [this](int request, DataTable& table, Record& who, QWidget*) {
                                          return runForm(request, table, who);
                                      }};
        auto window = std::make_unique<PasswordHealthWindow>(services, user("amy"));
        EXPECT_TRUE(window->openTable());
        return window;
    }

    // Stands in for the entry form: notes what it was asked and gives the
    // entry a new password, as a user would.
    int runForm(int request, DataTable& table, Record& who) {
        requests_.push_back(request);
        opened_.push_back(table.record().text("P_:SERVICE"));
        formUser_ = who.text("U_:NAME");
        table.record().setText("P_:PASSWORD", newPassword_);
        table.record().setText("P_:CONFIRMPASSWORD", newPassword_);
        EXPECT_EQ(table.put(), 0);
        return form_response::Completed;
    }

    static QString cell(const PasswordHealthWindow& w, int row, int column) {
        return w.table()->item(row, column)->text();
    }

    FakeClock clock_;
    std::vector<int> requests_;
    std::vector<QString> opened_;
    QString formUser_;
    QString newPassword_ = QStringLiteral("mB4!tq9#Lz2@wX7$kP5");
};

TEST_F(HealthWindow, ShowsTheEntriesWorstFirstWithoutTheirPasswords) {
    storeEntry("amy", "Bank", "hV7#qP2!xZ9@mL4$wK8&tR3");
    storeEntry("amy", "Mail", "password");
    storeEntry("amy", "Shop", "correcthorsebatterystaple");
    storeEntry("amy", "Forum", "correcthorsebatterystaple",
               [](Record& r) { r.setNumber("P_:EXPIRYDATE", kToday + 12); });
    storeEntry("amy", "Old", "Zq8!wE3#rT6$yU1%", [](Record& r) { r.setNumber("P_:LASTCHANGEDATE", kToday - 500); });
    storeEntry("bob", "Bank", "password");
    auto window = openWindow();
    window->show();
    ASSERT_EQ(window->table()->rowCount(), 5);
    EXPECT_EQ(cell(*window, 0, PasswordHealthWindow::Service), "Mail");
    EXPECT_EQ(cell(*window, 0, PasswordHealthWindow::Strength), "0 - Very weak");
    EXPECT_EQ(cell(*window, 1, PasswordHealthWindow::Service), "Forum");
    EXPECT_EQ(cell(*window, 1, PasswordHealthWindow::Reused), "Yes, 1 other entry");
    EXPECT_TRUE(cell(*window, 1, PasswordHealthWindow::Expiry).endsWith(" (in 12 days)"));
    EXPECT_EQ(cell(*window, 2, PasswordHealthWindow::Service), "Shop");
    EXPECT_EQ(cell(*window, 3, PasswordHealthWindow::Service), "Old");
    EXPECT_TRUE(cell(*window, 3, PasswordHealthWindow::LastChanged).endsWith(" (over a year)"));
    EXPECT_EQ(cell(*window, 4, PasswordHealthWindow::Service), "Bank");
    EXPECT_EQ(cell(*window, 4, PasswordHealthWindow::Strength), "4 - Very strong");
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < PasswordHealthWindow::ColumnCount; ++c) {
            const QString text = cell(*window, r, c) + window->table()->item(r, c)->toolTip();
            EXPECT_FALSE(text.contains("password") || text.contains("correcthorse") || text.contains("hV7#"))
                << text.toStdString();
        }
    // The test program's folder keeps the screenshot (the data folder is the current one).
    QTest::qWait(50);
    EXPECT_TRUE(window->grab().save(QCoreApplication::applicationDirPath() + "/password-health-window.png"));
}

TEST_F(HealthWindow, EnterOpensTheEntryFormAndTheRowsAreReadAgainAfterIt) {
    storeEntry("amy", "Bank", "hV7#qP2!xZ9@mL4$wK8&tR3");
    storeEntry("amy", "Mail", "qwerty");
    auto window = openWindow();
    window->show();
    window->activateWindow();
    window->table()->setFocus();
    window->table()->setCurrentCell(0, 0);
    ASSERT_EQ(cell(*window, 0, PasswordHealthWindow::Service), "Mail");
    QTest::keyClick(window->table(), Qt::Key_Return);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0], form_request::Change);
    EXPECT_EQ(opened_[0], "Mail");
    EXPECT_EQ(formUser_, "amy");
    // The rows show the new, strong password.
    ASSERT_EQ(window->table()->rowCount(), 2);
    for (int r = 0; r < 2; ++r)
        EXPECT_EQ(cell(*window, r, PasswordHealthWindow::Strength), "4 - Very strong");
}

TEST_F(HealthWindow, AnEntryGoneMeanwhileOpensNoFormAndLeavesTheList) {
    const qint64 mail = storeEntry("amy", "Mail", "qwerty");
    storeEntry("amy", "Bank", "hV7#qP2!xZ9@mL4$wK8&tR3");
    auto window = openWindow();
    {
        DataTable table(passwordsTable());
        ASSERT_EQ(managers().passwords.open(table), 0);
        ASSERT_EQ(table.getByRecordNumber(mail), 0);
        ASSERT_EQ(table.remove(), 0);
    }
    window->openEntry(0);
    EXPECT_TRUE(requests_.empty());
    ASSERT_EQ(window->table()->rowCount(), 1);
    EXPECT_EQ(cell(*window, 0, PasswordHealthWindow::Service), "Bank");
}

TEST_F(HealthWindow, TheExportedListHoldsTheRowsAsShownAndNoPassword) {
    storeEntry("amy", "Bank", "hV7#qP2!xZ9@mL4$wK8&tR3");
    storeEntry("amy", "Mail", "password");
    auto window = openWindow();
    QTemporaryDir out;
    ScriptedFileDialogs files;
    ScriptedPrompter prompter;
    files.answers = {out.filePath("health")};
    window->exportHooks = {&files, &prompter, [](bool offerPasswords, QWidget*) {
                               EXPECT_FALSE(offerPasswords);
                               return std::optional<ListExportChoice>(ListExportChoice{ListExportFormat::Html});
                           }};
    ASSERT_EQ(window->headerMenu()->actions().size(), 1);
    window->headerMenu()->actions()[0]->trigger();
    QFile page(out.filePath("health.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    EXPECT_TRUE(html.contains("<th>Strength</th>"));
    EXPECT_TRUE(html.contains("<td>Mail</td>"));
    EXPECT_TRUE(html.contains("0 - Very weak"));
    EXPECT_FALSE(html.contains("hV7#") || html.contains(">password<"));
}

} // namespace
