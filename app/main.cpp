// The desk program: a command of the command line, or the desk (login dialog, then portal).
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "app/Cli.h"
#include "app/DeskRun.h"

int main(int argc, char** argv) {
    if (argc > 1 && app::isCliCommand(QString::fromLocal8Bit(argv[1]))) {
        QCoreApplication application(argc, argv);
        QTextStream out(stdout), err(stderr);
        return app::runCli(application.arguments().mid(1), out, err);
    }
    return app::runDesk(argc, argv);
}
