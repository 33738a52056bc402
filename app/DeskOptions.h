#pragma once
// The desk's own command line:
//   userdef [--account <acc> --user <id> --password <pw>] [--lang zh-CN|zh-TW|en-US]
//           [--open UserDef] [--screenshot <file.png>]
// With a user it logs in directly; otherwise it opens the login dialog (prefilled with what is
// given). --open opens a function of the portal; --screenshot saves the first window shown (the
// portal, or the login dialog) and quits.
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

// Parses the arguments after the program name; nullopt with a reason in error when they are
// not understood.
std::optional<DeskOptions> parseDeskOptions(const QStringList& arguments, QString* error);

}  // namespace app
