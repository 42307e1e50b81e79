#include "signin/views/MainProgram.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillock"));
    return ql::runMainProgram(QApplication::arguments());
}
