#pragma once
// Where an item fed from another archive takes its values: the archives offered (report
// archives of the host and user-defined references), their look-up set-up, the fields of an
// archive and which of them fit the item's data type. Data only; the editor's enabling rules
// and messages stay with the editor.
#include <QHash>
#include <QString>
#include <QVector>

#include "host/RecordSet.h"

namespace itemdef {

// One archive offered. sName is the table name, or "[" + reference id + "]" for a user-defined
// reference; Tag holds a user-defined reference's column-setting key.
struct ArchiveEntry {
    QString sName;
    QString sRemark;  // display name
    QString sSubID;   // subsystem of a report archive
    QString Tag;
};

// One field of an archive.
struct FieldEntry {
    QString sName;
    QString sRemark;  // display name
    int nDataType = -1;
};

// Entries in the order added, found by key (sName + "K", letter case ignored). A key added a
// second time keeps the first entry.
template <typename Entry>
class KeyedList {
public:
    static QString keyOf(const QString& sName) { return sName + QLatin1Char('K'); }
    bool add(const Entry& entry) {
        const QString key = keyOf(entry.sName).toLower();
        if (m_index.contains(key)) return false;
        m_index.insert(key, int(m_entries.size()));
        m_entries << entry;
        return true;
    }
    // key: sName + "K"
    const Entry* find(const QString& key) const {
        const auto it = m_index.constFind(key.toLower());
        return it == m_index.cend() ? nullptr : &m_entries.at(*it);
    }
    bool contains(const QString& key) const { return m_index.contains(key.toLower()); }
    const QVector<Entry>& entries() const { return m_entries; }
    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const Entry& at(int i) const { return m_entries.at(i); }
    void clear() {
        m_entries.clear();
        m_index.clear();
    }

private:
    QVector<Entry> m_entries;
    QHash<QString, int> m_index;
};

using ArchiveList = KeyedList<ArchiveEntry>;
using FieldList = KeyedList<FieldEntry>;

// The statements.
QString ReportArchivesFallbackSql();
// On the metadata connection; with a database name, on a connection that has it attached.
QString UserDefinedReferencesSql(const QString& metaDatabase = {});
QString ProjectItemFieldsSql(const QString& table);
QString ReportArchiveFieldsSql(const QString& table);

// The archives offered: the report archives (the public service's statement, or the fixed list
// when it gives none) and the user-defined references of the metadata database that have a
// column-setting key. A failure ends the part of the list it happens in, keeping what was read;
// error then holds the reason.
ArchiveList LoadArchiveList(QString* error = nullptr);

// True when the list holds the archive of a key as the look-up box shows it (sName).
bool ArchiveExists(const ArchiveList& list, const QString& sName);

// The look-up box's rows: fields "key" (sName) and "name" (sRemark), in list order.
host::RecordSetPtr ArchiveLookupRecords(const ArchiveList& list);
// The look-up's title column by the login's language region (any case).
QString ArchiveRefName(const QString& languageRegion);
// The look-up's reference description: single choice, returns key and name.
inline const QString kArchiveRefDescription = QStringLiteral(
    "<Ref><RefSet bMultiSel='0' cRetFld='key' cShowFld='name' iShowStyle='0' /></Ref>");

// Field type codes: 0 bit, 1 character, 2 integer, 3 bigint, 4 number, 5 date; a numeric type
// text above 0 gives its number; anything else -1.
int FieldTypeCode(const QString& typeText);
// The field types an item type (text, date, integer, number, date and time) accepts.
QString AcceptedFieldTypes(int itemType);
// A field fits when the accepted list holds its type text or the type text holds "varchar"
// (letter case ignored). A field without a type fits nothing.
bool FieldTypeFits(int itemType, const QString& typeText);

// The fields of an archive an item of the given type may take its values from: a user-defined
// reference's columns from the column settings (the query field preferred), a report
// archive's fields from the report dictionary (project item tables "…fitemss…" from the project
// structure) that fit the type. Stops at a failure, keeping what was read.
FieldList LoadArchiveFields(const ArchiveEntry& archive, int itemType, QString* error = nullptr);

// While an item is added the field display name follows the stored related field: the sRemark of
// the field named relField, else current unchanged.
QString FieldDisplayName(const FieldList& fields, const QString& relField, bool adding,
                         const QString& current);

}  // namespace itemdef
