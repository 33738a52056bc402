#include "platform/db/Database.h"

#include "host/Quote.h"
#include "platform/db/Collation.h"
#include "platform/db/Schema.h"
#include "platform/db/StatementCount.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QLoggingCategory>
#include <QStringList>
#include <limits>
#include <vector>

Q_LOGGING_CATEGORY(lcDb, "userdef.db", QtCriticalMsg)

namespace platform::db {

namespace {

QString errorText(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

// Sizes an ADO client reports for the kinds whose size does not come from the declaration.
constexpr int kLongTextSize = 1073741823;
constexpr int kLongAnsiSize = 2147483647;
constexpr int kGuidType = 72;

struct TypeRule {
    const char* name;
    int fieldType;
    int fixedSize;  // -1: size is the declared length
};

const TypeRule kTypeRules[] = {
    {"nvarchar", host::FieldType::VarWChar, -1},
    {"nchar", host::FieldType::WChar, -1},
    {"ntext", host::FieldType::LongVarWChar, kLongTextSize},
    {"varchar", host::FieldType::VarChar, -1},
    {"char", host::FieldType::Char, -1},
    {"character", host::FieldType::Char, -1},
    {"text", host::FieldType::LongVarChar, kLongAnsiSize},
    {"sysname", host::FieldType::VarWChar, 128},
    {"int", host::FieldType::Integer, 4},
    {"integer", host::FieldType::Integer, 4},
    {"smallint", host::FieldType::SmallInt, 2},
    {"tinyint", host::FieldType::TinyInt, 1},
    {"bigint", host::FieldType::BigInt, 8},
    {"bit", host::FieldType::Boolean, 2},
    {"boolean", host::FieldType::Boolean, 2},
    {"decimal", host::FieldType::Numeric, 19},
    {"numeric", host::FieldType::Numeric, 19},
    {"money", host::FieldType::Currency, 8},
    {"smallmoney", host::FieldType::Currency, 8},
    {"float", host::FieldType::Double, 8},
    {"real", host::FieldType::Double, 8},
    {"double", host::FieldType::Double, 8},
    {"datetime", host::FieldType::DBTimeStamp, 16},
    {"datetime2", host::FieldType::DBTimeStamp, 16},
    {"smalldatetime", host::FieldType::DBTimeStamp, 16},
    {"date", host::FieldType::DBTimeStamp, 16},
    {"binary", host::FieldType::Binary, -1},
    {"varbinary", host::FieldType::VarBinary, -1},
    {"timestamp", host::FieldType::VarBinary, 8},
    {"rowversion", host::FieldType::VarBinary, 8},
    {"image", host::FieldType::LongVarBinary, kLongAnsiSize},
    {"uniqueidentifier", kGuidType, 16},
};

bool isTextKind(int t) {
    using namespace host::FieldType;
    return t == VarWChar || t == WChar || t == LongVarWChar || t == VarChar || t == Char ||
           t == LongVarChar || t == kGuidType;
}

bool isBinaryKind(int t) {
    using namespace host::FieldType;
    return t == Binary || t == VarBinary || t == LongVarBinary;
}

// How the values of a column are kept: as a client of the column's declared type reads them.
enum class Reading : uint8_t { Natural, Text, Int32, Int64, Bool, Double, Binary };

Reading readingOf(int fieldType) {
    using namespace host::FieldType;
    if (isTextKind(fieldType)) return Reading::Text;
    switch (fieldType) {
        case Integer:
        case SmallInt:
        case TinyInt: return Reading::Int32;
        case BigInt: return Reading::Int64;
        case Boolean: return Reading::Bool;
        case Numeric:
        case Currency:
        case Double: return Reading::Double;
        case Binary:
        case VarBinary:
        case LongVarBinary: return Reading::Binary;
        default: return Reading::Natural;
    }
}

// The databases hold UTF-8; it is kept as such and becomes a QString only when read.
void addText(host::RecordSet::Builder& b, sqlite3_stmt* st, int col) {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    const int bytes = sqlite3_column_bytes(st, col);
    b.addText(data ? data : "", data ? bytes : 0);
}

// A value as it is stored, for columns without a declared type.
void addNatural(host::RecordSet::Builder& b, sqlite3_stmt* st, int col, int storage) {
    switch (storage) {
        case SQLITE_INTEGER: {
            const qint64 v = sqlite3_column_int64(st, col);
            if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max())
                b.addInt32(int(v));
            else
                b.addInt64(v);
            return;
        }
        case SQLITE_FLOAT: b.addDouble(sqlite3_column_double(st, col)); return;
        case SQLITE_BLOB:
            b.addBlob(static_cast<const char*>(sqlite3_column_blob(st, col)),
                      sqlite3_column_bytes(st, col));
            return;
        default: addText(b, st, col); return;
    }
}

// The value of a column with a declared type, as a client of that type sees it.
void addValue(host::RecordSet::Builder& b, sqlite3_stmt* st, int col, Reading reading) {
    const int storage = sqlite3_column_type(st, col);
    if (storage == SQLITE_NULL) return b.addNull();
    const bool number = storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
    switch (reading) {
        case Reading::Text: return addText(b, st, col);
        case Reading::Int32:
            if (number) return b.addInt32(int(sqlite3_column_int64(st, col)));
            break;
        case Reading::Int64:
            if (number) return b.addInt64(sqlite3_column_int64(st, col));
            break;
        case Reading::Bool:
            if (storage == SQLITE_INTEGER) return b.addBool(sqlite3_column_int64(st, col) != 0);
            if (number) return b.addBool(sqlite3_column_double(st, col) != 0.0);
            if (storage == SQLITE_TEXT) {
                const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
                const QByteArray t = QByteArray(data, sqlite3_column_bytes(st, col)).trimmed().toLower();
                if (t == "true") return b.addBool(true);
                if (t == "false") return b.addBool(false);
            }
            break;
        case Reading::Double:
            if (number) return b.addDouble(sqlite3_column_double(st, col));
            break;
        case Reading::Binary:
            if (storage == SQLITE_INTEGER) {
                // A row version kept as a counter reads as the 8 bytes a server would give.
                quint64 v = quint64(sqlite3_column_int64(st, col));
                char bytes[8];
                for (int i = 7; i >= 0; --i, v >>= 8) bytes[i] = char(v & 0xff);
                return b.addBlob(bytes, 8);
            }
            break;
        case Reading::Natural: break;
    }
    addNatural(b, st, col, storage);
}

bool bindValue(sqlite3_stmt* st, int index, const QVariant& v) {
    if (!v.isValid() || v.isNull()) return sqlite3_bind_null(st, index) == SQLITE_OK;
    switch (v.typeId()) {
        case QMetaType::Bool:
            return sqlite3_bind_int(st, index, v.toBool() ? 1 : 0) == SQLITE_OK;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return sqlite3_bind_int64(st, index, v.toLongLong()) == SQLITE_OK;
        case QMetaType::Double:
        case QMetaType::Float:
            return sqlite3_bind_double(st, index, v.toDouble()) == SQLITE_OK;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            return sqlite3_bind_blob64(st, index, b.constData(), sqlite3_uint64(b.size()),
                                       SQLITE_TRANSIENT) == SQLITE_OK;
        }
        case QMetaType::QDateTime:
            return bindValue(st, index,
                             v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        case QMetaType::QDate:
            return bindValue(st, index, v.toDate().toString(QStringLiteral("yyyy-MM-dd")));
        default: {
            const QString s = v.toString();
            return sqlite3_bind_text16(st, index, s.utf16(), int(s.size() * sizeof(char16_t)),
                                       SQLITE_TRANSIENT) == SQLITE_OK;
        }
    }
}

// One prepared statement; finalised when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql, QString* error) : m_db(db) {
        const QByteArray utf8 = sql.toUtf8();
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_st, &tail) != SQLITE_OK) {
            setError(error, errorText(db));
            m_st = nullptr;
            return;
        }
        if (tail && *tail) {
            sqlite3_stmt* more = nullptr;
            sqlite3_prepare_v2(db, tail, -1, &more, nullptr);
            if (more) {
                sqlite3_finalize(more);
                setError(error, QStringLiteral("only one statement is allowed here"));
                sqlite3_finalize(m_st);
                m_st = nullptr;
                return;
            }
        }
        if (!m_st) setError(error, QStringLiteral("the statement is empty"));
    }
    ~Statement() { sqlite3_finalize(m_st); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return m_st; }

    bool bind(const QVariantList& params, QString* error) {
        const int count = sqlite3_bind_parameter_count(m_st);
        if (params.size() != count) {
            setError(error, QStringLiteral("the statement takes %1 parameters, %2 given")
                                .arg(count)
                                .arg(params.size()));
            return false;
        }
        for (int i = 0; i < count; ++i) {
            if (!bindValue(m_st, i + 1, params.at(i))) {
                setError(error, errorText(m_db));
                return false;
            }
        }
        return true;
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_st = nullptr;
};

}  // namespace

