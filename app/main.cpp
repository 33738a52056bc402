// The desk program: a command of the command line, or the desk (login dialog, then portal).
// The command line is read before anything needs a display.
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "app/Cli.h"
#include "app/DeskOptions.h"
#include "app/DeskRun.h"

int main(int argc, char** argv) {
    app::CommandLine line;
    {
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("userdef"));
        line = app::parseCommandLine(core.arguments());
        if (line.kind != app::CommandLine::Desk) {
            QTextStream out(stdout), err(stderr), in(stdin);
            return app::runCli(line, out, err, in);
        }
    }
    return app::runDesk(argc, argv, line.desk);
}
