#include "platform/sql/TSqlConnection.h"

#include <QFileInfo>

#include "platform/db/FormOptions.h"
#include "platform/db/PrintStyles.h"
#include "platform/sql/Batch.h"
#include "platform/sql/ConnectionBackend.h"
#include "platform/sql/SqlLog.h"
#include "platform/sql/SqlTypes.h"
#include "platform/sql/Translator.h"

namespace platform::sql {

namespace {

// A value as a variable of the declared type holds it.
QVariant asDeclared(const QVariant& value, const QString& typeName) {
    if (value.isNull() || !value.isValid()) return QVariant();
    const TypeInfo t = TypeInfo::of(typeName);
    if (t.text || t.datetime) {
        QString s = value.toString();
        if (t.text && t.length > 0) s = s.left(t.length);
        return s;
    }
    if (t.integer) return QVariant(value.toLongLong());
    if (t.numeric) return QVariant(value.toDouble());
    return value;
}

}  // namespace

// State of one batch while it runs.
struct TSqlConnection::Run {
    struct Variable {
        QString type;
        QVariant value;
    };
    QHash<QString, Variable> variables;
    VariableTypes types;
    host::RecordSetPtr lastRows;
    bool returned = false;
};

std::unique_ptr<TSqlConnection> TSqlConnection::open(const QString& connectionText, QString* error) {
    const std::optional<ConnectionText> text = ConnectionText::parse(connectionText);
    if (!text) {
        if (error) *error = QStringLiteral("the connection text names no Data Source nor Server");
        return nullptr;
    }
    std::unique_ptr<TSqlConnection> c(new TSqlConnection);
    c->m_text = *text;
    QString why;
    const bool server = !text->server.isEmpty();
    c->m_backend = server ? openPgBackend(*text, c->defaultDatabase(), &why)
                          : openSqliteBackend(*text, c->defaultDatabase(), &why);
    if (!c->m_backend) {
        if (error) *error = why;
        return nullptr;
    }
    c->m_translator = std::make_unique<Translator>(c->defaultDatabase(), c->m_backend->attached(),
                                                   &c->m_backend->schema(),
                                                   server ? Target::Postgres : Target::Sqlite);
    return c;
}

TSqlConnection::~TSqlConnection() = default;

QString TSqlConnection::defaultDatabase() const {
    if (!m_text.catalog.isEmpty()) return m_text.catalog;
    return QFileInfo(m_text.dataSource).completeBaseName();
}

db::Connection& TSqlConnection::database() { return m_backend->db(); }

db::Database* TSqlConnection::sqliteDatabase() { return m_backend->sqlite(); }

bool TSqlConnection::hidePasswordColumns(QString* error) {
    if (!m_backend->hidePasswordColumns(error)) return false;
    schemaChanged();
    return true;
}

bool TSqlConnection::reaches(const QString& databaseName) {
    return databaseName.compare(defaultDatabase(), Qt::CaseInsensitive) == 0 ||
           m_backend->attached().contains(databaseName, Qt::CaseInsensitive);
}

QString TSqlConnection::lockDatabase() const { return m_backend->lockDatabase(); }

QString TSqlConnection::lockSchema() const { return m_backend->lockSchema(); }

// Print styles and window options keep tables of their own, made on first use in the
// component's dialect so that either kind of account types and collates them alike.
bool TSqlConnection::ensureStore(const QString& table, const char* ddl, bool* ready,
                                 QString* error) {
    if (*ready) return true;
    QString why;
    const bool exists = database().tableExists(table, &why);
    if (!why.isEmpty() || (!exists && !execute(QString::fromLatin1(ddl)))) {
        if (error) *error = why.isEmpty() ? m_error : why;
        return false;
    }
    *ready = true;
    return true;
}

QString TSqlConnection::loadPrintStyle(const QString& key, QString* error) {
    if (!ensureStore(QStringLiteral("zx_PrintStyle"), db::kPrintStyleTable, &m_printStylesReady,
                     error))
        return {};
    return db::loadPrintStyle(database(), key, error);
}

bool TSqlConnection::savePrintStyle(const QString& key, const QString& style, QString* error) {
    return ensureStore(QStringLiteral("zx_PrintStyle"), db::kPrintStyleTable,
                       &m_printStylesReady, error) &&
           db::savePrintStyle(database(), key, style, error);
}

QMap<QString, QString> TSqlConnection::loadFormOptions(const QString& userId, const QString& form,
                                                       QString* error) {
    if (!ensureStore(QStringLiteral("zx_FormOption"), db::kFormOptionTable, &m_formOptionsReady,
                     error))
        return {};
    return db::loadFormOptions(database(), userId, form, error);
}

bool TSqlConnection::saveFormOption(const QString& userId, const QString& form, const QString& key,
                                    const QString& value, QString* error) {
    return ensureStore(QStringLiteral("zx_FormOption"), db::kFormOptionTable,
                       &m_formOptionsReady, error) &&
           db::saveFormOption(database(), userId, form, key, value, error);
}

void TSqlConnection::registerProcedure(const QString& name, Procedure procedure) {
    m_procedures.insert(name.toLower(), std::move(procedure));
}

host::RecordSetPtr TSqlConnection::open(const QString& sql) {
    host::RecordSetPtr rows;
    if (!runBatch(sql, true, &rows)) return nullptr;
    return rows;
}

bool TSqlConnection::execute(const QString& sql) { return runBatch(sql, false, nullptr); }

void TSqlConnection::schemaChanged() {
    m_backend->forgetSchema();
    m_translator->schemaChanged();
}

std::shared_ptr<const Batch> TSqlConnection::parsed(const QString& sql, QString* error) {
    const auto it = m_batches.constFind(sql);
    if (it != m_batches.constEnd()) return *it;
    auto batch = std::make_shared<Batch>();
    if (!parseBatch(sql, batch.get(), error)) return nullptr;
    if (batch->statements.empty()) {
        *error = QStringLiteral("the statement is empty");
        return nullptr;
    }
    if (m_batches.size() > 500) m_batches.clear();
    m_batches.insert(sql, batch);
    return batch;
}

bool TSqlConnection::runBatch(const QString& sql, bool wantRows, host::RecordSetPtr* rows) {
    m_error.clear();
    // Another connection (another window, another administrator) may have changed the schema
    // since the cached translations and column types were made.
    const qint64 stamp = m_backend->schemaStamp();
    if (stamp != m_schemaStamp) {
        if (m_schemaStamp != -1) {
            schemaChanged();
        }
        m_schemaStamp = stamp;
    }
    QString error;
    const std::shared_ptr<const Batch> batch = parsed(sql, &error);
    if (!batch) {
        m_error = QStringLiteral("%1 [in: %2]").arg(error, statementText(sql));
        qCWarning(lcSql).noquote() << m_error;
        return false;
    }
    Run run;
    // Runs statements in order; false with m_error set on the first failure.
    std::function<bool(const std::vector<Statement>&)> runList;
    auto fail = [&](const Statement& s, const QString& why) {
        m_error = QStringLiteral("%1 [in: %2]").arg(why, statementText(s.source));
        return false;
    };
    auto evaluate = [&](const Statement& s, bool condition, QVariant* value) {
        Translation t;
        QString why;
        if (!m_translator->translateExpression(s.tokens, s.source, run.types, condition, &t, &why))
            return fail(s, why);
        QVariantList params;
        for (const QString& p : t.parameters) params << run.variables.value(p).value;
        const host::RecordSetPtr r = database().query(t.sql, params, &why);
        if (!r) return fail(s, why);
        *value = r->recordCount() > 0 ? r->at(0, 0) : QVariant();
        return true;
    };
    runList = [&](const std::vector<Statement>& list) {
        for (const Statement& s : list) {
            if (run.returned) return true;
            switch (s.kind) {
                case Statement::Kind::Sql: {
                    // A table or column another client made since the catalogue was read is
                    // found on the second try.
                    for (int attempt = 0;; ++attempt) {
                        Translation t;
                        QString why;
                        if (!m_translator->translate(s, run.types, &t, &why)) return fail(s, why);
                        QVariantList params;
                        for (const QString& p : t.parameters) params << run.variables.value(p).value;
                        host::RecordSetPtr r;
                        const bool ok = t.returnsRows
                                            ? bool(r = database().query(t.sql, params, &why))
                                            : database().execParams(t.sql, params, &why);
                        if (ok || (attempt == 0 && m_backend->catalogueMayBeStale())) {
                            if (ok && r) run.lastRows = std::move(r);
                            if (!ok || t.changesSchema) {
                                schemaChanged();
                            }
                            if (!ok) continue;
                            break;
                        }
                        return fail(s, why);
                    }
                    break;
                }
                case Statement::Kind::Declare:
                    if (run.variables.contains(s.variable))
                        return fail(s, QStringLiteral("the variable %1 is declared twice").arg(s.variable));
                    if (!TypeInfo::of(s.typeName).known)
                        return fail(s, QStringLiteral("unsupported T-SQL construct: type %1").arg(s.typeName));
                    run.variables.insert(s.variable, {s.typeName, QVariant()});
                    run.types.insert(s.variable, s.typeName);
                    break;
                case Statement::Kind::Set: {
                    if (!run.variables.contains(s.variable))
                        return fail(s, QStringLiteral("must declare the scalar variable %1").arg(s.variable));
                    QVariant v;
                    if (!evaluate(s, false, &v)) return false;
                    auto& var = run.variables[s.variable];
                    var.value = asDeclared(v, var.type);
                    break;
                }
                case Statement::Kind::If: {
                    QVariant v;
                    if (!evaluate(s, true, &v)) return false;
                    if (!runList(v.toInt() != 0 ? s.body : s.elseBody)) return false;
                    break;
                }
                case Statement::Kind::Block:
                    if (!runList(s.body)) return false;
                    break;
                case Statement::Kind::Exec: {
                    const auto it = m_procedures.constFind(s.procedure.toLower());
                    if (it == m_procedures.constEnd())
                        return fail(s, QStringLiteral("unknown procedure: %1").arg(s.procedure));
                    QStringList arguments;
                    QString current;
                    int depth = 0;
                    for (const Token& t : s.tokens) {
                        if (t.isSymbol("(")) ++depth;
                        if (t.isSymbol(")")) --depth;
                        if (depth == 0 && t.isSymbol(",")) {
                            arguments << current;
                            current.clear();
                            continue;
                        }
                        current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + t.text;
                    }
                    if (!current.isEmpty()) arguments << current;
                    QString why;
                    if (!(*it)(*this, arguments, &why)) return fail(s, why);
                    break;
                }
                case Statement::Kind::Return:
                    run.returned = true;
                    return true;
                case Statement::Kind::Nothing:
                    break;
            }
        }
        return true;
    };
    if (!runList(batch->statements)) {
        qCWarning(lcSql).noquote() << m_error;
        return false;
    }
    if (wantRows) {
        if (!run.lastRows) {
            m_error = QStringLiteral("the statement returns no rows [in: %1]").arg(statementText(sql));
            qCWarning(lcSql).noquote() << m_error;
            return false;
        }
        *rows = run.lastRows;
    }
    return true;
}

}  // namespace platform::sql
