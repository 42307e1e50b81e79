// Keystrokes into an X11 program under XWayland (xterm) on a headless sway,
// through the keyboard the desktop chooser gives the session: the window the
// monitor found is an ordinary entry of the compositor's list, and the line
// arrives exactly however the keyboard routes it.
#include "keys/KeystrokeSender.h"
#include "platform/core/SystemClock.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/wlrwindows/WlrWindowSystem.h"
#include "tests/support/WaylandSession.h"
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::wayland_test;

namespace {

// ASCII punctuation, then letters beyond it that no single layout holds.
const QString kHardLine = QString::fromUtf8("^`~'\"\\|{}<> \xc3\xa4\xc3\xa9\xc3\xb1 \xc4\x9f\xc4\xb1\xc5\x9f "
                                            "\xc4\x85\xc5\x82 \xce\xb1\xce\xb2 \xd0\xb6\xd1\x89 \xe2\x82\xac\xc2\xbd");

QString fileText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// An xterm under XWayland that writes the first line it reads into `out`.
SessionProgram lineReader(const QString& title, const QString& out) {
    return SessionProgram(QStringLiteral("xterm"),
                          {QStringLiteral("-T"), title, QStringLiteral("-u8"), QStringLiteral("-e"),
                           QStringLiteral("sh"), QStringLiteral("-c"),
                           QStringLiteral("IFS= read -r l; printf '%s' \"$l\" > '") + out +
                               QStringLiteral("'; sleep 600")},
                          xwaylandEnvironment());
}

WindowHandle waitForTitle(WindowSystem& ws, const QString& title) {
    WindowHandle found = 0;
    waitUntil([&] {
        for (const TopWindow& w : ws.topWindows())
            if (w.title == title) found = w.handle;
        return found != 0;
    }, 10000);
    return found;
}

// Types `line` and Enter into the window titled `title` with `keyboard`;
// what the program read.
QString typedInto(Keyboard& keyboard, WindowSystem& windows, const QString& title) {
    QTemporaryDir dir;
    const QString out = dir.filePath("line.txt");
    SessionProgram xterm = lineReader(title, out);
    const WindowHandle window = waitForTitle(windows, title);
    EXPECT_NE(window, 0u) << "xterm did not come up under XWayland";
    if (!window) return {};
    SystemClock clock;
    KeystrokeSender sender(keyboard, clock, windows, SendPacing{20, 7});
    EXPECT_EQ(sender.sendDirect(window, kHardLine + QStringLiteral("[Enter]"), 1), SendOutcome::Completed);
    waitUntil([&] { return !fileText(out).isEmpty(); }, 5000);
    return fileText(out);
}

} // namespace

TEST(XWaylandKeys, TheSessionsKeyboardTypesAHardLineExactlyIntoAnX11Program) {
    DesktopBackends desktop = openDesktop({});
    ASSERT_TRUE(desktop.keyboard->available()) << desktop.statusText().toStdString();
    EXPECT_EQ(typedInto(*desktop.keyboard, *desktop.windows, "XWayland - Session keyboard"), kHardLine);
    screenshot(QStringLiteral("xwayland-session-keyboard.png"));
}