DeclaredType DeclaredType::parse(const QString& declared) {
    DeclaredType t;
    QString text = declared.trimmed().toLower();
    // "nvarchar(60) collate nocase", "int not null": the type name ends at the arguments or at
    // the first word that is not part of a type name.
    const int paren = text.indexOf(QLatin1Char('('));
    QString args;
    if (paren >= 0) {
        const int close = text.indexOf(QLatin1Char(')'), paren);
        args = text.mid(paren + 1, close > paren ? close - paren - 1 : -1);
        text = text.left(paren);
    }
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) return t;
    t.base = words.first();
    if (t.base == QLatin1String("double") || t.base == QLatin1String("character")) {
        if (words.size() > 1 && (words[1] == QLatin1String("precision") ||
                                 words[1] == QLatin1String("varying")))
            t.base = words[1] == QLatin1String("varying") ? QStringLiteral("varchar")
                                                            : QStringLiteral("double");
    }
    if (!args.isEmpty()) {
        const QStringList parts = args.split(QLatin1Char(','));
        const QString first = parts.value(0).trimmed();
        t.length = first == QLatin1String("max") ? 0 : first.toInt();
        if (parts.size() > 1) t.scale = parts.value(1).trimmed().toInt();
    }
    for (const TypeRule& rule : kTypeRules) {
        if (t.base == QLatin1String(rule.name)) {
            t.fieldType = rule.fieldType;
            if (rule.fixedSize >= 0) {
                t.definedSize = rule.fixedSize;
            } else if (t.length == 0) {  // (max)
                const bool wide = rule.fieldType == host::FieldType::VarWChar;
                t.fieldType = isBinaryKind(rule.fieldType) ? host::FieldType::LongVarBinary
                              : wide                       ? host::FieldType::LongVarWChar
                                                           : host::FieldType::LongVarChar;
                t.definedSize = wide ? kLongTextSize : kLongAnsiSize;
            } else {
                t.definedSize = t.length > 0 ? t.length : 1;  // char without length is char(1)
            }
            break;
        }
    }
    return t;
}

