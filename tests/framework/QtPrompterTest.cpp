#include "TestApp.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtPrompter.h"
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace ql;

namespace {

// Asks through a real QMessageBox and lets `act` handle the box once it is up.
// Polls for the modal box instead of a zero-time single shot, which can fire
// before the box runs its own event loop.
PromptButton askAndAct(const Prompt& prompt, const std::function<void(QMessageBox&)>& act) {
    testApp();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        poll.stop();
        act(*box);
    });
    poll.start();
    return QtPrompter().ask(prompt);
}

Prompt yesNo() {
    return {"Confirm Delete", "Are you sure?|Really?", int(PromptButton::Yes) | int(PromptButton::No),
            PromptButton::Yes, PromptIcon::Exclamation};
}

} // namespace

TEST(QtPrompter, ShowsThePromptAndReturnsThePressedButton) {
    QString title, text;
    bool yesIsDefault = false;
    int visibleButtons = 0;
    const PromptButton answer = askAndAct(yesNo(), [&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        yesIsDefault = box.defaultButton() == box.button(QMessageBox::Yes);
        for (QAbstractButton* button : box.buttons()) visibleButtons += button->isVisible();
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(answer, PromptButton::No);
    EXPECT_EQ(title, "Confirm Delete");
    EXPECT_EQ(text, "Are you sure?|Really?"); // shown as given
    EXPECT_TRUE(yesIsDefault);
    EXPECT_EQ(visibleButtons, 2);

    EXPECT_EQ(askAndAct(yesNo(), [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); }),
              PromptButton::Yes);
    EXPECT_EQ(askAndAct(yesNo(), [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }),
              PromptButton::Yes);
}

TEST(QtPrompter, EscapeAndClosingAnswerNone) {
    EXPECT_EQ(askAndAct(yesNo(), [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }),
              PromptButton::None);
    EXPECT_EQ(askAndAct(yesNo(), [](QMessageBox& box) { box.close(); }), PromptButton::None);
    const Prompt ok{"Notice", "Shown.", int(PromptButton::Ok), PromptButton::Ok,
                    PromptIcon::Information};
    EXPECT_EQ(askAndAct(ok, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }),
              PromptButton::None);
    EXPECT_EQ(askAndAct(ok, [](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); }),
              PromptButton::Ok);
}

TEST(QtClipboard, ReadsWritesAndCountsEveryChange) {
    testApp();
    QtClipboard clipboard;
    const uint64_t start = clipboard.changeCount();
    clipboard.setText("jdoe");
    EXPECT_EQ(clipboard.text(), "jdoe");
    const uint64_t afterOurs = clipboard.changeCount();
    EXPECT_GT(afterOurs, start);
    QGuiApplication::clipboard()->setText("someone else");
    EXPECT_EQ(clipboard.text(), "someone else");
    EXPECT_GT(clipboard.changeCount(), afterOurs);
}
