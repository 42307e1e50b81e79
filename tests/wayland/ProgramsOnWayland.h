#pragma once
// The fixture of the tests that drive both programs as native Wayland clients
// on a headless sway (or, built with QL_KWIN_SESSION, a headless KWin): a data folder of the test's own whose one user needs no
// password, entries added to it, and the windows the compositor lists.
#include "platform/atspi/AtspiControlTexts.h"
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wlrwindows/WlrWindowSystem.h"
#ifdef QL_KWIN_SESSION
#include "platform/kwinwindows/PlasmaWindowSystem.h"
#include "tests/support/KwinSession.h"
#endif
#include "tests/support/AccessibleButtons.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/StatusNotifierWatcher.h"
#include "tests/support/SessionWindows.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QDBusMessage>
#include <functional>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ql::programs_test {

using namespace ql::testing;
using namespace ql::wayland_test;

// The session's window list on a connection of the test's own.
#ifdef QL_KWIN_SESSION
using SessionWindows = PlasmaWindowSystem;
#else
using SessionWindows = WlrWindowSystem;
#endif

// Saves the session's whole output; a relative name lands in the current
// folder, with "kwin-" before it on KWin.
inline void sessionScreenshot(const QString& name) {
#ifdef QL_KWIN_SESSION
    EXPECT_TRUE(kwin_test::screenshot("kwin-" + name)) << "no screenshot " << name.toStdString();
#else
    screenshot(name);
#endif
}

inline QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "programs_on_wayland";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// Adds records to a table of the folder as the programs read them.
inline void addRecord(const QString& folder, const TableDef& def, const std::function<void(Record&)>& fill) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    setOwnerKey(buildOwnerKey());
    {
        DataTable table(def);
        ASSERT_EQ(table.open(), store_error::NoError) << def.label.toStdString();
        table.record().clear();
        fill(table.record());
        ASSERT_EQ(table.add(), store_error::NoError);
    }
    QDir::setCurrent(previous);
}

// One entry of the folder's user, sent into the window titled `window`.
struct EntryText {
    QString service, name, window;
    QString paste = QStringLiteral("[Name][Tab][Password][Enter]");
    bool watched = false;
};

inline void addEntry(const QString& folder, const EntryText& entry) {
    addRecord(folder, passwordsTable(), [&](Record& r) {
        r.setText("P_:USER", u"Default User");
        r.setText("P_:SERVICE", entry.service);
        r.setText("P_:NAME", entry.name);
        r.setText("P_:PASSWORD", "pw " + entry.name);
        r.setText("P_:PASTE", entry.paste);
        r.setText("P_:WINDOWTITLETOLOCATE", entry.window);
        r.setNumber("P_:MONITOR", entry.watched ? 1 : 0);
    });
}

inline bool hasText(const std::vector<ChildWindow>& controls, const QString& text) {
    for (const ChildWindow& c : controls)
        if (c.text == text) return true;
    return false;
}

class ProgramsOnWayland : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ASSERT_TRUE(data_.isValid());
        ASSERT_TRUE(insideSession());
        makeTables();
    }
    // A command-line run makes the tables (and fails: there is no such user),
    // so the program's start is no new folder's first start, which would wait
    // for an answer to its passphrase offer.
    void makeTables() {
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        run.setProcessEnvironment(env);
        run.start(sessionFile("quillock"), {dataParameter(), "Sync=Out", "User=nobody", "Password=x",
                                            "File=" + data_.filePath("none.syn")});
        ASSERT_TRUE(run.waitForFinished(30000));
    }
    QString dataParameter() const { return QStringLiteral("Data=") + data_.path(); }
    // The folder as the main program's first run leaves it, with one user,
    // "Default User", who needs no password.
    void prepareFolder() {
        {
            SessionProgram quillock(sessionFile("quillock"), {dataParameter()});
            ASSERT_NE(waitForTitle(ws_, "Quillock"), 0u);
        }
        addRecord(data_.path(), usersTable(), [](Record& r) {
            r.setText("U_:NAME", u"Default User");
            r.setText("U_:PASSWORD", u"Not Required");
        });
    }

    // The monitor program in the test's tray, its window brought back by a
    // click on its icon; the window's handle.
    WindowHandle monitorFromTray(StatusNotifierWatcher& watcher);

    QTemporaryDir data_;
    SessionWindows ws_{WaylandConnection::open()};
};

inline WindowHandle ProgramsOnWayland::monitorFromTray(StatusNotifierWatcher& watcher) {
    const QString item = watcher.waitForItem();
    EXPECT_FALSE(item.isEmpty()) << "the monitor did not put its icon into the tray";
    if (item.isEmpty()) return 0;
    EXPECT_EQ(waitForTitle(ws_, "Quillock Monitor", 1000), 0u) << "it starts in the tray, no window";
    // The tray's one click brings the window back.
    QDBusMessage click = QDBusMessage::createMethodCall(item, "/StatusNotifierItem",
                                                        "org.kde.StatusNotifierItem", "Activate");
    click << 0 << 0;
    QDBusConnection::sessionBus().call(click, QDBus::Block, 5000);
    const WindowHandle window = waitForTitle(ws_, "Quillock Monitor");
    EXPECT_NE(window, 0u) << "the tray's click did not bring the window back";
    if (!window) return 0;
    EXPECT_TRUE(waitUntil([&] { return ws_.hasFocus(window); }, 5000, [&] { ws_.waitForChanges(50); }))
        << "the restored window takes the focus";
    return window;
}

} // namespace ql::programs_test
