#include "monitorapp/MonitorProgram.h"
#include <QApplication>
#include <sys/stat.h>

int main(int argc, char** argv) {
    umask(077); // data files, their journals and INI files are the user's alone
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillock Monitor"));
    return ql::runMonitorProgram(QApplication::arguments());
}
