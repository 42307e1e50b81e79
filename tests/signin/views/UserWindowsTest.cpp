#include "ModalAnswers.h"
#include "platform/core/SystemClock.h"
#include "signin/views/BrowseUsersWindow.h"
#include "signin/views/UpdateUsersDialog.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace ql;
using ql::test::ModalAnswers;

namespace {

// The user list of a program started on a fresh data folder.
class UserWindows : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        services_ = std::make_unique<ProgramServices>(
            ProgramKind::Main, QStringList{"prog", "Data=" + dir_.path()}, prompter_,
            [](const QString&) {});
    }
    void TearDown() override {
        delete window_;
        services_.reset();
        QDir::setCurrent(previous_);
    }
    BrowseUsersWindow& open() {
        window_ = openBrowseUsers(*services_, clock_, {}, nullptr);
        return *window_;
    }
    QStringList rows() const {
        QStringList names;
        auto* list = window_->list();
        for (int i = 0; i < list->topLevelItemCount(); ++i) names << list->topLevelItem(i)->text(0);
        return names;
    }
    static void press(QWidget& window, const char* button) {
        auto* b = window.findChild<QPushButton*>(QLatin1String(button));
        ASSERT_TRUE(b) << button;
        QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
    }
    static void fill(QWidget& form, const QString& name, const QString& password,
                     const QString& confirmation) {
        form.findChild<QLineEdit*>("name")->setText(name);
        form.findChild<QLineEdit*>("password")->setText(password);
        form.findChild<QLineEdit*>("confirmPassword")->setText(confirmation);
    }
    QString iniText() const {
        QFile file(dir_.filePath("POSITION.INI"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir dir_;
    QString previous_;
    ScriptedPrompter prompter_;
    FakeClock clock_;
    std::unique_ptr<ProgramServices> services_;
    QPointer<BrowseUsersWindow> window_;
};

} // namespace

TEST_F(UserWindows, AUserAddedThroughTheFormIsListedWithHisDefaults) {
    BrowseUsersWindow& window = open();
    EXPECT_EQ(window.windowTitle(), "Users");
    EXPECT_EQ(window.list()->headerItem()->text(0), "Name");
    EXPECT_EQ(rows(), QStringList{"Default User"});

    QStringList seen;
    ModalAnswers answers({{"Adding User", [&](QWidget& form) {
                               auto* tabs = form.findChild<QTabWidget*>();
                               for (int i = 0; i < tabs->count(); ++i) seen << tabs->tabText(i);
                               fill(form, "joe", "pw", "PW");
                               form.findChild<QComboBox*>("passwordType")->setCurrentText("Alphanumeric");
                               form.findChild<QPushButton*>("ok")->click();
                               // Still open after "Passwords do not match.", the password selected.
                               seen << (form.focusWidget() ? form.focusWidget()->objectName() : QString());
                               form.findChild<QLineEdit*>("confirmPassword")->setText("pw");
                               press(form, "ok");
                           }}});
    window.runForm(1);
    EXPECT_TRUE(answers.finished());
    EXPECT_EQ(seen, (QStringList{"General", "Preferences", "Defaults", "password"}));
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_EQ(prompter_.asked[0].title, "Warning");
    EXPECT_EQ(rows(), (QStringList{"Default User", "joe"}));
    EXPECT_EQ(window.list()->currentItem()->text(0), "joe");

    DataTable users(usersTable());
    ASSERT_EQ(users.open(), 0);
    users.record().setText("U_:NAME", u"joe");
    ASSERT_EQ(users.fetch(0), 0);
    EXPECT_EQ(users.record().text("U_:PASSWORDTYPE"), "Alphanumeric");
    EXPECT_EQ(users.record().number("U_:LASTDATECHANGED"), clock_.day);
}

TEST_F(UserWindows, TheLastUserCannotBeDeletedAndTheListKeepsItsColumnWidth) {
    BrowseUsersWindow& window = open();
    QSignalSpy deleted(&window, &BrowseUsersWindow::userDeleted);
    window.runForm(3);
    EXPECT_EQ(deleted.count(), 0);
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_EQ(prompter_.asked[0].title, "Cannot Delete");
    EXPECT_EQ(rows(), QStringList{"Default User"});

    window.list()->setColumnWidth(0, 321);
    window.close();
    EXPECT_TRUE(iniText().contains("SRCF?Browse:1=Name,@s128,321"));
    EXPECT_TRUE(iniText().contains("SRCFOriginal?Browse:1=Name,@s128,240"));
    BrowseUsersWindow& again = open();
    EXPECT_EQ(again.list()->columnWidth(0), 321);
}

TEST_F(UserWindows, ChangingAUserShowsWhenHeWasLastChanged) {
    clock_.day = 80000;
    clock_.time = 4'500'001;
    BrowseUsersWindow& window = open();
    QString line, title;
    ModalAnswers answers({{"Changing User", [&](QWidget& form) {
                               title = form.windowTitle();
                               line = form.findChild<QLabel*>("lastChanged")->text();
                               fill(form, "Everyone", "", "");
                               press(form, "ok");
                           }},
                          {"Changing User", [&](QWidget& form) {
                               line = form.findChild<QLabel*>("lastChanged")->text();
                               press(form, "cancel");
                           }}});
    QSignalSpy changed(&window, &BrowseUsersWindow::userChanged);
    window.runForm(2);
    window.runForm(2);
    EXPECT_TRUE(answers.finished());
    EXPECT_EQ(rows(), QStringList{"Everyone"});
    // Open password lists learn of the new name; the cancelled form tells nothing.
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0], (QVariantList{"Default User", "Everyone"}));
    EXPECT_TRUE(line.startsWith("Last changed ")) << line.toStdString();
    EXPECT_TRUE(line.endsWith(" 12:30PM")) << line.toStdString();
}

