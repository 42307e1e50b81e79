// On a KWin that checks permissions, both programs get its window management
// and fake input when a desktop entry names their executable, although they
// hide their executable from other processes once hardened; a copy that no
// entry names gets neither.
#include "tests/support/WaylandSession.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace ql::wayland_test;

namespace {

// A hidden desktop entry like the installed ones, for `program`.
void installEntry(const QString& name, const QString& program) {
    const QString folder = qEnvironmentVariable("XDG_DATA_HOME") + "/applications";
    QDir().mkpath(folder);
    QFile entry(folder + "/" + name + ".desktop");
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly | QIODevice::Truncate));
    entry.write(("[Desktop Entry]\nType=Application\nName=" + name + "\nNoDisplay=true\nExec=" + program +
                 "\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input,org_kde_plasma_window_management,"
                 "org_kde_kwin_keystate\n").toUtf8());
}

QString versionText(const QString& program) {
    QProcess p;
    p.start(program, {"--version"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(KwinPermission, ProgramsNamedByADesktopEntryTypeAndAnUnnamedCopyDoesNot) {
    ASSERT_TRUE(insideSession());
    ASSERT_TRUE(qEnvironmentVariable("KWIN_WAYLAND_NO_PERMISSION_CHECKS").isEmpty());
    installEntry("quillock", sessionFile("quillock"));
    installEntry("qlmon", sessionFile("qlmon"));
    ASSERT_EQ(QProcess::execute("kbuildsycoca5", {"--noincremental"}), 0);

    EXPECT_TRUE(versionText(sessionFile("quillock")).contains("Keystrokes: KWin fake input (kwin_wayland)"));
    EXPECT_TRUE(versionText(sessionFile("qlmon")).contains("Keystrokes: KWin fake input (kwin_wayland)"));

    const QString unnamed = QDir::current().filePath("quillock-copy");
    QFile::remove(unnamed);
    ASSERT_TRUE(QFile::copy(sessionFile("quillock"), unnamed));
    const QString text = versionText(unnamed);
    EXPECT_TRUE(text.startsWith("quillock ")) << text.toStdString();
    EXPECT_FALSE(text.contains("Keystrokes")) << text.toStdString();
    QFile::remove(unnamed);
}
