#pragma once
// What the windows show for items, host tables and subsystems in the session's language. The
// account keeps a name per language beside the stored simplified Chinese one (items in
// userdef_lang, host tables in AA_DefineExtend_lang, subsystems among the menu captions, report
// archives and their fields in Rpt_GRPDef_lang and Rpt_ItmDef_lang, user-defined references and
// their column captions in refdesign_lang and AA_ColumnDic_lang of the metadata database); a
// window reads them once per fill and shows the session's name where there is one, else the
// stored text. Saves keep writing the stored texts.
#include <QHash>
#include <QString>
#include <optional>

namespace userdef {

class SessionNames {
public:
    // Read through the session's server database service; without one every text stays.
    static SessionNames read();

    // The name of item `cId` (or of the item whose column is `cDicDbName`), else `stored`. An
    // empty stored name stays empty: the item is not named.
    QString item(const QString& cId, const QString& stored) const;
    QString itemByColumn(const QString& cDicDbName, const QString& stored) const;
    // The name of the parent of item `cId`, else `stored`.
    QString parentOf(const QString& cId, const QString& stored) const;
    // A host table's short description (TableDesc) and long one (cTableDesc), else `stored`.
    QString table(const QString& cTableName, const QString& stored) const;
    QString tableLong(const QString& cTableName, const QString& stored) const;
    // A subsystem's name, else `stored`.
    QString subsystem(const QString& cSubId, const QString& stored) const;
    // A related archive's name (a report archive's table name, or "[" + reference id + "]"), and
    // a report archive's field name, else `stored`.
    QString archive(const QString& relArchive, const QString& stored) const;
    QString archiveField(const QString& table, const QString& field, const QString& stored) const;
    // A user-defined reference's column caption by its column-setting key, else `stored`.
    QString referenceColumn(const QString& colKey, const QString& field,
                            const QString& stored) const;

private:
    QHash<QString, QString> m_items, m_columns, m_tables, m_tablesLong, m_subsystems,
        m_archives, m_archiveFields, m_referenceColumns;
    mutable std::optional<QHash<QString, QString>> m_parents;  // item -> parent, once asked
};

// The shown text of a stored item label ("自定义项3", "扩展自定义项1" …): its kind in the
// session's language followed by its number. Other texts stay as they are.
QString ItemLabelText(const QString& stored);

}  // namespace userdef