Database::Database(sqlite3* db, QString path) : m_db(db), m_path(std::move(path)) {}

Database::~Database() {
    if (m_db && sqlite3_close(m_db) != SQLITE_OK) {
        qCWarning(lcDb) << "closing" << m_path << "with statements still open:" << errorText(m_db);
        sqlite3_close_v2(m_db);
    }
}

std::unique_ptr<Database> Database::open(const QString& path, bool create, QString* error) {
    if (path.isEmpty()) {
        setError(error, QStringLiteral("no database file given"));
        return nullptr;
    }
    if (!create && path != QLatin1String(":memory:") && !QFileInfo::exists(path)) {
        setError(error, QStringLiteral("database file not found: %1").arg(path));
        return nullptr;
    }
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (create) flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        setError(error, QStringLiteral("cannot open %1: %2")
                            .arg(path, db ? errorText(db) : QString::fromUtf8(sqlite3_errstr(rc))));
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (!installTextCollation(db)) {
        setError(error, QStringLiteral("cannot prepare %1: %2").arg(path, errorText(db)));
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<Database> result(new Database(db, path));
    QString why;
    if (!result->exec(QStringLiteral("PRAGMA foreign_keys=ON"), &why) ||
        (path != QLatin1String(":memory:") &&
         !result->exec(QStringLiteral("PRAGMA journal_mode=WAL"), &why))) {
        setError(error, QStringLiteral("cannot prepare %1: %2").arg(path, why));
        return nullptr;
    }
    if (!upgradeSchema(*result, QStringLiteral("main"), &why)) {
        setError(error, QStringLiteral("cannot bring %1 up to date: %2").arg(path, why));
        return nullptr;
    }
    return result;
}

bool Database::attach(const QString& path, const QString& schema, QString* error, bool create) {
    if (schema.isEmpty()) {
        setError(error, QStringLiteral("no schema name given for %1").arg(path));
        return false;
    }
    if (!create && !QFileInfo::exists(path)) {
        setError(error, QStringLiteral("database file not found: %1").arg(path));
        return false;
    }
    if (isAttached(schema)) {
        setError(error, QStringLiteral("a database is already attached as %1").arg(schema));
        return false;
    }
    QString why;
    if (!execParams(QStringLiteral("ATTACH DATABASE ?1 AS ?2"), {path, schema}, &why)) {
        setError(error, QStringLiteral("cannot attach %1 as %2: %3").arg(path, schema, why));
        return false;
    }
    QString quoted = schema;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    exec(QStringLiteral("PRAGMA \"%1\".journal_mode=WAL").arg(quoted), &why);
    if (!upgradeSchema(*this, schema, &why)) {
        execParams(QStringLiteral("DETACH DATABASE ?1"), {schema});
        setError(error, QStringLiteral("cannot bring %1 up to date: %2").arg(path, why));
        return false;
    }
    return true;
}

QStringList Database::schemas() const {
    QStringList names;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA database_list", -1, &st, nullptr) != SQLITE_OK)
        return names;
    while (sqlite3_step(st) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    return names;
}

qint64 Database::schemaStamp() const {
    qint64 stamp = 0;
    for (const QString& name : schemas()) {
        const QByteArray sql = "PRAGMA " + host::sqlIdent(name).toUtf8() + ".schema_version";
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) continue;
        if (sqlite3_step(st) == SQLITE_ROW) stamp += sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    return stamp;
}

bool Database::isAttached(const QString& schema) const {
    for (const QString& name : schemas())
        if (name.compare(schema, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool Database::exec(const QString& sql, QString* error) {
    StatementCount::add();
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : errorText(m_db);
        sqlite3_free(message);
        qCWarning(lcDb) << text << "in" << sql.left(200);
        setError(error, text);
        return false;
    }
    return true;
}

bool Database::execParams(const QString& sql, const QVariantList& params, QString* error) {
    StatementCount::add();
    Statement st(m_db, sql, error);
    if (!st.get() || !st.bind(params, error)) return false;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        setError(error, errorText(m_db));
        qCWarning(lcDb) << errorText(m_db) << "in" << sql.left(200);
        return false;
    }
    return true;
}

host::RecordSetPtr Database::query(const QString& sql, const QVariantList& params,
                                   QString* error) {
    StatementCount::add();
    Statement st(m_db, sql, error);
    if (!st.get() || !st.bind(params, error)) return nullptr;
    sqlite3_stmt* s = st.get();
    const int columns = sqlite3_column_count(s);
    QVector<host::FieldInfo> fields(columns);
    QVector<bool> declared(columns, false);
    std::vector<Reading> readings(size_t(columns), Reading::Natural);
    for (int c = 0; c < columns; ++c) {
        fields[c].name = QString::fromUtf8(sqlite3_column_name(s, c));
        const char* decl = sqlite3_column_decltype(s, c);
        if (decl) {
            const DeclaredType t = DeclaredType::parse(QString::fromUtf8(decl));
            if (t.fieldType) {
                fields[c].type = t.fieldType;
                fields[c].definedSize = t.definedSize;
                declared[c] = true;
                readings[size_t(c)] = readingOf(t.fieldType);
            }
        }
    }
    // Columns without a declared type (expressions) take the type of their first value.
    QVector<int> firstStorage(columns, SQLITE_NULL);
    host::RecordSet::Builder rows(columns);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            if (declared[c]) {
                addValue(rows, s, c, readings[size_t(c)]);
                continue;
            }
            const int storage = sqlite3_column_type(s, c);
            if (storage == SQLITE_NULL) {
                rows.addNull();
                continue;
            }
            if (firstStorage[c] == SQLITE_NULL) {
                // An integer beyond int is a big integer.
                const qint64 v = storage == SQLITE_INTEGER ? sqlite3_column_int64(s, c) : 0;
                firstStorage[c] = v >= std::numeric_limits<int>::min() &&
                                          v <= std::numeric_limits<int>::max()
                                      ? storage
                                      : -SQLITE_INTEGER;
            }
            addNatural(rows, s, c, storage);
        }
    }
    if (rc != SQLITE_DONE) {
        setError(error, errorText(m_db));
        qCWarning(lcDb) << errorText(m_db) << "in" << sql.left(200);
        return nullptr;
    }
    for (int c = 0; c < columns; ++c) {
        if (declared[c]) continue;
        switch (firstStorage[c]) {
            case SQLITE_INTEGER:
                fields[c].type = host::FieldType::Integer;
                fields[c].definedSize = 4;
                break;
            case -SQLITE_INTEGER:
                fields[c].type = host::FieldType::BigInt;
                fields[c].definedSize = 8;
                break;
            case SQLITE_FLOAT:
                fields[c].type = host::FieldType::Double;
                fields[c].definedSize = 8;
                break;
            case SQLITE_BLOB: fields[c].type = host::FieldType::VarBinary; break;
            default: fields[c].type = host::FieldType::VarWChar; break;
        }
    }
    return std::make_shared<host::RecordSet>(rows.finish(std::move(fields)));
}

qint64 Database::lastInsertRowId() const { return sqlite3_last_insert_rowid(m_db); }

int Database::changes() const { return sqlite3_changes(m_db); }

bool Database::inTransaction() const { return sqlite3_get_autocommit(m_db) == 0; }

Failure Database::lastFailure() const {
    switch (sqlite3_errcode(m_db) & 0xff) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return Failure::None;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Failure::Busy;
        case SQLITE_CONSTRAINT:
            return Failure::Constraint;
        default:
            return Failure::Other;
    }
}

