#include "app/Cli.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include "platform/db/DemoAccount.h"
#include "platform/server/AccountConnection.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/Batch.h"
#include "platform/sql/ConnectionText.h"

namespace app {

namespace {

const char* const kUsage =
    "Usage:\n"
    "  userdef init-demo <account> [--force]\n"
    "      Creates the demo account in the data root; --force replaces an existing one.\n"
    "  userdef sql <account> \"<statement or batch>\" [--lang zh-CN|zh-TW|en-US]\n"
    "      Runs it through the server database service and prints the rows tab-separated,\n"
    "      with a header line.\n"
    "The data root is $USERDEF_DATA, else the folder \"data\" beside the program.\n";

// Splits the arguments of a command into positional ones and --options (with their values).
struct Parsed {
    QStringList positional;
    bool force = false;
    QString language = QStringLiteral("zh-CN");
    QString error;
};

Parsed parse(const QStringList& args) {
    Parsed p;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--force")) {
            p.force = true;
        } else if (a == QLatin1String("--lang") || a.startsWith(QLatin1String("--lang="))) {
            QString value;
            if (a.contains(QLatin1Char('=')))
                value = a.section(QLatin1Char('='), 1);
            else if (i + 1 < args.size())
                value = args[++i];
            p.language = platform::sql::ConnectionText::normalLanguage(value);
            if (p.language.isEmpty())
                p.error = QStringLiteral("Unknown language \"%1\"; use zh-CN, zh-TW or en-US.")
                              .arg(value);
        } else if (a.startsWith(QLatin1String("--"))) {
            p.error = QStringLiteral("Unknown option %1.").arg(a);
        } else {
            p.positional << a;
        }
    }
    return p;
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

int initDemo(const Parsed& p, QTextStream& out, QTextStream& err) {
    if (p.positional.size() != 1) {
        err << "init-demo takes one account id.\n" << kUsage;
        return 2;
    }
    const QString root = dataRoot(), account = p.positional[0];
    QString error;
    if (!platform::db::isValidAccountId(account)) {
        err << "\"" << account << "\" is not a valid account id (1 to 20 letters or digits).\n";
        return 1;
    }
    if (platform::db::accountExists(root, account)) {
        if (!p.force) {
            err << "Account " << account << " already exists in " << QDir(root).absolutePath()
                << "; use --force to replace it.\n";
            return 1;
        }
        if (!platform::db::removeAccount(root, account, &error)) {
            err << error << "\n";
            return 1;
        }
    }
    if (!platform::db::createDemoAccount(root, account, &error)) {
        err << error << "\n";
        return 1;
    }
    out << "Created demo account " << account << " in " << QDir(root).absolutePath() << "\n";
    return 0;
}

int sql(const Parsed& p, QTextStream& out, QTextStream& err) {
    if (p.positional.size() != 2) {
        err << "sql takes an account id and one statement or batch.\n" << kUsage;
        return 2;
    }
    const QString root = dataRoot(), account = p.positional[0], statement = p.positional[1];
    if (!platform::db::isValidAccountId(account) || !platform::db::accountExists(root, account)) {
        err << "There is no account \"" << account << "\" in " << QDir(root).absolutePath()
            << "; create it with: userdef init-demo " << account << "\n";
        return 1;
    }
    platform::server::ClsCommon srv;
    srv.init(platform::server::accountConnectionText(root, account, p.language));
    if (!srv.Status()) {
        err << "Cannot connect to account " << account << ": " << srv.lastError() << "\n";
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

}  // namespace

bool isCliCommand(const QString& word) {
    return word == QLatin1String("init-demo") || word == QLatin1String("sql") ||
           word == QLatin1String("help") || word == QLatin1String("--help") ||
           word == QLatin1String("-h");
}

QString dataRoot() {
    const QString env = qEnvironmentVariable("USERDEF_DATA");
    if (!env.isEmpty()) return QDir(env).absolutePath();
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("data"));
}

int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const QString command = arguments.value(0);
    const Parsed p = parse(arguments.mid(1));
    int status = 2;
    if (command == QLatin1String("help") || command == QLatin1String("--help") ||
        command == QLatin1String("-h")) {
        out << kUsage;
        status = 0;
    } else if (!p.error.isEmpty()) {
        err << p.error << "\n";
    } else if (command == QLatin1String("init-demo")) {
        status = initDemo(p, out, err);
    } else if (command == QLatin1String("sql")) {
        status = sql(p, out, err);
    } else {
        err << "Unknown command \"" << command << "\".\n" << kUsage;
    }
    out.flush();
    err.flush();
    return status;
}

}  // namespace app
