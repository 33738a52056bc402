#include "app/Cli.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>
#include <optional>
#include <pwd.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

#include "app/DeskOptions.h"
#include "app/PackageRun.h"
#include "app/Users.h"
#include "platform/db/AccountFiles.h"
#include "platform/db/AccountSafety.h"
#include "platform/db/DemoAccount.h"
#include "platform/db/ServerAccount.h"
#include "platform/db/UserTable.h"
#include "platform/package/PackageAccount.h"
#include "platform/package/PackageDiff.h"
#include "platform/package/PackageReader.h"
#include "platform/package/PackageWriter.h"
#include "platform/server/AccountConnection.h"
#include "platform/server/ClsCommon.h"
#include "platform/server/DocumentWriter.h"
#include "platform/server/History.h"
#include "platform/sql/Batch.h"
#include "platform/sql/PgFunctions.h"
#include "platform/sql/TSqlConnection.h"

namespace app {

namespace {

// Who runs the command, as the account's history names them: the login of the process.
QString commandUser() {
    for (const char* name : {"USER", "LOGNAME"})
        if (const QString user = qEnvironmentVariable(name); !user.isEmpty()) return user;
    const passwd* entry = getpwuid(getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

// A value as one cell of a tab-separated line: backslash, tab and line breaks escaped.
QString cell(const QVariant& value) {
    QString text = host::variantText(value);
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return text;
}

// True when a statement of the batch (also inside IF or BEGIN … END) is a query.
bool hasQuery(const std::vector<platform::sql::Statement>& statements) {
    for (const platform::sql::Statement& s : statements) {
        if (s.kind == platform::sql::Statement::Kind::Sql && !s.tokens.empty() &&
            (s.tokens.front().isWord("SELECT") || s.tokens.front().isWord("WITH")))
            return true;
        if (hasQuery(s.body) || hasQuery(s.elseBody)) return true;
    }
    return false;
}

// Statements and batches that select run through OpenX, the others through ExecuteX. Text the
// parser refuses goes to OpenX, which reports why.
bool isQuery(const QString& statement) {
    platform::sql::Batch batch;
    QString error;
    return platform::sql::parseBatch(statement, &batch, &error) ? hasQuery(batch.statements) : true;
}

// Each copied table as "table rows checksum", then what the copy had to change.
void printCopy(const platform::db::AccountCopy& copy, QTextStream& out) {
    out << "table\trows\tchecksum\n";
    for (const platform::db::CopiedTable& t : copy.tables)
        out << t.name << "\t" << t.rows << "\t" << t.checksum << "\n";
    for (const QString& note : copy.notes) out << "Note: " << note << "\n";
}

// The demo account built in a scratch data root and copied to the server; the data root then
// holds only the account's server entry.
int initDemoOnServer(const CommandLine& p, bool replace, QTextStream& out, QTextStream& err) {
    const QString root = dataRoot(), account = p.arguments[0];
    QTemporaryDir scratch;
    QString error;
    platform::db::AccountCopy copy;
    if (!scratch.isValid() || !platform::db::createDemoAccount(scratch.path(), account, &error) ||
        !platform::db::copyAccountToServer(scratch.path(), account, p.server, &copy, &error,
                                           replace, &platform::sql::installPgFunctions) ||
        (replace && !platform::db::removeAccount(root, account, &error)) ||
        !platform::db::writeServerEntry(root, account, p.server, &error)) {
        err << (error.isEmpty() ? QStringLiteral("Cannot make a temporary folder.") : error)
            << "\n";
        return 1;
    }
    printCopy(copy, out);
    out << "Created demo account " << account << " on the server " << p.server << " (entry "
        << platform::db::accountFiles(root, account).server << ")\n";
    return 0;
}

int initDemo(const CommandLine& p, QTextStream& out, QTextStream& err) {
    const QString root = dataRoot(), account = p.arguments[0];
    QString error;
    if (!platform::db::isValidAccountId(account)) {
        err << "\"" << account << "\" is not a valid account id (1 to 20 letters or digits).\n";
        return 1;
    }
    const bool exists = platform::db::accountExists(root, account);
    if (exists && !p.force) {
        err << "Account " << account << " already exists in " << QDir(root).absolutePath()
            << "; use --force to replace it.\n";
        return 1;
    }
    if (!p.server.isEmpty()) return initDemoOnServer(p, exists, out, err);
    if (exists && !platform::db::removeAccount(root, account, &error)) {
        err << error << "\n";
        return 1;
    }
    if (!platform::db::createDemoAccount(root, account, &error)) {
        err << error << "\n";
        return 1;
    }
    out << "Created demo account " << account << " in " << QDir(root).absolutePath() << "\n";
    return 0;
}

// False, having said so, when the account does not exist.
bool knownAccount(const QString& root, const QString& account, QTextStream& err) {
    if (platform::db::isValidAccountId(account) && platform::db::accountExists(root, account))
        return true;
    err << "There is no account \"" << account << "\" in " << QDir(root).absolutePath()
        << "; create it with: userdef init-demo " << account << "\n";
    return false;
}

int copyAccount(const CommandLine& p, QTextStream& out, QTextStream& err) {
    const QString root = dataRoot(), account = p.arguments[0];
    const platform::db::AccountFiles files = platform::db::accountFiles(root, account);
    platform::db::AccountCopy copy;
    QString error;
    if (!p.copyTo.isEmpty()) {
        if (!knownAccount(root, account, err)) return 1;
        if (const QString server = platform::db::serverConninfo(root, account); !server.isEmpty()) {
            err << "Account " << account << " already works on the server " << server
                << "; to move it, copy it back first: userdef copy-account " << account
                << " --from \"" << server << "\" --to-file\n";
            return 1;
        }
        if (!platform::db::copyAccountToServer(root, account, p.copyTo, &copy, &error, p.force,
                                               &platform::sql::installPgFunctions) ||
            !platform::db::writeServerEntry(root, account, p.copyTo, &error)) {
            err << error << "\n";
            return 1;
        }
        printCopy(copy, out);
        out << "Copied account " << account << " to the server; it works there from now on. "
            << "Its files stay as they were; removing " << files.server
            << " makes the account work on them again.\n";
        return 0;
    }
    if (!platform::db::isValidAccountId(account)) {
        err << "\"" << account << "\" is not a valid account id (1 to 20 letters or digits).\n";
        return 1;
    }
    if (!platform::db::copyAccountToFiles(p.copyFrom, account, root, &copy, &error)) {
        err << error << "\n";
        return 1;
    }
    QFile::remove(files.server);
    printCopy(copy, out);
    out << "Copied account " << account << " from the server into " << files.folder
        << "; it works on these files from now on.\n";
    return 0;
}

// False, having said so, when the account works on a server: its files are not the account.
bool embedded(const QString& root, const QString& account, QTextStream& err) {
    const QString server = platform::db::serverConninfo(root, account);
    if (server.isEmpty()) return true;
    err << "Account " << account << " works on the server " << server
        << "; this command works on an account's files (the server keeps its own backups).\n";
    return false;
}

int sql(const CommandLine& p, QTextStream& out, QTextStream& err) {
    const QString root = dataRoot(), account = p.arguments[0], statement = p.arguments[1];
    if (!knownAccount(root, account, err)) return 1;
    platform::server::ClsCommon srv;
    srv.init(platform::server::accountConnectionText(
        root, account, p.desk.language.isEmpty() ? QStringLiteral("zh-CN") : p.desk.language));
    if (!srv.Status()) {
        err << "Cannot connect to account " << account << ": " << srv.lastError() << "\n";
        return 1;
    }
    // Statements typed here never see nor set a password's hash.
    if (QString why; !srv.connection()->hidePasswordColumns(&why)) {
        err << "Cannot connect to account " << account << ": " << why << "\n";
        return 1;
    }
    if (!isQuery(statement)) {
        if (!srv.ExecuteX(statement)) {
            err << "Error: " << srv.lastError() << "\n";
            return 1;
        }
        out << "OK\n";
        return 0;
    }
    const host::RecordSetPtr rows = srv.OpenX(statement);
    if (!rows) {
        err << "Error: " << srv.lastError() << "\n";
        return 1;
    }
    QStringList line;
    for (const host::FieldInfo& f : rows->fields()) line << cell(f.name);
    out << line.join(QLatin1Char('\t')) << "\n";
    for (int r = 0; r < rows->recordCount(); ++r) {
        line.clear();
        for (int c = 0; c < rows->fieldCount(); ++c) line << cell(rows->at(r, c));
        out << line.join(QLatin1Char('\t')) << "\n";
    }
    return 0;
}

// The account's server service, connected; false, having said why, otherwise.
bool connect(const QString& root, const QString& account, platform::server::ClsCommon& srv,
             QTextStream& err) {
    if (!knownAccount(root, account, err)) return false;
    QString error;
    if (openAccountService(root, account, srv, &error)) return true;
    err << error << "\n";
    return false;
}

int exportPackage(const CommandLine& p, QTextStream& out, QTextStream& err) {
    namespace pkg = platform::package;
    const QString root = dataRoot(), account = p.arguments[0];
    platform::server::ClsCommon srv;
    if (!connect(root, account, srv, err)) return 1;
    pkg::Selection selection;
    selection.scope.classes = p.classes;
    selection.labels = p.items;
    selection.refuseUnknown = true;
    selection.scope.kind = !p.items.isEmpty()   ? pkg::PackageScope::Items
                           : !p.classes.isEmpty() ? pkg::PackageScope::Classes
                                                  : pkg::PackageScope::All;
    pkg::Package package;
    QString error;
    if (!pkg::readAccount(srv.connection()->database(), selection, &package, &error) ||
        !pkg::savePackage(package, p.output, &error)) {
        err << "Export failed: " << error << "\n";
        return 1;
    }
    out << "Exported " << package.items.size() << " items and " << package.rules.size()
        << " rules of account " << account << " into " << p.output << "\n";
    return 0;
}

int diffPackage(const CommandLine& p, QTextStream& out, QTextStream& err) {
    namespace pkg = platform::package;
    const QString root = dataRoot(), account = p.arguments[0];
    pkg::Package package;
    QString error;
    if (!pkg::loadPackage(p.arguments[1], &package, &error)) {
        err << error << "\n";
        return 1;
    }
    platform::server::ClsCommon srv;
    if (!connect(root, account, srv, err)) return 1;
    pkg::PackageComparison comparison;
    if (!pkg::comparePackage(srv.connection()->database(), package, &comparison, &error)) {
        err << error << "\n";
        return 1;
    }
    out << pkg::comparisonText(comparison, false);
    return 0;
}

int importPackage(const CommandLine& p, QTextStream& out, QTextStream& err) {
    namespace pkg = platform::package;
    const QString root = dataRoot(), account = p.arguments[0];
    pkg::Package package;
    QString error;
    if (!pkg::loadPackage(p.arguments[1], &package, &error)) {
        err << error << "\nNothing was imported; the account is unchanged.\n";
        return 1;
    }
    platform::server::ClsCommon srv;
    if (!connect(root, account, srv, err)) return 1;
    pkg::ImportResult result;
    if (!importWithLocks(srv, commandUser(),
                         QStringLiteral("userdef import"), package, {p.dryRun, p.removeMissing},
                         &result, &error)) {
        err << "Import refused: " << error << "\n";
        return 1;
    }
    out << pkg::comparisonText(result.comparison, p.removeMissing);
    for (const QString& note : result.notes) out << note << "\n";
    if (p.dryRun)
        out << "Dry run: " << result.documents << " changes would be applied; nothing was changed.\n";
    else
        out << "Imported: " << result.documents << " changes applied to account " << account << ".\n";
    return 0;
}

int check(const CommandLine& p, QTextStream& out, QTextStream& err) {
    const QString root = dataRoot(), account = p.arguments[0];
    if (!knownAccount(root, account, err) || !embedded(root, account, err)) return 1;
    using platform::db::AccountPart;
    const platform::db::AccountFiles files = platform::db::accountFiles(root, account);
    bool sound = true;
    for (const auto& [file, part] : {std::pair{files.data, AccountPart::Data},
                                     std::pair{files.meta, AccountPart::Meta}}) {
        const platform::db::FileCheck c = platform::db::checkDatabaseFile(file, part, true);
        if (c.sound()) {
            out << file << ": ok\n";
            continue;
        }
        sound = false;
        out << file << ": " << platform::db::stateWord(c.state) << "\n";
        for (const QString& problem : c.problems)
            for (const QString& line : problem.split(u'\n', Qt::SkipEmptyParts))
                out << "  " << line << "\n";
    }
    if (!sound)
        out << "Restore the account from a backup: userdef restore " << account << " <file>\n";
    return sound ? 0 : 1;
}

int backup(const CommandLine& p, QTextStream& out, QTextStream& err) {
    const QString root = dataRoot(), account = p.arguments[0], file = p.arguments[1];
    if (!knownAccount(root, account, err) || !embedded(root, account, err)) return 1;
    QString error;
    if (!platform::db::backupAccount(root, account, file, &error)) {
        err << "Backup failed: " << error << "\n";
        return 1;
    }
    out << "Backed up account " << account << " into " << file << " and "
        << platform::db::backupMetaFile(file) << "\n";
    return 0;
}

int restore(const CommandLine& p, QTextStream& out, QTextStream& err, QTextStream& in) {
    const QString root = dataRoot(), account = p.arguments[0], file = p.arguments[1];
    if (!knownAccount(root, account, err) || !embedded(root, account, err)) return 1;
    if (!p.yes) {
        out << "Replace everything in account " << account << " with the backup " << file
            << "? Work saved since the backup is lost. [y/N] ";
        out.flush();
        const QString answer = in.readLine().trimmed().toLower();
        if (answer != QLatin1String("y") && answer != QLatin1String("yes")) {
            out << "Nothing restored.\n";
            return 1;
        }
    }
    QString error;
    if (!platform::db::restoreAccount(root, account, file, &error)) {
        err << "Restore refused: " << error << "\nThe account is unchanged.\n";
        return 1;
    }
    out << "Restored account " << account << " from " << file << "\n";
    return 0;
}

// The account's server service, recording as the system user from the command; null, having
// said why, when the account cannot be opened.
std::unique_ptr<platform::server::ClsCommon> openAccount(const QString& root, const QString& account,
                                                         const QString& command,
                                                         QTextStream& err) {
    auto srv = std::make_unique<platform::server::ClsCommon>();
    if (!connect(root, account, *srv, err)) return nullptr;
    srv->setChangeSource(commandUser(),
                         [command] { return QStringLiteral("userdef ") + command; });
    return srv;
}

// A change number as typed; 0, having said why, when it is none.
int changeNumber(const QString& text, QTextStream& err) {
    bool ok = false;
    const int change = text.toInt(&ok);
    if (ok && change > 0) return change;
    err << "\"" << text << "\" is not the number of a change.\n";
    return 0;
}

int history(const CommandLine& p, QTextStream& out, QTextStream& err) {
    const auto srv = openAccount(dataRoot(), p.arguments[0], p.command, err);
    if (!srv) return 1;
    platform::db::Connection& db = srv->connection()->database();
    QString error;
    if (!p.purge.isEmpty()) {
        const int upTo = changeNumber(p.purge, err);
        int removed = 0;
        if (!upTo) return 1;
        if (!platform::server::purgeHistory(db, upTo, &removed, &error)) {
            err << "Purge failed: " << error << "\n";
            return 1;
        }
        out << "Removed " << removed << " change(s) up to " << upTo << " from the history.\n";
        return 0;
    }
    QList<platform::server::ChangeEntry> changes;
    if (!platform::server::readChanges(db, p.items.value(0).trimmed(), &changes, &error)) {
        err << "Error: " << error << "\n";
        return 1;
    }
    if (changes.isEmpty()) out << "No changes are recorded.\n";
    for (const platform::server::ChangeEntry& c : changes) {
        out << "#" << c.change << "  " << c.when << "  " << (c.user.isEmpty() ? "-" : c.user)
            << "  " << (c.origin.isEmpty() ? "-" : c.origin) << "  " << c.operation << " "
            << c.table;
        if (!c.key.isEmpty()) out << " " << c.key;
        if (c.undoOf) out << "  (undoes #" << c.undoOf << ")";
        if (c.undoneBy) out << "  (undone by #" << c.undoneBy << ")";
        out << "\n";
        for (const QString& line : platform::server::describeChange(c.before, c.after))
            out << "    " << line << "\n";
        if (c.keptValues)
            out << "    " << c.keptValues << " value(s) of dropped columns kept\n";
    }
    return 0;
}

int undo(const CommandLine& p, QTextStream& out, QTextStream& err) {
    const int change = changeNumber(p.arguments[1], err);
    if (!change) return 1;
    const auto srv = openAccount(dataRoot(), p.arguments[0], p.command, err);
    if (!srv) return 1;
    QString error;
    if (!srv->writer()->undo(change, &error)) {
        err << "Undo refused: " << error << "\nThe account is unchanged.\n";
        return 1;
    }
    out << "Undid change " << change << ".\n";
    return 0;
}

// One line typed on the terminal without echo.
QString readHidden(QTextStream& out, QTextStream& in, const char* prompt) {
    out << prompt;
    out.flush();
    termios saved{};
    const bool hidden = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (hidden) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const QString line = in.readLine();
    if (hidden) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    out << "\n";
    return line;
}

// The new password: with --password-stdin one line of standard input, or two that must match;
// else typed twice on the terminal. nullopt, having said why, when there is none.
std::optional<QString> readPassword(const CommandLine& p, QTextStream& out, QTextStream& err,
                                    QTextStream& in) {
    QString first, second;
    if (p.passwordStdin) {
        first = in.readLine();
        second = in.readLine();
        if (second.isNull()) second = first;
    } else if (isatty(STDIN_FILENO)) {
        first = readHidden(out, in, "New password: ");
        second = readHidden(out, in, "New password again: ");
    } else {
        err << "No terminal to type the password on; pipe it in with --password-stdin.\n";
        return std::nullopt;
    }
    if (first.isNull()) {
        err << "No password was given.\n";
        return std::nullopt;
    }
    if (first != second) {
        err << userResultText({QStringLiteral("Desk.Users.PasswordsDiffer"), {}},
                              QStringLiteral("en-US"))
            << "\n";
        return std::nullopt;
    }
    return first;
}

int user(const CommandLine& p, QTextStream& out, QTextStream& err, QTextStream& in) {
    const QString root = dataRoot(), account = p.arguments[0], id = p.arguments.value(1);
    const QString en = QStringLiteral("en-US");
    if (!knownAccount(root, account, err)) return 1;
    UserResult result;
    if (p.command == QLatin1String("user list")) {
        const QVector<UserInfo> users = listUsers(root, account, &result);
        if (result.ok()) {
            out << "user\tname\tadministrator\tlocked until\n";
            const QDateTime now = QDateTime::currentDateTimeUtc();
            for (const UserInfo& u : users)
                out << cell(u.id) << "\t" << cell(u.name) << "\t" << (u.admin ? "yes" : "no")
                    << "\t"
                    << (u.lockedUntil > now
                            ? u.lockedUntil.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                            : QString())
                    << "\n";
        }
    } else if (p.command == QLatin1String("user remove")) {
        result = removeUser(root, account, id);
        if (result.ok()) out << userResultText({QStringLiteral("Desk.Users.Removed"), {id}}, en) << "\n";
    } else {
        const std::optional<QString> password = readPassword(p, out, err, in);
        if (!password) return 1;
        const bool adding = p.command == QLatin1String("user add");
        result = adding ? addUser(root, account, id, p.userName.isNull() ? id : p.userName,
                                  *password, p.admin)
                        : changePassword(root, account, id, *password);
        if (result.ok())
            out << userResultText({QString::fromLatin1(adding ? "Desk.Users.Added"
                                                              : "Desk.Users.PasswordChanged"),
                                   {id}},
                                  en)
                << "\n";
    }
    if (result.ok()) return 0;
    err << userResultText(result, en) << "\n";
    return 1;
}

}  // namespace

QString dataRoot() {
    const QString env = qEnvironmentVariable("USERDEF_DATA");
    if (!env.isEmpty()) return QDir(env).absolutePath();
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("data"));
}

int runCli(const CommandLine& line, QTextStream& out, QTextStream& err, QTextStream& in) {
    int status = 2;
    if (line.kind == CommandLine::Help) {
        out << line.help;
        status = 0;
    } else if (line.kind == CommandLine::Refused) {
        err << line.error << "\n\n" << line.help;
    } else if (line.command == QLatin1String("init-demo")) {
        status = initDemo(line, out, err);
    } else if (line.command == QLatin1String("copy-account")) {
        status = copyAccount(line, out, err);
    } else if (line.command == QLatin1String("sql")) {
        status = sql(line, out, err);
    } else if (line.command == QLatin1String("check")) {
        status = check(line, out, err);
    } else if (line.command == QLatin1String("backup")) {
        status = backup(line, out, err);
    } else if (line.command == QLatin1String("restore")) {
        status = restore(line, out, err, in);
    } else if (line.command == QLatin1String("export")) {
        status = exportPackage(line, out, err);
    } else if (line.command == QLatin1String("diff")) {
        status = diffPackage(line, out, err);
    } else if (line.command == QLatin1String("import")) {
        status = importPackage(line, out, err);
    } else if (line.command == QLatin1String("history")) {
        status = history(line, out, err);
    } else if (line.command == QLatin1String("undo")) {
        status = undo(line, out, err);
    } else if (line.command.startsWith(QLatin1String("user "))) {
        status = user(line, out, err, in);
    }
    out.flush();
    err.flush();
    return status;
}

}  // namespace app
