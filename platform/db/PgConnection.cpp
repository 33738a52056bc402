#include "platform/db/PgConnection.h"

#include <libpq-fe.h>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QLoggingCategory>
#include <limits>
#include <utility>
#include <vector>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/db/StatementCount.h"

Q_LOGGING_CATEGORY(lcPg, "userdef.db.pg", QtCriticalMsg)

namespace platform::db {

namespace {

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

// Type oids of the server's built-in types (pg_type.oid; fixed across versions).
namespace Oid {
constexpr unsigned Bool = 16, Bytea = 17, Char = 18, Name = 19, Int8 = 20, Int2 = 21, Int4 = 23,
                   Text = 25, ObjectId = 26, Float4 = 700, Float8 = 701, Unknown = 705, Money = 790,
                   BpChar = 1042, VarChar = 1043, Date = 1082, Timestamp = 1114, TimestampTz = 1184,
                   Numeric = 1700, Uuid = 2950;
}

// The component's declared type a server column of the type oid and modifier reads as; the
// inverse of pgColumnType. Empty for types the component never declares.
QString declaredTypeOf(unsigned oid, int typmod) {
    constexpr int kHeader = 4;  // a length modifier counts its 4-byte header
    switch (oid) {
        case Oid::VarChar:
            return typmod > kHeader ? QStringLiteral("nvarchar(%1)").arg(typmod - kHeader)
                                    : QStringLiteral("text");
        case Oid::BpChar:
            return QStringLiteral("nchar(%1)").arg(typmod > kHeader ? typmod - kHeader : 1);
        case Oid::Char:
            return QStringLiteral("nchar(1)");
        case Oid::Text:
        case Oid::Unknown:
            return QStringLiteral("ntext");
        case Oid::Name:
            return QStringLiteral("sysname");
        case Oid::Int2:
            return QStringLiteral("smallint");
        case Oid::Int4:
            return QStringLiteral("int");
        case Oid::Int8:
        case Oid::ObjectId:
            return QStringLiteral("bigint");
        case Oid::Bool:
            return QStringLiteral("bit");
        case Oid::Numeric:
            if (typmod >= kHeader) {
                const int m = typmod - kHeader;
                return QStringLiteral("decimal(%1,%2)").arg((m >> 16) & 0xffff).arg(m & 0xffff);
            }
            return QStringLiteral("decimal");
        case Oid::Float4:
        case Oid::Float8:
            return QStringLiteral("float");
        case Oid::Money:
            return QStringLiteral("money");
        case Oid::Date:
        case Oid::Timestamp:
        case Oid::TimestampTz:
            return QStringLiteral("datetime");
        case Oid::Bytea:
            return QStringLiteral("varbinary(max)");
        case Oid::Uuid:
            return QStringLiteral("uniqueidentifier");
        default:
            return {};
    }
}

// How the text the server sends for a value becomes a record set value.
enum class Reading : uint8_t { Text, Int32, Int64, Bool, BoolAsInt, Double, Binary };

Reading readingOf(int fieldType) {
    using namespace host::FieldType;
    switch (fieldType) {
        case Integer:
        case SmallInt:
        case TinyInt:
            return Reading::Int32;
        case BigInt:
            return Reading::Int64;
        case Boolean:
            return Reading::Bool;
        case Numeric:
        case Currency:
        case Double:
            return Reading::Double;
        case Binary:
        case VarBinary:
        case LongVarBinary:
            return Reading::Binary;
        default:
            return Reading::Text;
    }
}

void addValue(host::RecordSet::Builder& b, const char* text, int bytes, Reading reading) {
    switch (reading) {
        case Reading::Text:
            return b.addText(text, bytes);
        case Reading::Int32:
            return b.addInt32(int(std::strtol(text, nullptr, 10)));
        case Reading::Int64:
            return b.addInt64(std::strtoll(text, nullptr, 10));
        case Reading::Bool:
            return b.addBool(text[0] == 't');
        case Reading::BoolAsInt:
            return b.addInt32(text[0] == 't' ? 1 : 0);
        case Reading::Double:
            return b.addDouble(std::strtod(text, nullptr));
        case Reading::Binary: {
            size_t length = 0;
            unsigned char* raw =
                PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
            b.addBlob(reinterpret_cast<const char*>(raw), qsizetype(length));
            PQfreemem(raw);
            return;
        }
    }
}

// A computed column has no declared type on an embedded account: it takes the kind of its
// first value (whole numbers as int while they fit, other numbers as double, the rest as text
// without a size). A server column of the same expression reads the same.
host::FieldInfo computedField(PGresult* res, int col, Reading* reading) {
    host::FieldInfo f;
    f.type = host::FieldType::VarWChar;
    *reading = Reading::Text;
    switch (PQftype(res, col)) {
        case Oid::Int2:
        case Oid::Int4:
        case Oid::Int8:
        case Oid::Bool: {
            const bool isBool = PQftype(res, col) == Oid::Bool;
            bool wide = false;
            for (int r = 0; r < PQntuples(res); ++r) {
                if (PQgetisnull(res, r, col)) continue;
                const qint64 v = std::strtoll(PQgetvalue(res, r, col), nullptr, 10);
                wide = v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max();
                break;
            }
            f.type = wide ? host::FieldType::BigInt : host::FieldType::Integer;
            f.definedSize = wide ? 8 : 4;
            *reading = isBool ? Reading::BoolAsInt : wide ? Reading::Int64 : Reading::Int32;
            break;
        }
        case Oid::Float4:
        case Oid::Float8:
        case Oid::Numeric:
        case Oid::Money:
            f.type = host::FieldType::Double;
            f.definedSize = 8;
            *reading = Reading::Double;
            break;
        case Oid::Bytea:
            f.type = host::FieldType::VarBinary;
            *reading = Reading::Binary;
            break;
        default:
            break;
    }
    return f;
}

// The server's message with its detail and hint, without the severity prefix and the
// position marker meant for a terminal.
QString resultError(const PGresult* res, PGconn* conn) {
    const char* primary = res ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (!primary) return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    QString text = QString::fromUtf8(primary);
    if (const char* detail = PQresultErrorField(res, PG_DIAG_MESSAGE_DETAIL))
        text += QStringLiteral(" (%1)").arg(QString::fromUtf8(detail));
    if (const char* hint = PQresultErrorField(res, PG_DIAG_MESSAGE_HINT))
        text += QStringLiteral(" %1").arg(QString::fromUtf8(hint));
    return text;
}

// A parameter as the server takes it: text in the server's input form, bytes in binary.
struct Param {
    QByteArray bytes;
    bool null = false;
    bool binary = false;
};

Param paramOf(const QVariant& v) {
    Param p;
    if (!v.isValid() || v.isNull()) {
        p.null = true;
        return p;
    }
    switch (v.typeId()) {
        case QMetaType::Bool:  // "1"/"0" read as boolean and as a number
            p.bytes = v.toBool() ? "1" : "0";
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            p.bytes = QByteArray::number(v.toDouble(), 'g', 17);
            break;
        case QMetaType::QByteArray:
            p.bytes = v.toByteArray();
            p.binary = true;
            break;
        case QMetaType::QDateTime:
            p.bytes = v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toUtf8();
            break;
        case QMetaType::QDate:
            p.bytes = v.toDate().toString(Qt::ISODate).toUtf8();
            break;
        default:
            p.bytes = v.toString().toUtf8();
            break;
    }
    return p;
}

}  // namespace

QString pgColumnType(const QString& declared) {
    const DeclaredType t = DeclaredType::parse(declared);
    const QString& b = t.base;
    const bool sized = t.length > 0;
    if (b == QLatin1String("nvarchar") || b == QLatin1String("varchar")) {
        // (max) is long text, wide or not, as ntext and text are.
        if (t.length == 0)
            return b == QLatin1String("nvarchar") ? QStringLiteral("text")
                                                  : QStringLiteral("varchar");
        return QStringLiteral("varchar(%1)").arg(sized ? t.length : 1);
    }
    if (b == QLatin1String("nchar") || b == QLatin1String("char") ||
        b == QLatin1String("character"))
        return QStringLiteral("char(%1)").arg(sized ? t.length : 1);
    if (b == QLatin1String("sysname")) return QStringLiteral("varchar(128)");
    if (b == QLatin1String("ntext")) return QStringLiteral("text");
    if (b == QLatin1String("text")) return QStringLiteral("varchar");
    if (b == QLatin1String("int") || b == QLatin1String("integer"))
        return QStringLiteral("integer");
    if (b == QLatin1String("smallint") || b == QLatin1String("tinyint"))
        return QStringLiteral("smallint");
    if (b == QLatin1String("bigint")) return QStringLiteral("bigint");
    if (b == QLatin1String("bit") || b == QLatin1String("boolean"))
        return QStringLiteral("boolean");
    if (b == QLatin1String("decimal") || b == QLatin1String("numeric"))
        return QStringLiteral("numeric(%1,%2)").arg(sized ? t.length : 18).arg(qMax(t.scale, 0));
    if (b == QLatin1String("money") || b == QLatin1String("smallmoney"))
        return QStringLiteral("numeric(19,4)");
    if (b == QLatin1String("float") || b == QLatin1String("double"))
        return QStringLiteral("double precision");
    if (b == QLatin1String("real")) return QStringLiteral("real");
    if (b == QLatin1String("datetime") || b == QLatin1String("datetime2") ||
        b == QLatin1String("smalldatetime"))
        return QStringLiteral("timestamp(3)");
    if (b == QLatin1String("date")) return QStringLiteral("date");
    if (b == QLatin1String("binary") || b == QLatin1String("varbinary") ||
        b == QLatin1String("image") || b == QLatin1String("timestamp") ||
        b == QLatin1String("rowversion"))
        return QStringLiteral("bytea");
    if (b == QLatin1String("uniqueidentifier")) return QStringLiteral("uuid");
    return {};
}

QString pgParameterMarks(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 8);
    const qsizetype n = sql.size();
    auto isWord = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    // Copies from i up to and including the closing text; to the end when it is missing.
    auto copyThrough = [&](qsizetype& i, const QString& close) {
        const qsizetype end = sql.indexOf(close, i);
        const qsizetype stop = end < 0 ? n : end + close.size();
        out += QStringView(sql).mid(i, stop - i);
        i = stop;
    };
    int highest = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A literal or quoted name; a doubled quote stays inside, an E'' literal also
            // takes backslash escapes.
            const bool escapes = c == QLatin1Char('\'') && i > 0 &&
                                 (sql.at(i - 1) == QLatin1Char('E') ||
                                  sql.at(i - 1) == QLatin1Char('e')) &&
                                 (i < 2 || !isWord(sql.at(i - 2)));
            qsizetype j = i + 1;
            while (j < n) {
                if (escapes && sql.at(j) == QLatin1Char('\\')) {
                    j += 2;
                } else if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        j += 2;
                    } else {
                        ++j;
                        break;
                    }
                } else {
                    ++j;
                }
            }
            j = qMin(j, n);
            out += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            copyThrough(i, QStringLiteral("\n"));
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            out += QStringLiteral("/*");
            i += 2;
            copyThrough(i, QStringLiteral("*/"));
        } else if (c == QLatin1Char('$') && !(i > 0 && isWord(sql.at(i - 1))) &&
                   !next.isDigit()) {
            // A dollar-quoted literal: $$…$$ or $tag$…$tag$.
            qsizetype j = i + 1;
            while (j < n && isWord(sql.at(j))) ++j;
            if (j < n && sql.at(j) == QLatin1Char('$')) {
                const QString tag = sql.mid(i, j - i + 1);
                out += tag;
                i = j + 1;
                copyThrough(i, tag);
            } else {
                out += c;
                ++i;
            }
        } else if (c == QLatin1Char('?')) {
            qsizetype j = i + 1;
            while (j < n && sql.at(j).isDigit()) ++j;
            const int number = j > i + 1 ? sql.mid(i + 1, j - i - 1).toInt() : highest + 1;
            highest = qMax(highest, number);
            out += QLatin1Char('$') + QString::number(number);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

struct PgConnection::Result {
    explicit Result(PGresult* r) : res(r) {}
    PGresult* res;
    ~Result() { PQclear(res); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
};

PgConnection::PgConnection(pg_conn* conn, QString conninfo)
    : m_conn(conn), m_conninfo(std::move(conninfo)) {}

PgConnection::~PgConnection() { PQfinish(m_conn); }

std::unique_ptr<PgConnection> PgConnection::open(const QString& conninfo, QString* error) {
    const QByteArray info = conninfo.toUtf8();
    char* parseError = nullptr;
    PQconninfoOption* options = PQconninfoParse(info.constData(), &parseError);
    if (!options) {
        setError(error, QStringLiteral("the connection string is not valid: %1")
                            .arg(parseError ? QString::fromUtf8(parseError).trimmed()
                                            : QStringLiteral("out of memory")));
        PQfreemem(parseError);
        return nullptr;
    }
    bool hasPassword = false;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (qstrcmp(o->keyword, "password") == 0 && o->val && *o->val) hasPassword = true;
    PQconninfoFree(options);
    if (hasPassword) {
        setError(error, QStringLiteral("the connection string holds a password; keep it in the "
                                       "password file (~/.pgpass) or a service file instead"));
        return nullptr;
    }
    // A server that takes the connection but never answers is given up after a while instead of
    // holding the caller for good; a connect_timeout of the string (or PGCONNECT_TIMEOUT) wins,
    // as the string comes after the default here.
    const QByteArray timeout = qEnvironmentVariableIsEmpty("PGCONNECT_TIMEOUT")
                                   ? QByteArray::number(kConnectTimeoutSeconds)
                                   : qgetenv("PGCONNECT_TIMEOUT");
    const char* const keywords[] = {"connect_timeout", "dbname", nullptr};
    const char* const values[] = {timeout.constData(), info.constData(), nullptr};
    PGconn* conn = PQconnectdbParams(keywords, values, 1);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        setError(error, QStringLiteral("cannot connect to the server: %1")
                            .arg(conn ? QString::fromUtf8(PQerrorMessage(conn)).trimmed()
                                      : QStringLiteral("out of memory")));
        PQfinish(conn);
        return nullptr;
    }
    // Notices ("… does not exist, skipping") are not errors; keep them off the terminal.
    PQsetNoticeProcessor(
        conn, [](void*, const char* message) { qCDebug(lcPg) << message; }, nullptr);
    std::unique_ptr<PgConnection> result(new PgConnection(conn, conninfo));
    QString why;
    // Values travel as UTF-8 text in the forms the record set reads: ISO dates, exact floats.
    if (!result->exec(QStringLiteral("SET client_encoding TO 'UTF8'; SET DateStyle TO ISO, YMD; "
                                     "SET extra_float_digits TO 3; SET TimeZone TO 'UTC'"),
                      &why)) {
        setError(error, QStringLiteral("cannot prepare the connection: %1").arg(why));
        return nullptr;
    }
    return result;
}

int PgConnection::backendPid() const { return PQbackendPID(m_conn); }

bool PgConnection::isOpen() const { return PQstatus(m_conn) == CONNECTION_OK; }

bool PgConnection::transactionFailed() const {
    return PQtransactionStatus(m_conn) == PQTRANS_INERROR;
}

bool PgConnection::inTransaction() const {
    const PGTransactionStatusType s = PQtransactionStatus(m_conn);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR;
}

Failure PgConnection::lastFailure() const {
    if (!m_failed) return Failure::None;
    if (m_sqlState.startsWith(QLatin1String("23"))) return Failure::Constraint;
    // Lock not available (a lock wait ran out), serialization failure, deadlock.
    if (m_sqlState == QLatin1String("55P03") || m_sqlState == QLatin1String("40001") ||
        m_sqlState == QLatin1String("40P01"))
        return Failure::Busy;
    return Failure::Other;
}

bool PgConnection::awaitWriteTurn(QString* error) {
    constexpr qint64 kWriteTurnKey = 0x7A78'5772'6974;  // the same for every client
    return exec(QStringLiteral("SET LOCAL lock_timeout = %1; SELECT pg_advisory_xact_lock(%2)")
                    .arg(Database::kBusyTimeoutMs)
                    .arg(kWriteTurnKey),
                error);
}

namespace {
// The ordinary tables of the schemas on the search path.
const char kVisibleTables[] =
    "pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
    "WHERE c.relkind IN ('r', 'p') AND n.nspname = ANY (pg_catalog.current_schemas(false))";
}  // namespace

bool PgConnection::tableNames(QStringList* names, QString* error) {
    names->clear();
    const host::RecordSetPtr rs = query(
        QStringLiteral("SELECT c.relname::text FROM %1 ORDER BY c.relname").arg(kVisibleTables), {},
        error);
    if (!rs) return false;
    for (int r = 0; r < rs->recordCount(); ++r) names->append(rs->at(r, 0).toString());
    return true;
}

bool PgConnection::tableColumns(const QString& table, QList<TableColumn>* columns, QString* error) {
    QHash<QString, QList<TableColumn>> found;
    if (!tablesColumns({table}, &found, error)) return false;
    *columns = found.value(table.toLower());
    return true;
}

bool PgConnection::tablesColumns(const QStringList& tables,
                                 QHash<QString, QList<TableColumn>>* columns, QString* error) {
    columns->clear();
    if (tables.isEmpty()) return true;
    QStringList marks;
    QVariantList names;
    for (const QString& table : tables) {
        marks << QStringLiteral("lower(?::text)");
        names << table;
    }
    // Every table of the search path whose name matches one asked for in any letter case, with
    // its place on the path, then its columns in order.
    const QString sql =
        QStringLiteral(
            "SELECT c.relname::text, "
            "array_position(pg_catalog.current_schemas(false), n.nspname)::int4, "
            "a.attname::text, a.atttypid::int8, a.atttypmod::int4, "
            "CASE WHEN a.attcollation <> t.typcollation THEN co.collname::text END, "
            "a.attnotnull::int4, pg_catalog.pg_get_expr(d.adbin, d.adrelid), "
            "COALESCE(array_position(k.conkey, a.attnum), 0)::int4 "
            "FROM pg_catalog.pg_class c "
            "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
            "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid "
            "JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
            "LEFT JOIN pg_catalog.pg_collation co ON co.oid = a.attcollation "
            "LEFT JOIN pg_catalog.pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
            "LEFT JOIN pg_catalog.pg_constraint k ON k.conrelid = a.attrelid AND k.contype = 'p' "
            "WHERE c.relkind IN ('r', 'p') "
            "AND n.nspname = ANY (pg_catalog.current_schemas(false)) "
            "AND a.attnum > 0 AND NOT a.attisdropped "
            "AND lower(c.relname::text) IN (%1) "
            "ORDER BY 1, 2, a.attnum")
            .arg(marks.join(QStringLiteral(", ")));
    const host::RecordSetPtr rs = query(sql, names, error);
    if (!rs) return false;

    struct Found {
        QString name;
        int place = 0;
        QList<TableColumn> columns;
    };
    QList<Found> found;
    QHash<QString, QList<qsizetype>> byName;  // lower-cased name → entries of `found`
    for (int r = 0; r < rs->recordCount(); ++r) {
        const QString name = rs->at(r, 0).toString();
        const int place = rs->at(r, 1).toInt();
        if (found.isEmpty() || found.last().name != name || found.last().place != place) {
            found.append({name, place, {}});
            byName[name.toLower()].append(found.size() - 1);
        }
        TableColumn c;
        c.name = rs->at(r, 2).toString();
        c.type = declaredTypeOf(unsigned(rs->at(r, 3).toLongLong()), rs->at(r, 4).toInt());
        c.collation = rs->at(r, 5).toString();
        c.notNull = rs->at(r, 6).toInt() != 0;
        c.defaultValue = rs->at(r, 7).isNull() ? QVariant() : QVariant(rs->at(r, 7).toString());
        c.keyPosition = rs->at(r, 8).toInt();
        found.last().columns.append(c);
    }
    // The table spelt exactly wins over one that differs in letter case; then the search path.
    for (const QString& table : tables) {
        const Found* best = nullptr;
        for (const qsizetype i : byName.value(table.toLower())) {
            const Found& f = found.at(i);
            if (!best || std::pair(f.name != table, f.place) < std::pair(best->name != table, best->place))
                best = &f;
        }
        if (best) columns->insert(table.toLower(), best->columns);
    }
    return true;
}

namespace {
// "nvarchar(20) COLLATE NOCASE" → the type and whether it compares without case.
QString splitCollation(const QString& declared, bool* noCase) {
    static const QLatin1String kNoCase(" COLLATE NOCASE");
    const QString t = declared.trimmed();
    *noCase = t.endsWith(kNoCase, Qt::CaseInsensitive);
    return *noCase ? t.left(t.size() - kNoCase.size()).trimmed() : t;
}
}  // namespace

QString PgConnection::columnType(const QString& declared) const {
    bool noCase = false;
    const QString base = splitCollation(declared, &noCase);
    const QString type = pgColumnType(base);
    if (type.isEmpty()) return declared;  // refused by the server with its own reason
    return noCase ? type + QStringLiteral(" COLLATE zxsystem.zx_nocase") : type;
}

QString PgConnection::valueAs(const QString& expression, const QString& declared) const {
    bool noCase = false;
    const QString type = pgColumnType(splitCollation(declared, &noCase));
    return type.isEmpty() ? expression
                          : QStringLiteral("CAST(%1 AS %2)").arg(expression, type);
}

bool PgConnection::alterColumnStatements(const QString& table, const QString& column,
                                         const QString& type, QStringList* statements,
                                         QString* error) {
    Q_UNUSED(error)
    const QString t = host::sqlIdentQuoted(table), c = host::sqlIdentQuoted(column);
    if (type.isEmpty()) {
        *statements = {QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(t, c)};
        return true;
    }
    // The values convert as on storing them: a text too long for the new length fails it.
    *statements = {QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE %3").arg(t, c, columnType(type))};
    return true;
}

std::unique_ptr<PgConnection::Result> PgConnection::run(const QString& sql,
                                                        const QVariantList* params,
                                                        QString* error) {
    StatementCount::add();
    m_sqlState.clear();
    m_failed = false;
    const QByteArray text = (params ? pgParameterMarks(sql) : sql).toUtf8();
    PGresult* res = nullptr;
    if (!params) {
        res = PQexec(m_conn, text.constData());
    } else {
        const int n = int(params->size());
        std::vector<Param> values;
        values.reserve(size_t(n));
        const auto count = size_t(n);
        std::vector<const char*> pointers(count);
        std::vector<int> lengths(count), formats(count);
        for (int i = 0; i < n; ++i) {
            values.push_back(paramOf(params->at(i)));
            const Param& p = values.back();
            pointers[size_t(i)] = p.null ? nullptr : p.bytes.constData();
            lengths[size_t(i)] = int(p.bytes.size());
            formats[size_t(i)] = p.binary ? 1 : 0;
        }
        res = PQexecParams(m_conn, text.constData(), n, nullptr, pointers.data(), lengths.data(),
                           formats.data(), 0);
    }
    std::unique_ptr<Result> result(new Result(res));
    const ExecStatusType status = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString why = resultError(res, m_conn);
        m_failed = true;
        if (const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr)
            m_sqlState = QString::fromLatin1(state);
        qCWarning(lcPg) << why << "in" << sql.left(200);
        setError(error, why.isEmpty() ? QStringLiteral("the statement failed") : why);
        return nullptr;
    }
    // As on an embedded account, only a row change counts; a query or DDL keeps the count.
    const QByteArray command = QByteArray(PQcmdStatus(res)).split(' ').value(0);
    if (command == "INSERT" || command == "UPDATE" || command == "DELETE" || command == "MERGE")
        m_changes = QByteArray(PQcmdTuples(res)).toInt();
    return result;
}

bool PgConnection::exec(const QString& sql, QString* error) {
    return run(sql, nullptr, error) != nullptr;
}

bool PgConnection::execParams(const QString& sql, const QVariantList& params, QString* error) {
    return run(sql, &params, error) != nullptr;
}

host::RecordSetPtr PgConnection::query(const QString& sql, const QVariantList& params,
                                       QString* error) {
    const std::unique_ptr<Result> result = run(sql, &params, error);
    if (!result) return nullptr;
    PGresult* res = result->res;
    const int columns = PQnfields(res);
    const int rows = PQntuples(res);
    QVector<host::FieldInfo> fields(columns);
    std::vector<Reading> readings(size_t(columns), Reading::Text);
    for (int c = 0; c < columns; ++c) {
        // A column of a table has its declared type; anything else is computed.
        const DeclaredType t =
            PQftable(res, c) != 0
                ? DeclaredType::parse(declaredTypeOf(PQftype(res, c), PQfmod(res, c)))
                : DeclaredType{};
        if (t.fieldType) {
            fields[c].type = t.fieldType;
            fields[c].definedSize = t.definedSize;
            readings[size_t(c)] = readingOf(t.fieldType);
        } else {
            fields[c] = computedField(res, c, &readings[size_t(c)]);
        }
        fields[c].name = QString::fromUtf8(PQfname(res, c));
    }
    host::RecordSet::Builder builder(columns);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(res, r, c)) {
                builder.addNull();
                continue;
            }
            addValue(builder, PQgetvalue(res, r, c), PQgetlength(res, r, c), readings[size_t(c)]);
        }
    }
    return std::make_shared<host::RecordSet>(builder.finish(std::move(fields)));
}

}  // namespace platform::db