// The form shows a stored generator type whatever its spelling or letter
// case, and writes back only a choice the user changed.
TEST_F(UserWindows, ChangingAUserKeepsTheGeneratorDefaultsHeDidNotTouch) {
    BrowseUsersWindow& window = open();
    const auto storeDefaults = [](const QString& type, const QString& joiner) {
        DataTable users(usersTable());
        ASSERT_EQ(users.open(), 0);
        users.record().setText("U_:NAME", u"Default User");
        ASSERT_EQ(users.fetch(0), 0);
        users.record().setText("U_:PASSWORDTYPE", type);
        users.record().setText("U_:CONCATENATIONTYPE", joiner);
        ASSERT_EQ(users.put(), 0);
    };
    const auto stored = [] {
        DataTable users(usersTable());
        EXPECT_EQ(users.open(), 0);
        users.record().setText("U_:NAME", u"Default User");
        EXPECT_EQ(users.fetch(0), 0);
        return QStringList{users.record().text("U_:PASSWORDTYPE").trimmed(),
                           users.record().text("U_:CONCATENATIONTYPE").trimmed()};
    };
    struct Case {
        QString type, joiner, shownType, shownJoiner;
    };
    for (const Case& c : {Case{"Concatenated Words", "hyphen", "Concatenated Word", "Hyphen"},
                          Case{"alphabet only", "NUMBER", "Alphabet Only", "Number"},
                          Case{"Pronounceable", "", "", ""}}) {
        SCOPED_TRACE(c.type.toStdString());
        storeDefaults(c.type, c.joiner);
        QStringList shown;
        ModalAnswers answers({{"Changing User", [&](QWidget& form) {
                                   shown << form.findChild<QComboBox*>("passwordType")->currentText()
                                         << form.findChild<QComboBox*>("concatenationType")->currentText();
                                   press(form, "ok");
                               }}});
        window.runForm(2);
        EXPECT_TRUE(answers.finished());
        EXPECT_EQ(shown, (QStringList{c.shownType, c.shownJoiner}));
        EXPECT_EQ(stored(), (QStringList{c.type, c.joiner}));
    }
    // A choice the user makes is written.
    ModalAnswers answers({{"Changing User", [&](QWidget& form) {
                               form.findChild<QComboBox*>("passwordType")->setCurrentText("Word");
                               press(form, "ok");
                           }}});
    window.runForm(2);
    EXPECT_EQ(stored(), (QStringList{"Word", ""}));
}
