#pragma once
// Finding windows on the compositor's list in tests that run inside
// tests/support/wayland-session.sh, with any of our Wayland window systems.
#include "platform/core/WindowSystem.h"
#include "platform/wayland/WaylandConnection.h"
#include "tests/support/WaylandSession.h"
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace ql::wayland_test {

// A connection of the test's own; a failure when there is no compositor.
inline std::shared_ptr<WaylandConnection> connectOrFail() {
    std::shared_ptr<WaylandConnection> c = WaylandConnection::open();
    EXPECT_NE(c, nullptr) << "no compositor at $WAYLAND_DISPLAY";
    return c;
}

// The handle of the listed window titled `title`, waiting up to `waitMs` for
// it while the list reads the compositor's changes; the test's own bus calls
// are answered meanwhile. 0 when none came.
template <class Windows>
WindowHandle waitForTitle(Windows& ws, const QString& title, int waitMs = 20000) {
    WindowHandle found = 0;
    waitUntil(
        [&] {
            for (const TopWindow& w : ws.topWindows())
                if (w.title == title) found = w.handle;
            return found != 0;
        },
        waitMs, [&] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            ws.waitForChanges(50);
        });
    return found;
}

} // namespace ql::wayland_test
