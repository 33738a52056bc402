#pragma once
// One QApplication for the widget tests of this executable.
#include <QApplication>

inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "pub_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
