#include "signin/views/AboutWindow.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "tests/signin/views/ModalAnswers.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include "tools/views/TipsPanel.h"
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace ql;
using ql::test::ModalAnswers;

namespace {

void press(QWidget& window, const char* button) {
    auto* b = window.findChild<QPushButton*>(QLatin1String(button));
    ASSERT_TRUE(b) << button;
    QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
}

class AboutWithTips : public ::testing::Test {
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
        services_.reset();
        QDir::setCurrent(previous_);
    }
    void addTips(std::initializer_list<const char*> texts) {
        DataTable tips(tipOfTheDayTable());
        ASSERT_EQ(services_->managers().tipOfTheDay->open(tips), 0);
        for (const char* text : texts) {
            tips.record().clear();
            tips.record().setText("TIP:TIPDESC", QString::fromLatin1(text));
            ASSERT_EQ(tips.add(), 0);
        }
    }
    TipsPanel* panel() {
        return new TipsPanel({*services_->managers().tipOfTheDay, services_->errors(), prompter_,
                              services_->positions()});
    }

    QTemporaryDir dir_;
    QString previous_;
    ScriptedPrompter prompter_;
    std::unique_ptr<ProgramServices> services_;
};

} // namespace

TEST_F(AboutWithTips, TheWindowNamesTheProgramAndShowsTipsAsPlainText) {
    addTips({"<b>first</b>", "second"});
    TipsPanel* tips = panel();
    AboutWindow about(QStringLiteral("Quillock"), services_->positions(), tips);
    EXPECT_EQ(about.windowTitle(), "About Quillock");
    EXPECT_EQ(about.returnButton()->text(), "&Return to Quillock");
    EXPECT_EQ(about.findChild<QLabel*>("version")->text(), "Version 2.72");
    EXPECT_TRUE(about.findChild<QLabel*>("encryption")->text().contains("SQLCipher"));
    EXPECT_EQ(tips->shownText(), "<b>first</b>");
    EXPECT_EQ(about.findChild<QLabel*>("tip")->textFormat(), Qt::PlainText);
    EXPECT_FALSE(tips->previousButton()->isEnabled());
    EXPECT_TRUE(tips->nextButton()->isEnabled());
    tips->next();
    tips->next();
    EXPECT_EQ(tips->shownText(), "second");
    EXPECT_FALSE(tips->nextButton()->isEnabled());
    EXPECT_TRUE(tips->previousButton()->isEnabled());
}

TEST_F(AboutWithTips, ATipAddedThroughAddTipIsReachedWithNext) {
    addTips({"only"});
    TipsPanel* tips = panel();
    AboutWindow about(QStringLiteral("Quillock"), services_->positions(), tips);
    tips->next();
    EXPECT_FALSE(tips->nextButton()->isEnabled());
    QStringList listed;
    ModalAnswers answers({{"Browse Tips", [](QWidget& w) { press(w, "insert"); }},
                          {"Add Tip",
                           [](QWidget& w) {
                               w.findChild<QPlainTextEdit*>("tip")->setPlainText("added");
                               press(w, "ok");
                           }},
                          {"Browse Tips", [&](QWidget& w) {
                               auto* list = w.findChild<QTreeWidget*>("tips");
                               for (int i = 0; i < list->topLevelItemCount(); ++i)
                                   listed << list->topLevelItem(i)->text(0);
                               listed << list->currentItem()->text(0);
                               press(w, "close");
                           }}});
    tips->addTip();
    EXPECT_TRUE(answers.finished());
    EXPECT_EQ(listed, (QStringList{"only", "added", "added"}));
    EXPECT_TRUE(tips->nextButton()->isEnabled());
    tips->next();
    EXPECT_EQ(tips->shownText(), "added");
}
