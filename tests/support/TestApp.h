#pragma once
#include <QApplication>

// One QApplication for the whole test program, made on first use and kept to the
// end (destroying it during static teardown is not safe).
inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "quillock_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
