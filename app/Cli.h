#pragma once
// The command line of the desk program:
//   userdef init-demo <account> [--force]
//   userdef sql <account> "<statement or batch>" [--lang zh-CN|zh-TW|en-US]
// Both work in the data root: $USERDEF_DATA, else the folder "data" beside the executable.
#include <QString>
#include <QStringList>

class QTextStream;

namespace app {

// True when argv[1] names a command of the command line.
bool isCliCommand(const QString& word);

// Runs a command (arguments after the program name); the exit status of the program.
int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err);

// $USERDEF_DATA when set, else <folder of the executable>/data.
QString dataRoot();

}  // namespace app