bool Database::tableNames(QStringList* names, QString* error) {
    names->clear();
    const host::RecordSetPtr rs =
        query(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table'"), {}, error);
    if (!rs) return false;
    for (int r = 0; r < rs->recordCount(); ++r) names->append(rs->at(r, 0).toString());
    return true;
}

bool Database::tableColumns(const QString& table, QList<TableColumn>* columns, QString* error) {
    columns->clear();
    const host::RecordSetPtr rs = query(
        QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?)"),
        {table}, error);
    if (!rs) return false;
    const QByteArray tableName = table.toUtf8();
    for (int r = 0; r < rs->recordCount(); ++r) {
        TableColumn c;
        c.name = rs->at(r, 0).toString();
        c.type = rs->at(r, 1).toString();
        c.notNull = rs->at(r, 2).toInt() != 0;
        c.defaultValue = rs->at(r, 3).isNull() ? QVariant() : QVariant(rs->at(r, 3).toString());
        c.keyPosition = rs->at(r, 4).toInt();
        // The collation is not in the table's pragma; BINARY is every column's default.
        const char* collation = nullptr;
        if (sqlite3_table_column_metadata(m_db, "main", tableName.constData(),
                                          c.name.toUtf8().constData(), nullptr, &collation, nullptr,
                                          nullptr, nullptr) == SQLITE_OK &&
            collation && qstricmp(collation, "BINARY") != 0)
            c.collation = QString::fromUtf8(collation);
        columns->append(c);
    }
    return true;
}

