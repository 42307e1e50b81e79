#include "platform/qt/DesktopLauncher.h"
#include <QDesktopServices>
#include <QProcess>

namespace ql {

bool DesktopLauncher::openUrl(const QUrl& url) {
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool DesktopLauncher::startDetached(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace ql
