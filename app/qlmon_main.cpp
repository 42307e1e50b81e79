#include "monitorapp/MonitorProgram.h"
#include "platform/secure/ProcessHardening.h"
#include <QApplication>
#include <sys/stat.h>

int main(int argc, char** argv) {
    ql::hardenProcess(); // before anything holds a secret: no core dumps, no attaching
    umask(077); // data files, their journals and INI files are the user's alone
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillock Monitor"));
    return ql::runMonitorProgram(QApplication::arguments());
}
