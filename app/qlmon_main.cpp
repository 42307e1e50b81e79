#include "monitorapp/views/MonitorProgram.h"
#include "framework/ProgramOptions.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/recordstore/SchemaGuard.h"
#include "platform/secure/ProcessHardening.h"
#include "signin/SettingsKeys.h"
#include "signin/views/UnlockWindow.h"
#include <QApplication>
#include <cstdio>
#include <sys/stat.h>

namespace {

const char* const kUsage =
    "Usage: qlmon [Data=FOLDER]\n"
    "\n"
    "Quillock Monitor, the tray companion of quillock: lists one user's password\n"
    "entries, sends them to other programs and watches for their windows.\n"
    "\n"
    "  Data=FOLDER   the data folder (default: the current folder); quillock must\n"
    "                have run there once\n"
    "  --help        show this text and exit\n"
    "  --version     show the version and exit\n";

// --help and --version answered before the toolkit needs a display.
std::optional<int> answerOptions(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout), err(stderr);
    return ql::answerOptions(arguments, {QStringLiteral("qlmon"), ql::kProgramVersion,
                                         QString::fromLatin1(kUsage), [] { return ql::describeDesktop(); }},
                             out, err);
}

} // namespace

int main(int argc, char** argv) {
    // Before anything holds a secret: no core dumps, no attaching. Until then
    // KWin can see which program this is and lets it bind what typing needs.
    ql::hardenProcess([] { ql::prepareDesktopEarly(); });
    if (const std::optional<int> code = answerOptions(argc, argv)) return *code;
    umask(077); // data files, their journals and INI files are the user's alone
    ql::keepVerdictsIn(ql::userVerdictFile()); // a start on the files the last run left checks none again
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillock Monitor"));
    QGuiApplication::setDesktopFileName(QStringLiteral("qlmon")); // the application id of its windows
    ql::installUnlockWindow(); // a protected data folder asks for its passphrase first
    return ql::runMonitorProgram(QApplication::arguments());
}
