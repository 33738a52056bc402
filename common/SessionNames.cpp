#include "common/SessionNames.h"

#include "common/Globals.h"
#include "common/NameTables.h"
#include "host/Quote.h"
#include "host/RecordSet.h"

namespace userdef {

namespace {

// Keys compare without regard to case, as the account's identifiers do.
QString key(const QString& text) { return text.trimmed().toLower(); }

void readInto(const QString& sql, QHash<QString, QString>& names, int valueField = 1,
              QHash<QString, QString>* second = nullptr) {
    const host::RecordSetPtr rs = g_SrvDB->OpenX(sql);
    if (!rs) return;  // an account without the table: the stored texts are shown
    for (int r = 0; r < rs->recordCount(); ++r) {
        const QString code = key(rs->textAt(r, 0));
        const QString name = rs->textAt(r, valueField);
        if (!name.isEmpty()) names.insert(code, name);
        if (second) {
            const QString other = rs->textAt(r, valueField + 1);
            if (!other.isEmpty()) second->insert(code, other);
        }
    }
}

// Two-part keys (archive and field).
QString key(const QString& first, const QString& second) {
    return key(first) + QLatin1Char('\n') + key(second);
}

QString pick(const QHash<QString, QString>& names, const QString& code, const QString& stored) {
    if (stored.isEmpty()) return stored;
    return names.value(key(code), stored);
}

}  // namespace

SessionNames SessionNames::read() {
    SessionNames n;
    if (!g_SrvDB) return n;
    const QString locale = QStringLiteral("dbo.UDF_GetLocaleID()");
    // Names from the named rows only: no read of the whole catalogue through a join. Parents
    // are read when one is first asked for (see parentOf).
    const host::RecordSetPtr named = g_SrvDB->OpenX(
        QStringLiteral("select l.cid,b.cDicDbName,l.cItemName from userdef_lang l "
                       "join UserDef_Base b on b.cId=l.cid where l.LocaleID=") +
        locale + QStringLiteral(" and ISNULL(l.cItemName,'')<>''"));
    for (int r = 0; named && r < named->recordCount(); ++r) {
        const QString name = named->textAt(r, 2);
        n.m_items.insert(key(named->textAt(r, 0)), name);
        n.m_columns.insert(key(named->textAt(r, 1)), name);
    }
    readInto(QStringLiteral("select cTableName,TableDesc,cTableDesc from AA_DefineExtend_lang "
                            "where LocaleID=") +
                 locale,
             n.m_tables, 1, &n.m_tablesLong);
    readInto(QStringLiteral("select MenuID,Caption from zxsystem.dbo.zxmenu_business_lang where "
                            "localeid=") +
                 locale,
             n.m_subsystems);
    readInto(QStringLiteral("select TableName,TableDefine from Rpt_GRPDef_lang where LocaleID=") +
                 locale,
             n.m_archives);
    const auto readPairs = [](const QString& sql, QHash<QString, QString>& names) {
        const host::RecordSetPtr rs = g_SrvDB->OpenX(sql);
        for (int r = 0; rs && r < rs->recordCount(); ++r)
            if (!rs->textAt(r, 2).isEmpty())
                names.insert(key(rs->textAt(r, 0), rs->textAt(r, 1)), rs->textAt(r, 2));
    };
    readPairs(QStringLiteral("select TableName,FieldName,FieldDef from Rpt_ItmDef_lang where "
                             "LocaleID=") +
                  locale,
              n.m_archiveFields);
    if (!g_Login) return n;
    // User-defined references live in the metadata database, attached under its name.
    const QString meta =
        host::sqlIdent(QStringLiteral("ZxMeta_") + g_Login->cAcc_id()) + QStringLiteral("..");
    QHash<QString, QString> references;
    readInto(QStringLiteral("select cRefID,cRefName from ") + meta +
                 QStringLiteral("refdesign_lang where LocaleID=") + locale,
             references);
    for (auto it = references.cbegin(); it != references.cend(); ++it)
        n.m_archives.insert(QLatin1Char('[') + it.key() + QLatin1Char(']'), it.value());
    readPairs(QStringLiteral("select cKey,cFld,cCaption from ") + meta +
                  QStringLiteral("AA_ColumnDic_lang where LocaleID=") + locale,
              n.m_referenceColumns);
    return n;
}

QString SessionNames::item(const QString& cId, const QString& stored) const {
    return pick(m_items, cId, stored);
}

QString SessionNames::itemByColumn(const QString& cDicDbName, const QString& stored) const {
    return pick(m_columns, cDicDbName, stored);
}

QString SessionNames::parentOf(const QString& cId, const QString& stored) const {
    // Only a named parent changes the text: the items that have a parent are read when the
    // first one that could be named is asked for (through their own index where the account
    // has it).
    if (stored.isEmpty() || m_items.isEmpty()) return stored;
    if (!m_parents) {
        m_parents.emplace();
        if (g_SrvDB)
            readInto(QStringLiteral("select cId,cParentID from UserDef_Base where cParentID <> ''"),
                     *m_parents);
    }
    return item(m_parents->value(key(cId)), stored);
}

QString SessionNames::table(const QString& cTableName, const QString& stored) const {
    return pick(m_tables, cTableName, stored);
}

QString SessionNames::tableLong(const QString& cTableName, const QString& stored) const {
    return pick(m_tablesLong, cTableName, stored);
}

QString SessionNames::subsystem(const QString& cSubId, const QString& stored) const {
    return pick(m_subsystems, cSubId, stored);
}

QString SessionNames::archive(const QString& relArchive, const QString& stored) const {
    return pick(m_archives, relArchive, stored);
}

QString SessionNames::archiveField(const QString& table, const QString& field,
                                   const QString& stored) const {
    return stored.isEmpty() ? stored : m_archiveFields.value(key(table, field), stored);
}

QString SessionNames::referenceColumn(const QString& colKey, const QString& field,
                                      const QString& stored) const {
    return stored.isEmpty() ? stored : m_referenceColumns.value(key(colKey, field), stored);
}

QString ItemLabelText(const QString& stored) {
    // Stored kinds, the longer "扩展自定义项" before the "自定义项" it holds, with their
    // positions in the item-kind table.
    static const QList<QPair<QString, int>> kinds = {{QStringLiteral("扩展自定义项"), 3},
                                                     {QStringLiteral("自定义项"), 1},
                                                     {QStringLiteral("自由项"), 0},
                                                     {QStringLiteral("属性"), 2}};
    for (const auto& [kind, index] : kinds) {
        if (!stored.startsWith(kind) || index >= g_ItemKinds.size()) continue;
        const QString number = stored.mid(kind.size());
        bool ok = false;
        number.toInt(&ok);
        if (ok || number.isEmpty()) return g_ItemKinds.at(index) + number;
    }
    return stored;
}

}  // namespace userdef
