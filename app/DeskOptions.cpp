#include "app/DeskOptions.h"

#include <QCommandLineParser>

#include "platform/pub/ResourceTexts.h"

namespace app {

namespace {

const char* const kDescription =
    "User-defined items of an account: without a command the desk opens (the login dialog, or\n"
    "the portal directly when --user and --password are given).\n"
    "\n"
    "Commands:\n"
    "  init-demo <account> [--force] [--server \"<conninfo>\"]\n"
    "                                    creates the demo account; --force replaces it;\n"
    "                                    --server: in the PostgreSQL database the libpq\n"
    "                                    connection string names (no password in it: the\n"
    "                                    password file ~/.pgpass supplies it)\n"
    "  copy-account <account> --to \"<conninfo>\" [--force]\n"
    "                                    copies an account's files to a PostgreSQL\n"
    "                                    database in one transaction and then works there\n"
    "                                    (the files stay; --force replaces the account's\n"
    "                                    copy on the server)\n"
    "  copy-account <account> --from \"<conninfo>\" --to-file\n"
    "                                    copies a server account back into files and then\n"
    "                                    works on them; both print each table's rows and\n"
    "                                    checksum, compared on both sides\n"
    "  sql <account> \"<statement>\"       runs a statement or batch of the component's\n"
    "                                    dialect and prints the rows tab-separated\n"
    "                                    (--lang for the locale)\n"
    "  check <account>                   runs the full integrity check of the account's\n"
    "                                    databases and prints what is wrong; status 1\n"
    "                                    when damaged\n"
    "  backup <account> <file>           copies the account into <file> and <file>.meta\n"
    "                                    while others keep working\n"
    "  restore <account> <file> [--yes]  puts a backup back after asking (--yes: no\n"
    "                                    question)\n"
    "  user list <account>               lists the users who may log in\n"
    "  user add <account> <user> [--name <name>] [--admin] [--password-stdin]\n"
    "                                    adds a user (--admin: administers the\n"
    "                                    definitions)\n"
    "  user passwd <account> <user> [--password-stdin]\n"
    "                                    gives a user a new password\n"
    "  user remove <account> <user>      removes a user; never the last administrator\n"
    "                                    Passwords are typed twice on the terminal\n"
    "                                    without echo, or read from standard input with\n"
    "                                    --password-stdin: one line, or two that match\n"
    "  export <account> -o <file> [--class <class>]… [--item <item>]…\n"
    "                                    writes the definitions of the items (all,\n"
    "                                    those of the classes, or the items named by\n"
    "                                    label, name or number) into a package file\n"
    "  diff <account> <file>             lists what importing the package would change\n"
    "  import <account> <file> [--dry-run] [--remove-missing]\n"
    "                                    applies the package's additions and changes in\n"
    "                                    one transaction (--dry-run: checks everything\n"
    "                                    and changes nothing; --remove-missing: also\n"
    "                                    removes what only the account has)\n"
    "  history <account> [--item <number>] [--purge <change>]\n"
    "                                    prints the recorded changes (of one item),\n"
    "                                    each with its rows before and after\n"
    "                                    (field: old -> new); --purge removes the\n"
    "                                    changes up to <change> and the values they\n"
    "                                    kept\n"
    "  undo <account> <change>           reverts a recorded change of an item,\n"
    "                                    itself recorded\n"
    "  help                              shows this text\n"
    "\n"
    "The data root is $USERDEF_DATA, else the folder \"data\" beside the program.";

// The arguments each command takes, and the options that apply to it.
struct CommandShape {
    const char* name;
    int arguments;
    QStringList options;
};

const QList<CommandShape>& commands() {
    static const QList<CommandShape> list = {
        {"init-demo", 1, {QStringLiteral("force"), QStringLiteral("server")}},
        {"copy-account", 1,
         {QStringLiteral("to"), QStringLiteral("from"), QStringLiteral("to-file"),
          QStringLiteral("force")}},
        {"sql", 2, {QStringLiteral("lang")}},
        {"check", 1, {}},
        {"backup", 2, {}},
        {"restore", 2, {QStringLiteral("yes")}},
        {"export", 1,
         {QStringLiteral("o"), QStringLiteral("output"), QStringLiteral("class"),
          QStringLiteral("item")}},
        {"diff", 2, {}},
        {"import", 2, {QStringLiteral("dry-run"), QStringLiteral("remove-missing")}},
        {"history", 1, {QStringLiteral("item"), QStringLiteral("purge")}},
        {"undo", 2, {}},
    };
    return list;
}

// The user command's own commands: arguments after the word (account, user) and options.
const QList<CommandShape>& userCommands() {
    static const QList<CommandShape> list = {
        {"list", 1, {}},
        {"add", 2,
         {QStringLiteral("name"), QStringLiteral("admin"), QStringLiteral("password-stdin")}},
        {"passwd", 2, {QStringLiteral("password-stdin")}},
        {"remove", 2, {}},
    };
    return list;
}

const QStringList kDeskOptions = {"account", "user", "password", "lang", "open", "screenshot"};

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this text."));
    parser.addOptions({
        help,
        {QStringLiteral("account"), QStringLiteral("The account to log in to (default 001)."),
         QStringLiteral("account")},
        {QStringLiteral("user"), QStringLiteral("The user; with --password logs in directly."),
         QStringLiteral("user")},
        {QStringLiteral("password"), QStringLiteral("The user's password."),
         QStringLiteral("password")},
        {QStringLiteral("lang"), QStringLiteral("The language: zh-CN, zh-TW or en-US."),
         QStringLiteral("language")},
        {QStringLiteral("open"),
         QStringLiteral("Opens a function of the portal: UserDef, MakeVouchSet, "
                        "CoverSetting, DocLayouts, Users or Packages."),
         QStringLiteral("function")},
        {QStringLiteral("screenshot"),
         QStringLiteral("Saves the first window shown as a picture and quits."),
         QStringLiteral("file.png")},
        {QStringLiteral("force"),
         QStringLiteral("init-demo, copy-account --to: replaces an existing account.")},
        {QStringLiteral("server"),
         QStringLiteral("init-demo: creates the account on this PostgreSQL database."),
         QStringLiteral("conninfo")},
        {QStringLiteral("to"), QStringLiteral("copy-account: the PostgreSQL database to copy to."),
         QStringLiteral("conninfo")},
        {QStringLiteral("from"),
         QStringLiteral("copy-account: the PostgreSQL database to copy from (with --to-file)."),
         QStringLiteral("conninfo")},
        {QStringLiteral("to-file"),
         QStringLiteral("copy-account: copies the server account into the data root's files.")},
        {QStringLiteral("yes"), QStringLiteral("restore: replaces without asking.")},
        {QStringLiteral("name"), QStringLiteral("user add: the user's name (default: the id)."),
         QStringLiteral("name")},
        {QStringLiteral("admin"), QStringLiteral("user add: the user administers the definitions.")},
        {QStringLiteral("password-stdin"),
         QStringLiteral("user add, user passwd: reads the password from standard input.")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("export: the package file to write."), QStringLiteral("file")},
        {QStringLiteral("class"), QStringLiteral("export: the items of this class (repeatable)."),
         QStringLiteral("class")},
        {QStringLiteral("item"),
         QStringLiteral("export: this item, by label, name or number (repeatable); history: the\n"
                        "changes of this item only (its number)."),
         QStringLiteral("item")},
        {QStringLiteral("dry-run"), QStringLiteral("import: checks everything, changes nothing.")},
        {QStringLiteral("remove-missing"),
         QStringLiteral("import: also removes what only the account has.")},
        {QStringLiteral("purge"),
         QStringLiteral("history: removes the changes up to and including this one."),
         QStringLiteral("change")},
    });
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("A command (see above) and its arguments."),
                                 QStringLiteral("[command [arguments…]]"));

