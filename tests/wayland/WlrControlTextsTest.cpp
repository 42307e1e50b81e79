// A Qt program's window on Wayland, found by its title and the texts of its
// controls (the accessibility bus), as the window monitor finds its targets.
#include "monitor/WindowFinder.h"
#include "platform/atspi/AtspiControlTexts.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wlrwindows/WlrWindowSystem.h"
#include "tests/support/WaylandSession.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <gtest/gtest.h>
#include <optional>

using namespace ql;
using namespace ql::wayland_test;

namespace {

bool hasText(const std::vector<ChildWindow>& controls, const QString& text) {
    for (const ChildWindow& c : controls)
        if (c.text == text) return true;
    return false;
}

WindowHandle titled(WlrWindowSystem& ws, const QString& title) {
    for (const TopWindow& w : ws.topWindows())
        if (w.title == title) return w.handle;
    return 0;
}

} // namespace

TEST(WlrControlTexts, ANativeQtWindowIsFoundByTitleAndByTheTextsOfItsControls) {
    qputenv("QT_QPA_PLATFORM", "wayland");
    auto texts = std::make_shared<AtspiControlTexts>();
    ASSERT_TRUE(texts->available()) << "the session runs an accessibility bus";
    WlrWindowSystem ws(WaylandConnection::open(), texts);
    std::optional<ReceiverProcess> withLabel;
    withLabel.emplace(sessionFile("ql_receiver"), "Login - Wayland");
    ReceiverProcess without(sessionFile("ql_receiver"), "Login - Other", {"--no-user-label"});
    ASSERT_NE(withLabel->window, 0u) << "the receiver came up on the compositor";
    ASSERT_NE(without.window, 0u);
    const WindowHandle window = titled(ws, "Login - Wayland");
    const WindowHandle other = titled(ws, "Login - Other");
    ASSERT_TRUE(window && other);
    EXPECT_EQ(ws.appIdOf(window), "ql_receiver");

    std::vector<ChildWindow> controls;
    ASSERT_TRUE(waitUntil([&] {
        controls = ws.childWindows(window);
        return hasText(controls, "User name");
    }, 10000));
    EXPECT_TRUE(hasText(controls, "Password"));
    EXPECT_TRUE(texts->controlsOfTitled("Login - Nobody shows this").empty());

    WindowFinder finder(ws);
    EXPECT_EQ(finder.findTargetWindow("Login*", "user NAME"), window);
    EXPECT_EQ(finder.findTargetWindow("Login - O*", "password"), other);
    EXPECT_EQ(finder.findTargetWindow("Login*", "Account number"), 0u);
    screenshot(QStringLiteral("wlr-receivers.png"));

    // A closed program's window is forgotten, though its title was remembered.
    withLabel.reset();
    EXPECT_TRUE(waitUntil([&] { return texts->controlsOfTitled("Login - Wayland").empty(); }, 5000));
}