bool Database::alterColumnStatements(const QString& table, const QString& column,
                                     const QString& type, QStringList* statements,
                                     QString* error) {
    statements->clear();
    if (type.isEmpty() && sqlite3_libversion_number() >= 3035000) {
        *statements << QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                           .arg(host::sqlIdentQuoted(table), host::sqlIdentQuoted(column));
        return true;
    }
    // The documented way to change a column SQLite cannot alter in place: a new table, the rows
    // copied, the old table dropped and the new one renamed, the indexes and triggers made again.
    QList<TableColumn> info;
    if (!tableColumns(table, &info, error)) return false;
    const host::RecordSetPtr extras = query(
        QStringLiteral("SELECT sql FROM sqlite_schema WHERE tbl_name = ? AND type IN ('index', "
                       "'trigger') AND sql IS NOT NULL"),
        {table}, error);
    if (!extras) return false;
    QStringList definitions, kept;
    QMap<int, QString> keyOrder;
    for (const TableColumn& c : info) {
        const QString name = host::sqlIdentQuoted(c.name);
        const bool target = c.name.compare(column, Qt::CaseInsensitive) == 0;
        if (target && type.isEmpty()) continue;
        QString definition = name + QLatin1Char(' ');
        if (target) {
            definition += type;
        } else {
            definition += c.type;
            if (!c.collation.isEmpty()) definition += QStringLiteral(" COLLATE ") + c.collation;
        }
        if (c.notNull) definition += QStringLiteral(" NOT NULL");
        if (!c.defaultValue.isNull())
            definition += QStringLiteral(" DEFAULT ") + c.defaultValue.toString();
        if (c.keyPosition > 0) keyOrder.insert(c.keyPosition, name);
        definitions << definition;
        kept << name;
    }
    if (!keyOrder.isEmpty())
        definitions
            << QStringLiteral("PRIMARY KEY (%1)").arg(keyOrder.values().join(QLatin1Char(',')));
    const QString scratch = host::sqlIdentQuoted(table + QStringLiteral("_zx_rebuild"));
    const QString list = kept.join(QLatin1Char(','));
    *statements << QStringLiteral("CREATE TABLE %1(%2)")
                       .arg(scratch, definitions.join(QLatin1Char(',')))
                << QStringLiteral("INSERT INTO %1(%2) SELECT %2 FROM %3")
                       .arg(scratch, list, host::sqlIdentQuoted(table))
                << QStringLiteral("DROP TABLE %1").arg(host::sqlIdentQuoted(table))
                << QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                       .arg(scratch, host::sqlIdentQuoted(table));
    for (int r = 0; r < extras->recordCount(); ++r) *statements << extras->at(r, 0).toString();
    return true;
}

void Database::setBusyTimeout(int ms) { sqlite3_busy_timeout(m_db, ms); }

}  // namespace platform::db
