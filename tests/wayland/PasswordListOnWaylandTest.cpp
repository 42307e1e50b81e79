// The main program's Send from the password list on a headless sway or KWin,
// pressed as an assistive tool presses it: the entry's line arrives in a Qt
// receiver, a focus moved away during the send leaves nothing in the other
// window, and a title that fits no window gives "Cannot Send". The frame's
// minimize is a request the compositor may ignore: sway has no minimized
// windows, KWin minimizes the frame.
#include "tests/wayland/ProgramsOnWayland.h"

using namespace ql;
using namespace ql::programs_test;

namespace {

const QString kListTitle = QStringLiteral("Passwords - Default User");

// Answers the test's own bus and compositor events while the programs work.
void serve(SessionWindows& ws) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ws.waitForChanges(20);
}

QString titleOf(SessionWindows& ws, WindowHandle window) {
    for (const TopWindow& w : ws.topWindows())
        if (w.handle == window) return w.title;
    return QStringLiteral("(no window)");
}

class PasswordListOnWayland : public ProgramsOnWayland {
protected:
    // The main program on the folder, its list of the user who needs no
    // password opened by that user's button; the list's window.
    WindowHandle openList(SessionProgram& quillock) {
        frame_ = waitForTitle(ws_, "Quillock");
        if (!frame_) return 0;
        if (!waitUntil([&] { return pressAccessibleButton(quillock.pid(), "Quillock", "Default User"); }, 10000))
            return 0;
        return waitForTitle(ws_, kListTitle);
    }
    bool pressSend(SessionProgram& quillock) {
        return waitUntil([&] { return pressAccessibleButton(quillock.pid(), kListTitle, "Send"); }, 10000);
    }
    WindowHandle frame_ = 0;
};

} // namespace

TEST_F(PasswordListOnWayland, SendTypesTheEntryIntoItsWindowWhileTheFrameStaysTiled) {
    prepareFolder();
    addEntry(data_.path(), {"Webmail", "jdoe", "Sign In - List Send"});
    qputenv("QT_QPA_PLATFORM", "wayland");
    ReceiverProcess receiver(sessionFile("ql_receiver"), "Sign In - List Send");
    const WindowHandle target = waitForTitle(ws_, "Sign In - List Send");
    ASSERT_NE(target, 0u);
    SessionProgram quillock(sessionFile("quillock"), {dataParameter()});
    ASSERT_NE(openList(quillock), 0u) << "the password list did not open";
    sessionScreenshot(QStringLiteral("wayland-password-list.png"));
    ASSERT_TRUE(pressSend(quillock));
    QJsonObject sent;
    waitUntil([&] { return !(sent = receiver.next(20)).isEmpty(); }, 20000, [&] { serve(ws_); });
    EXPECT_EQ(sent["event"].toString(), "submit");
    EXPECT_EQ(sent["user"].toString(), "jdoe");
    EXPECT_EQ(sent["password"].toString(), "pw jdoe");
    EXPECT_TRUE(ws_.hasFocus(target)) << "the send left the focus in its window";
    // The frame asked to be minimized; sway keeps every window in its tiles,
    // so the frame stays listed and shown beside the target, which the send
    // brought forward by itself. KWin minimizes it.
    EXPECT_TRUE(ws_.exists(frame_));
#ifdef QL_KWIN_SESSION
    EXPECT_TRUE(ws_.isMinimized(frame_));
#else
    EXPECT_FALSE(ws_.isMinimized(frame_));
#endif
    sessionScreenshot(QStringLiteral("wayland-password-list-sent.png"));
}

// The entry waits before its first key; the user clicks into another window
// in the meantime.
TEST_F(PasswordListOnWayland, AFocusMovedAwayDuringTheSendStopsItWithNothingTypedElsewhere) {
    prepareFolder();
    addEntry(data_.path(), {"Webmail", "jdoe", "Sign In - Guarded", "[WAIT=200][Name][Tab][Password][Enter]"});
    qputenv("QT_QPA_PLATFORM", "wayland");
    ReceiverProcess target(sessionFile("ql_receiver"), "Sign In - Guarded");
    ReceiverProcess other(sessionFile("ql_receiver"), "Elsewhere - Guarded");
    const WindowHandle targetWindow = waitForTitle(ws_, "Sign In - Guarded");
    const WindowHandle otherWindow = waitForTitle(ws_, "Elsewhere - Guarded");
    ASSERT_TRUE(targetWindow && otherWindow);
    SessionProgram quillock(sessionFile("quillock"), {dataParameter()});
    ASSERT_NE(openList(quillock), 0u);
    ASSERT_TRUE(pressSend(quillock));
    ASSERT_TRUE(waitUntil([&] { return ws_.hasFocus(targetWindow); }, 10000, [&] { serve(ws_); }))
        << "the send did not bring its window forward";
    // Into the wait: a focus moved while the send still asks for its window
    // is asked back before the first key.
    waitUntil([] { return false; }, 600, [&] { serve(ws_); });
    ws_.requestFocus(otherWindow, FocusWay::Ask);
    ASSERT_TRUE(waitUntil([&] { return ws_.hasFocus(otherWindow); }, 5000, [&] { serve(ws_); }))
        << "the focus is on " << titleOf(ws_, ws_.focusedWindow()).toStdString();
    EXPECT_NE(waitForTitle(ws_, "Send Stopped", 10000), 0u) << "the stop was not told";
    sessionScreenshot(QStringLiteral("wayland-send-stopped.png"));
    QJsonObject elsewhere = other.snapshot();
    EXPECT_EQ(elsewhere["event"].toString(), "snapshot");
    EXPECT_EQ(elsewhere["user"].toString(), "") << "nothing typed into the other window";
    EXPECT_EQ(elsewhere["password"].toString(), "");
    QJsonObject guarded = target.snapshot();
    EXPECT_EQ(guarded["user"].toString(), "") << "the send stopped before its first key";
}

TEST_F(PasswordListOnWayland, SendToATitleNoWindowHasGivesCannotSend) {
    prepareFolder();
    addEntry(data_.path(), {"Webmail", "jdoe", "No Such Window Anywhere"});
    SessionProgram quillock(sessionFile("quillock"), {dataParameter()});
    ASSERT_NE(openList(quillock), 0u);
    ASSERT_TRUE(pressSend(quillock));
    ASSERT_NE(waitForTitle(ws_, "Cannot Send", 15000), 0u) << "no message came up";
    AtspiControlTexts texts;
    EXPECT_TRUE(waitUntil(
        [&] {
            return hasText(texts.controls(uint32_t(quillock.pid()), "Cannot Send"),
                           "The associated window does not exist (No Such Window Anywhere).");
        },
        5000));
    sessionScreenshot(QStringLiteral("wayland-cannot-send.png"));
}
