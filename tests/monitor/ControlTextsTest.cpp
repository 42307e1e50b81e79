// Control texts of another program's window through the accessibility bus.
// The test program doubles as that other program: started with --form TITLE it
// shows a small login form and waits to be ended.
#include "monitor/WindowFinder.h"
#include "platform/atspi/AtspiControlTexts.h"
#include "platform/x11windows/X11WindowSystem.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QThread>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

using namespace ql;

namespace {

QString selfPath;

int showForm(int argc, char** argv, const QString& title, bool userLabel) {
    QApplication app(argc, argv);
    QWidget form;
    form.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&form);
    if (userLabel) layout->addWidget(new QLabel("User name"));
    layout->addWidget(new QLineEdit);
    layout->addWidget(new QLabel("Password"));
    layout->addWidget(new QLineEdit("typed text"));
    form.show();
    return app.exec();
}

// Another program showing a form; ended with the test.
struct FormProcess {
    QProcess process;
    FormProcess(const QString& title, bool userLabel) {
        QStringList args{"--form", title};
        if (!userLabel) args << "--no-user-label";
        process.start(selfPath, args);
        process.waitForStarted();
    }
    ~FormProcess() {
        process.kill();
        process.waitForFinished();
    }
    uint32_t pid() const { return uint32_t(process.processId()); }
};

WindowHandle waitForWindow(X11WindowSystem& ws, const QString& title) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        for (const TopWindow& w : ws.topWindows())
            if (w.title == title) return w.handle;
        QThread::msleep(20);
    }
    return 0;
}

bool hasText(const std::vector<ChildWindow>& controls, const QString& text) {
    for (const ChildWindow& c : controls)
        if (c.text == text) return true;
    return false;
}

// The form registers on the bus a moment after its window maps.
std::vector<ChildWindow> waitForControls(ControlTextSource& source, uint32_t pid,
                                         const QString& title) {
    QElapsedTimer timer;
    timer.start();
    std::vector<ChildWindow> controls;
    while (timer.elapsed() < 10000) {
        controls = source.controls(pid, title);
        if (hasText(controls, "Password")) break;
        QThread::msleep(50);
    }
    return controls;
}

} // namespace

TEST(ControlTexts, LabelsAndFieldsOfAnotherProgramsWindow) {
    auto texts = std::make_shared<AtspiControlTexts>();
    ASSERT_TRUE(texts->available()) << "the test session runs an accessibility bus";
    X11WindowSystem ws(nullptr, texts);
    FormProcess form("Login - Form", true);
    WindowHandle window = waitForWindow(ws, "Login - Form");
    ASSERT_NE(window, 0u);
    EXPECT_EQ(ws.processOf(window), form.pid());

    std::vector<ChildWindow> controls = waitForControls(*texts, form.pid(), "Login - Form");
    EXPECT_TRUE(hasText(controls, "User name"));
    EXPECT_TRUE(hasText(controls, "typed text"));
    EXPECT_TRUE(hasText(controls, "<>")) << "the empty field shows no text";
    EXPECT_TRUE(texts->controls(form.pid(), "Some Other Title").empty());

    WindowFinder finder(ws);
    EXPECT_EQ(finder.findTargetWindow("Login*", "user NAME"), window);
    EXPECT_EQ(finder.findTargetWindow("Login*", "Account number"), 0u);
}

TEST(ControlTexts, WindowWithoutTheLabelDoesNotFitAndEndedProgramsAreForgotten) {
    auto texts = std::make_shared<AtspiControlTexts>();
    X11WindowSystem ws(nullptr, texts);
    uint32_t endedPid = 0;
    {
        FormProcess first("Login - First", true);
        ASSERT_NE(waitForWindow(ws, "Login - First"), 0u);
        EXPECT_TRUE(hasText(waitForControls(*texts, first.pid(), "Login - First"), "User name"));
        endedPid = first.pid();
    }
    EXPECT_TRUE(texts->controls(endedPid, "Login - First").empty());

    FormProcess second("Login - Second", false);
    WindowHandle window = waitForWindow(ws, "Login - Second");
    ASSERT_NE(window, 0u);
    std::vector<ChildWindow> controls = waitForControls(*texts, second.pid(), "Login - Second");
    EXPECT_TRUE(hasText(controls, "Password"));
    EXPECT_FALSE(hasText(controls, "User name"));
    WindowFinder finder(ws);
    EXPECT_EQ(finder.findTargetWindow("Login*", "User name"), 0u);
    EXPECT_EQ(finder.findTargetWindow("Login*", "password"), window);
}

TEST(ControlTexts, OwnProcessIsNeverAskedOverTheBus) {
    AtspiControlTexts texts;
    EXPECT_TRUE(texts.controls(uint32_t(getpid()), "anything").empty());
    EXPECT_TRUE(texts.controls(0, "anything").empty());
}

int main(int argc, char** argv) {
    if (argc >= 3 && QString(argv[1]) == "--form")
        return showForm(argc, argv, QString::fromLocal8Bit(argv[2]),
                        !(argc >= 4 && QString(argv[3]) == "--no-user-label"));
    QCoreApplication app(argc, argv);
    selfPath = QCoreApplication::applicationFilePath();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
