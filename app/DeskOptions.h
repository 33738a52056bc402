#pragma once
// The program's command line: the desk's options, or a command for administrators. Parsed
// before any application object that needs a display exists.
//   userdef [--account <acc> --user <id> --password <pw>] [--lang zh-CN|zh-TW|en-US]
//           [--open UserDef|MakeVouchSet|DocLayouts|Users|Packages] [--screenshot <file.png>]
//   userdef <command> <arguments> [--force] [--yes] [--lang …] [--item …] [--purge …]
//   userdef copy-account <account> --to <conninfo> [--force]
//   userdef copy-account <account> --from <conninfo> --to-file
//   userdef user list|add|passwd|remove <account> [<user>] [--name …] [--admin]
//           [--password-stdin]
#include <QString>
#include <QStringList>
#include <optional>

namespace app {

struct DeskOptions {
    QString account;
    QString user;
    std::optional<QString> password;
    QString language;  // empty: the dialog's default
    QString open;
    QString screenshot;
};

struct CommandLine {
    enum Kind { Desk, Command, Help, Refused };
    Kind kind = Desk;
    DeskOptions desk;
    QString command;        // "init-demo", "sql", "check", "backup", "restore", "user add" …
    QStringList arguments;  // the command's own arguments
    bool force = false;     // init-demo --force
    bool yes = false;       // restore --yes
    QString userName;            // user add --name
    bool admin = false;          // user add --admin
    bool passwordStdin = false;  // user add|passwd --password-stdin
    QString output;              // export -o
    QStringList classes, items;  // export --class, --item; history --item (the first)
    bool dryRun = false;         // import --dry-run
    bool removeMissing = false;  // import --remove-missing
    QString purge;               // history --purge
    QString server;              // init-demo --server: the conninfo of the server database
    QString copyTo, copyFrom;    // copy-account --to, --from: the conninfo of the server database
    bool toFile = false;         // copy-account --to-file
    QString error;          // why it was refused
    QString help;           // every option and command
};

// arguments: as the program received them, the program's name first.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace app
