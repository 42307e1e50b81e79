#include "monitorapp/MonitorProgram.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillock Monitor"));
    return ql::runMonitorProgram(QApplication::arguments());
}
