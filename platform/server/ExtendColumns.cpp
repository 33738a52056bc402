#include "platform/server/ExtendColumns.h"

#include <algorithm>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/server/History.h"

namespace platform::server {

namespace {

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

int fieldOf(const host::RecordSet& rs, const char* name) {
    return rs.fieldIndex(QLatin1String(name));
}

}  // namespace

QString extendColumnType(const QString& cType, int maxLen, int decimalDigits, QString* error) {
    if (cType == QStringLiteral("文本")) {
        if (maxLen < 1 || maxLen > 4000) {
            setError(error, QStringLiteral("The maximum length %1 of a text item is not between 1 "
                                           "and 4000.")
                                .arg(maxLen));
            return {};
        }
        return QStringLiteral("nvarchar(%1) COLLATE NOCASE").arg(maxLen);
    }
    if (cType == QStringLiteral("整型") || cType == QStringLiteral("整数"))
        return QStringLiteral("int");
    if (cType == QStringLiteral("数字")) {
        if (decimalDigits < 0 || decimalDigits > 28) {
            setError(error,
                     QStringLiteral("The decimal digits %1 of a number item are not between 0 "
                                    "and 28.")
                         .arg(decimalDigits));
            return {};
        }
        return QStringLiteral("decimal(28,%1)").arg(decimalDigits);
    }
    if (cType == QStringLiteral("日期") || cType == QStringLiteral("日期时间"))
        return QStringLiteral("datetime");
    setError(error,
             QStringLiteral("The data type \"%1\" is not one of 文本, 日期, 整型, 数字, 日期时间.")
                 .arg(cType));
    return {};
}

bool ExtendColumns::load(QString* error) {
    const host::RecordSetPtr catalogue = m_context.query(
        QStringLiteral("SELECT \"TableName\", \"cTableName\", \"cPKName\", \"cType\" FROM "
                       "\"AA_DefineExtend\""),
        {},
        error);
    if (!catalogue) return false;
    QStringList tables;
    if (!m_context.tableNames(&tables, error)) return false;
    for (const QString& name : tables) m_schemaTables.insert(name.toLower(), name);
    for (int r = 0; r < catalogue->recordCount(); ++r) {
        ExtendTable t;
        t.tableName = catalogue->at(r, fieldOf(*catalogue, "TableName")).toString().trimmed();
        t.hostTable = catalogue->at(r, fieldOf(*catalogue, "cTableName")).toString().trimmed();
        t.keyColumn = catalogue->at(r, fieldOf(*catalogue, "cPKName")).toString().trimmed();
        for (const QString& code :
             catalogue->at(r, fieldOf(*catalogue, "cType")).toString().split(QLatin1Char(',')))
            if (!code.trimmed().isEmpty()) t.codes << code.trimmed().toUpper();
        if (t.tableName.isEmpty()) t.tableName = t.hostTable;
        // The schema's spelling, so the companion's name is spelt as the host table's.
        t.hostTable = m_schemaTables.value(t.hostTable.toLower(), t.hostTable);
        m_byName.insert(t.hostTable.toLower(), t);
        m_byName.insert(t.tableName.toLower(), t);
    }
    return true;
}

const ExtendTable* ExtendColumns::linked(const QString& tableName) const {
    const auto it = m_byName.constFind(tableName.trimmed().toLower());
    return it == m_byName.constEnd() ? nullptr : &*it;
}

const ExtendTable* ExtendColumns::find(const QString& name, const QString& classCode,
                                       QString* error) const {
    const ExtendTable* table = linked(name);
    if (!table) {
        setError(error,
                 QStringLiteral("The table \"%1\" is not an extendable table of this account.")
                     .arg(name));
        return nullptr;
    }
    if (classCode.isEmpty() || !table->codes.contains(classCode)) {
        setError(error, QStringLiteral("The table %1 takes no extended items of this class.")
                            .arg(table->tableName));
        return nullptr;
    }
    if (!m_schemaTables.contains(table->hostTable.toLower())) {
        setError(
            error,
            QStringLiteral("The table %1 does not exist in this account.").arg(table->hostTable));
        return nullptr;
    }
    return table;
}

QString ExtendColumns::existing(const QString& table) const {
    return m_schemaTables.value(table.toLower());
}

QString ExtendColumns::existingCompanion(const QString& tableName) const {
    const ExtendTable* table = linked(tableName);
    return existing((table ? table->hostTable : tableName.trimmed()) +
                    QStringLiteral("_extradefine"));
}

bool ExtendColumns::readCompanions(const QStringList& tableNames, QString* error) {
    QStringList companions;
    for (const QString& name : tableNames) {
        const QString companion = existingCompanion(name);
        if (!companion.isEmpty() && !m_columns.contains(companion.toLower()) &&
            !companions.contains(companion, Qt::CaseInsensitive))
            companions << companion;
    }
    if (companions.isEmpty()) return true;
    QHash<QString, QList<db::TableColumn>> read;
    if (!m_context.tablesColumns(companions, &read, error)) return false;
    for (const QString& companion : companions)
        m_columns.insert(companion.toLower(), read.value(companion.toLower()));
    return true;
}

bool ExtendColumns::companionColumn(const QString& tableName, const QString& column,
                                    const db::TableColumn** found, QString* error) {
    *found = nullptr;
    const QString companion = existingCompanion(tableName);
    if (companion.isEmpty()) return true;
    const QList<db::TableColumn>* columns = columnsOf(companion, error);
    if (!columns) return false;
    *found = named(*columns, column);
    return true;
}

const QList<db::TableColumn>* ExtendColumns::columnsOf(const QString& table, QString* error) {
    const auto cached = m_columns.constFind(table.toLower());
    if (cached != m_columns.constEnd()) return &*cached;
    QList<db::TableColumn> columns;
    if (!m_context.tableColumns(table, &columns, error)) return nullptr;
    return &*m_columns.insert(table.toLower(), columns);
}

const db::TableColumn* ExtendColumns::named(const QList<db::TableColumn>& columns,
                                            const QString& column) {
    for (const db::TableColumn& c : columns)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

bool ExtendColumns::addColumn(const ExtendTable& table, const QString& column, const QString& type,
                              QString* error) {
    db::Connection& db = m_context.database();
    QString companion = existing(table.companion());
    if (companion.isEmpty()) {
        // A new companion keys its rows as the host table does.
        const QList<db::TableColumn>* hostColumns = columnsOf(table.hostTable, error);
        if (!hostColumns) return false;
        const db::TableColumn* key =
            table.keyColumn.isEmpty() ? nullptr : named(*hostColumns, table.keyColumn);
        if (!key) {
            setError(error, QStringLiteral("The key column \"%1\" of table %2 is not known, so its "
                                           "companion table cannot be created.")
                                .arg(table.keyColumn, table.hostTable));
            return false;
        }
        companion = table.companion();
        const db::DeclaredType keyType = db::DeclaredType::parse(key->type);
        const QString collate = isTextType(keyType.base) && keyType.length > 0
                                    ? QStringLiteral(" COLLATE NOCASE")
                                    : QString();
        const QString declared = (key->type.isEmpty() ? QStringLiteral("int") : key->type) + collate;
        if (!m_context.exec(QStringLiteral("CREATE TABLE %1(%2 %3 NOT NULL PRIMARY KEY)")
                                .arg(host::sqlIdentQuoted(companion), host::sqlIdentQuoted(key->name),
                                     db.columnType(declared)),
                            {}, error))
            return false;
        m_schemaTables.insert(companion.toLower(), companion);
    } else {
        const QList<db::TableColumn>* columns = columnsOf(companion, error);
        if (!columns) return false;
        if (named(*columns, column)) {
            setError(
                error,
                QStringLiteral("The table %1 already has a column %2.").arg(companion, column));
            return false;
        }
    }
    m_columns.remove(companion.toLower());
    return m_context.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                              .arg(host::sqlIdentQuoted(companion), host::sqlIdentQuoted(column),
                                   db.columnType(type)),
                          {}, error);
}

bool ExtendColumns::dropColumn(const ExtendTable& table, const QString& column, QString* error) {
    const QString companion = existing(table.companion());
    if (companion.isEmpty()) return true;
    const QList<db::TableColumn>* columns = columnsOf(companion, error);
    if (!columns) return false;
    const db::TableColumn* found = named(*columns, column);
    if (!found) return true;
    const QString name = found->name;
    // The history keeps the column's values, so that an undo can put them back.
    return keepValues(table, companion, *columns, name, error) && alter(companion, name, {}, error);
}

bool ExtendColumns::keepValues(const ExtendTable& table, const QString& companion,
                               const QList<db::TableColumn>& columns, const QString& column,
                               QString* error) {
    ChangeRecorder* recorder = m_context.recorder();
    if (!recorder) return true;
    const auto key = std::find_if(columns.cbegin(), columns.cend(),
                                  [](const db::TableColumn& c) { return c.keyPosition == 1; });
    if (key == columns.cend()) {
        setError(error, QStringLiteral("The table %1 has no key column.").arg(companion));
        return false;
    }
    return recorder->keepColumn(m_context, table.tableName, companion, key->name, column, error);
}

bool ExtendColumns::countLonger(const ExtendTable& table, const QString& column, int maxLen,
                                int* rows, QString* error) {
    *rows = 0;
    const QString companion = existing(table.companion());
    if (companion.isEmpty()) return true;
    const QList<db::TableColumn>* columns = columnsOf(companion, error);
    if (!columns) return false;
    if (!named(*columns, column)) return true;
    const host::RecordSetPtr rs =
        m_context.query(QStringLiteral("SELECT count(*) FROM %1 WHERE length(%2) > ?")
                            .arg(host::sqlIdentQuoted(companion), host::sqlIdentQuoted(column)),
                        {maxLen}, error);
    if (!rs) return false;
    *rows = rs->at(0, 0).toInt();
    return true;
}

bool ExtendColumns::retypeColumn(const ExtendTable& table, const QString& column,
                                 const QString& type, QString* error) {
    const QString companion = existing(table.companion());
    if (companion.isEmpty()) return true;
    const QList<db::TableColumn>* columns = columnsOf(companion, error);
    if (!columns) return false;
    const db::TableColumn* found = named(*columns, column);
    if (!found) return true;
    const QString name = found->name;  // alter() forgets the columns read
    if (roundsValues(storedColumnType(*found), type) &&
        !keepValues(table, companion, *columns, name, error))
        return false;
    return alter(companion, name, type, error);
}

bool ExtendColumns::alter(const QString& table, const QString& column, const QString& type,
                          QString* error) {
    QStringList statements;
    if (!m_context.database().alterColumnStatements(table, column, type, &statements, error))
        return false;
    m_columns.remove(table.toLower());
    for (const QString& statement : statements)
        if (!m_context.exec(statement, {}, error)) return false;
    return true;
}

bool roundsValues(const QString& from, const QString& to) {
    const db::DeclaredType was = db::DeclaredType::parse(from), will = db::DeclaredType::parse(to);
    const auto number = [](const db::DeclaredType& t) {
        return t.base == QLatin1String("decimal") || t.base == QLatin1String("numeric");
    };
    return number(was) && number(will) && qMax(will.scale, 0) < qMax(was.scale, 0);
}

QString storedColumnType(const db::TableColumn& column) {
    // Either kind's case-insensitive collation reads as the embedded account names it.
    const bool noCase = column.collation.compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0 ||
                        column.collation.compare(QLatin1String("zx_nocase"), Qt::CaseInsensitive) == 0;
    if (noCase) return column.type + QStringLiteral(" COLLATE NOCASE");
    return column.collation.isEmpty() ? column.type
                                      : column.type + QStringLiteral(" COLLATE ") + column.collation;
}

}  // namespace platform::server
