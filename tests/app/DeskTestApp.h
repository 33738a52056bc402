#pragma once
#include <QApplication>

inline QApplication& deskTestApp() {
    static int argc = 1;
    static char name[] = "desk_test";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
    return *static_cast<QApplication*>(qApp);
}
