#pragma once
// The commands of the command line (init-demo, sql, check, backup, restore, export, diff,
// import, history, undo, user, help); see DeskOptions.h for how the command line is read. They
// work in the data root: $USERDEF_DATA, else the folder "data" beside the executable. None needs
// a display.
#include <QString>

class QTextStream;

namespace app {

struct CommandLine;

// Runs a command, the help or a refusal (help on err, status 2); the program's exit status.
// in answers restore's question.
int runCli(const CommandLine& line, QTextStream& out, QTextStream& err, QTextStream& in);

// $USERDEF_DATA when set, else <folder of the executable>/data.
QString dataRoot();

}  // namespace app
