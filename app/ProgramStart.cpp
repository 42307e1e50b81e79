#include "app/ProgramStart.h"
#include "framework/ProgramOptions.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/recordstore/SchemaGuard.h"
#include "platform/secure/ProcessHardening.h"
#include "signin/SettingsKeys.h"
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <sys/stat.h>

namespace ql {

namespace {

QStringList argumentList(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

std::optional<int> answerOptions(int argc, char** argv, const ProgramIdentity& identity) {
    const QStringList arguments = argumentList(argc, argv);
    if (identity.leaveAlone && identity.leaveAlone(arguments)) return std::nullopt;
    QTextStream out(stdout), err(stderr);
    const ProgramUsage usage{QString::fromLatin1(identity.command), kProgramVersion,
                             QString::fromLatin1(identity.usage), [] { return describeDesktop(); }};
    return ql::answerOptions(arguments, usage, out, err);
}

} // namespace

std::optional<int> startProgram(int argc, char** argv, const ProgramIdentity& identity) {
    // Before anything holds a secret: no core dumps, no attaching. Until then
    // KWin can see which program this is and lets it bind what typing needs.
    hardenProcess([] { prepareDesktopEarly(); });
    if (const std::optional<int> code = answerOptions(argc, argv, identity)) return code;
    umask(077); // data files, their journals and INI files are the user's alone
    keepVerdictsIn(userVerdictFile()); // a start on the files the last run left checks none again
    return std::nullopt;
}

bool commandLineWithoutDisplay(int argc, char** argv, bool (*leaveAlone)(const QStringList&)) {
    if (!leaveAlone || !leaveAlone(argumentList(argc, argv))) return false;
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platform == u"offscreen" || platform == u"minimal") return true; // windows nobody sees
    if (!platform.isEmpty()) return false;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return false;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}

void nameProgram(const ProgramIdentity& identity) {
    QGuiApplication::setApplicationName(QString::fromLatin1(identity.applicationName));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(identity.command));
}

} // namespace ql
