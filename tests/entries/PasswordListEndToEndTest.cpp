// Drives the real main program on a private X display with real key presses:
// log in as a user with a password, open the password list, add an entry
// through the form, find it by typing, copy its password (and see the frame
// clear the clipboard), and send it to the receiver window.
#include "platform/core/Prompter.h"
#include "platform/recordstore/DataTable.h"
#include "store/ConfigurationSettings.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "tests/support/DesktopDriver.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::testing;

namespace {

const QString kUser = QStringLiteral("Jane Doe");
const QString kUserPassword = QStringLiteral("open sesame");
const QString kListTitle = QStringLiteral("Passwords - Jane Doe");
const QString kReceiverTitle = QStringLiteral("Login - Receiver");
constexpr int kClipboardSeconds = 4;

// The clipboard as another program sees it, once `accept` holds or after the wait.
QString waitForClipboard(const std::function<bool(const QString&)>& accept, int waitMs) {
    QElapsedTimer clock;
    clock.start();
    QString text;
    do {
        QCoreApplication::processEvents();
        text = QGuiApplication::clipboard()->text();
        if (accept(text)) break;
        QThread::msleep(100);
    } while (clock.elapsed() < waitMs);
    return text;
}

// A data folder as a first run leaves it, whose one user has a password, with
// 19 entries of that user and the clipboard cleared a few seconds after a copy.
void prepareDataFolder(const QString& folder) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    setOwnerKey(buildOwnerKey());
    {
        DataTable users(usersTable());
        ASSERT_EQ(users.create(), 0);
        ASSERT_EQ(users.open(), 0);
        users.record().setText("U_:NAME", kUser);
        users.record().setText("U_:PASSWORD", kUserPassword);
        users.record().setText("U_:CONFIRMPASSWORD", kUserPassword);
        ASSERT_EQ(users.add(), 0);
        DataTable entries(passwordsTable());
        ASSERT_EQ(entries.create(), 0);
        ASSERT_EQ(entries.open(), 0);
        const QStringList services{"Bank", "Cloud Drive", "Dentist", "Electricity", "Forum",
                                   "Gym", "Hosting", "Insurance", "Journal", "Kindergarten",
                                   "Library", "Mobile", "News", "Office", "Pension", "Radio",
                                   "Shop", "Taxes", "Video"};
        for (int i = 0; i < services.size(); ++i) {
            Record& r = entries.record();
            r.clear();
            r.setText("P_:USER", kUser);
            r.setText("P_:SERVICE", services[i]);
            r.setText("P_:NAME", QStringLiteral("jane%1").arg(i));
            r.setText("P_:URL", QStringLiteral("https://%1.example.com").arg(services[i].toLower().remove(' ')));
            r.setText("P_:PASSWORD", QStringLiteral("other%1").arg(i));
            r.setText("P_:NOTES", QStringLiteral("Account number %1").arg(1000 + i * 37));
            r.setNumber("P_:LASTCHANGEDATE", 81000 + i * 11);
            r.setNumber("P_:EXPIRYDATE", i % 4 == 0 ? 82500 + i : 0);
            ASSERT_EQ(entries.add(), 0);
        }
        DataTable configuration(configurationTable());
        ASSERT_EQ(configuration.create(), 0);
    }
    ScriptedPrompter prompter;
    ConfigurationSettings settings(prompter);
    // What a first run stores, with the clipboard cleared after a few seconds.
    const std::vector<std::pair<QString, QString>> values{
        {"QL_Version", "2.72"}, {"QL_Skip", "1"}, {"QL_GD", "50"}, {"QL_BS", "7"},
        {"QL_MA", "1"},        {"QL_CI", QString::number(kClipboardSeconds)}};
    for (const auto& [key, value] : values) settings.putSetting(value, key);
    ASSERT_TRUE(prompter.asked.empty());
    QDir::setCurrent(previous);
}

class RunningQuillock : public RunningProgram {
public:
    explicit RunningQuillock(const QString& dataFolder)
        : RunningProgram(QStringLiteral(QUILLOCK_BINARY), {"Data=" + dataFolder}) {}

    // "Pass&words", the password prompt of the only user, and the list.
    QString openList() {
        const QString frame = waitForWindow(pid(), QStringLiteral("Quillock"));
        if (frame.isEmpty()) return {};
        const QString prompt =
            openFrom(pid(), frame, {"Escape", "alt+f", "w"}, QStringLiteral("Security Check"));
        if (prompt.isEmpty()) return {};
        typeText(kUserPassword);
        keys({"Return"});
        const QString list = waitForWindow(pid(), kListTitle);
        if (!list.isEmpty()) activate(list);
        return list;
    }
};

} // namespace

TEST(PasswordListEndToEnd, AddFindCopyAndSendFromTheListWithTheKeyboard) {
    int argc = 1;
    char name[] = "password_list_e2e";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    prepareDataFolder(data.path());
    ReceiverProcess receiver(QStringLiteral(QL_RECEIVER_PATH), kReceiverTitle);
    ASSERT_NE(receiver.window, 0u) << "the receiver did not come up";
    RunningQuillock quillock(data.path());
    const QString list = quillock.openList();
    ASSERT_FALSE(list.isEmpty()) << "the password list did not open";

    // Add an entry through the form: service, name, password twice, and the
    // receiver's window as the one to send to.
    keys({"alt+a"});
    const QString form = waitForWindow(quillock.pid(), QStringLiteral("Add Password Information"));
    ASSERT_FALSE(form.isEmpty()) << "Add did not open the form";
    activate(form);
    typeText("Webmail");
    keys({"Tab", "Tab"});
    typeText("jdoe");
    keys({"Tab"});
    typeText("s3cret pass");
    keys({"Tab"});
    typeText("s3cret pass");
    keys({"ctrl+Tab", "ctrl+Tab", "ctrl+Tab", "alt+l"});
    typeText(kReceiverTitle);
    keys({"Tab", "alt+o"});
    ASSERT_TRUE(waitForWindow(quillock.pid(), QStringLiteral("Add Password Information"), 0).isEmpty() ||
                !waitForWindow(quillock.pid(), kListTitle).isEmpty());
    QThread::msleep(500);
    activate(list);

    // Find it by its first letters, and look at the list of 20 entries.
    keys({"ctrl+Home"});
    typeText("web");
    QThread::msleep(300);
    screenshot("password-list-e2e.png");

    // Its password on the clipboard, cleared by the frame after its time.
    keys({"alt+p"});
    const QString copied = waitForClipboard([](const QString& t) { return t == "s3cret pass"; }, 3000);
    EXPECT_EQ(copied, "s3cret pass") << "the located entry's password was not copied";
    const QString cleared =
        waitForClipboard([](const QString& t) { return t.isEmpty(); }, (kClipboardSeconds + 4) * 1000);
    EXPECT_EQ(cleared, "") << "the clipboard was not cleared";

    // Send through the list's pop-up menu (Insert, Change, Delete, Launch
    // URL, Send): the receiver gets the name, a Tab, the password and Enter.
    activate(list);
    keys({"Menu", "Down", "Down", "Down", "Down", "Down", "Return"});
    const QJsonObject sent = receiver.next(20000);
    EXPECT_EQ(sent["event"].toString(), "submit");
    EXPECT_EQ(sent["user"].toString(), "jdoe");
    EXPECT_EQ(sent["password"].toString(), "s3cret pass");
    screenshot("password-list-e2e-sent.png");
}