    CommandLine line;
    line.help = parser.helpText();
    const auto refuse = [&line](const QString& why) {
        line.kind = CommandLine::Refused;
        line.error = why;
        return line;
    };
    if (!parser.parse(arguments)) return refuse(parser.errorText());
    const QStringList words = parser.positionalArguments();
    if (parser.isSet(help) || words.value(0) == QLatin1String("help")) {
        line.kind = CommandLine::Help;
        return line;
    }
    QString language;
    if (parser.isSet(QStringLiteral("lang"))) {
        const QString value = parser.value(QStringLiteral("lang"));
        language = platform::pub::normalizeLanguage(value);
        if (language.compare(value, Qt::CaseInsensitive) != 0)
            return refuse(QStringLiteral("--lang: zh-CN, zh-TW or en-US, not %1").arg(value));
    }
    // The options given, each of which must apply to what runs.
    QStringList given;
    for (const QString& name : parser.optionNames())
        if (name != QLatin1String("h") && name != QLatin1String("help")) given << name;

    if (words.isEmpty()) {
        for (const QString& name : given)
            if (!kDeskOptions.contains(name))
                return refuse(QStringLiteral("--%1 belongs to a command").arg(name));
        line.desk.account = parser.value(QStringLiteral("account"));
        line.desk.user = parser.value(QStringLiteral("user"));
        if (parser.isSet(QStringLiteral("password")))
            line.desk.password = parser.value(QStringLiteral("password"));
        line.desk.language = language;
        line.desk.open = parser.value(QStringLiteral("open"));
        line.desk.screenshot = parser.value(QStringLiteral("screenshot"));
        return line;
    }
    const QString command = words.first();
    if (command == QLatin1String("user")) {
        const QString sub = words.value(1);
        for (const CommandShape& shape : userCommands()) {
            if (sub != QLatin1String(shape.name)) continue;
            for (const QString& name : given)
                if (!shape.options.contains(name))
                    return refuse(QStringLiteral("user %1 takes no option --%2").arg(sub, name));
            if (words.size() - 2 != shape.arguments)
                return refuse(QStringLiteral("user %1 takes %2 argument(s), not %3")
                                  .arg(sub)
                                  .arg(shape.arguments)
                                  .arg(words.size() - 2));
            line.kind = CommandLine::Command;
            line.command = QStringLiteral("user ") + sub;
            line.arguments = words.mid(2);
            line.userName = parser.value(QStringLiteral("name"));
            line.admin = parser.isSet(QStringLiteral("admin"));
            line.passwordStdin = parser.isSet(QStringLiteral("password-stdin"));
            return line;
        }
        return refuse(QStringLiteral("user: list, add, passwd or remove, not \"%1\"").arg(sub));
    }
    for (const CommandShape& shape : commands()) {
        if (command != QLatin1String(shape.name)) continue;
        for (const QString& name : given)
            if (!shape.options.contains(name))
                return refuse(QStringLiteral("%1 takes no option --%2").arg(command, name));
        if (words.size() - 1 != shape.arguments)
            return refuse(QStringLiteral("%1 takes %2 argument(s), not %3")
                              .arg(command)
                              .arg(shape.arguments)
                              .arg(words.size() - 1));
        line.kind = CommandLine::Command;
        line.command = command;
        line.arguments = words.mid(1);
        line.force = parser.isSet(QStringLiteral("force"));
        line.yes = parser.isSet(QStringLiteral("yes"));
        line.output = parser.value(QStringLiteral("o"));
        line.classes = parser.values(QStringLiteral("class"));
        line.items = parser.values(QStringLiteral("item"));
        line.dryRun = parser.isSet(QStringLiteral("dry-run"));
        line.removeMissing = parser.isSet(QStringLiteral("remove-missing"));
        if (command == QLatin1String("export") && line.output.isEmpty())
            return refuse(QStringLiteral("export needs the file to write: -o <file>"));
        line.purge = parser.value(QStringLiteral("purge"));
        line.server = parser.value(QStringLiteral("server"));
        line.copyTo = parser.value(QStringLiteral("to"));
        line.copyFrom = parser.value(QStringLiteral("from"));
        line.toFile = parser.isSet(QStringLiteral("to-file"));
        const bool toServer = !line.copyTo.isEmpty() && line.copyFrom.isEmpty() && !line.toFile;
        const bool toFiles =
            line.copyTo.isEmpty() && !line.copyFrom.isEmpty() && line.toFile && !line.force;
        if (command == QLatin1String("copy-account") && !toServer && !toFiles)
            return refuse(
                QStringLiteral("copy-account needs --to \"<conninfo>\", or --from "
                               "\"<conninfo>\" --to-file"));
        line.desk.language = language;
        return line;
    }
    return refuse(QStringLiteral("Unknown command \"%1\".").arg(command));
}

}  // namespace app
