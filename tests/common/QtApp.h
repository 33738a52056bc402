#pragma once
// One QApplication for the widgets a test builds.
#include <QApplication>

inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "common_test";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
    return *static_cast<QApplication*>(qApp);
}
