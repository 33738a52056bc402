#include "itemdef/EditorQueries.h"

#include <QHash>
#include <QLoggingCategory>
#include <QSet>

#include "common/SessionNames.h"
#include "host/IClsCommon.h"
#include "host/Quote.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemdefLog.h"

namespace itemdef {

namespace {

host::RecordSetPtr open(host::IClsCommon& srv, const QString& sql) {
    host::RecordSetPtr rs = srv.OpenX(sql);
    if (!rs) qCWarning(lcItemdef) << "editor read failed:" << srv.lastError();
    return rs;
}

// An item's name in the session's language; an unnamed item shows its label.
QString shownItemName(const userdef::SessionNames& shown, const QString& id, const QString& stored) {
    const QString name = shown.item(id, stored);
    return name != stored ? name : userdef::ItemLabelText(stored);
}

}  // namespace

QString parentListSql(const QString& cClass, const QString& cId, bool adding) {
    QString sql = QStringLiteral(
                      "select cID,(case when ISNULL(citemname,'')='' then cItemLang else "
                      "cItemName end) as cItemName  from UserDef  where cClass ='") +
                  host::sqlValue(cClass) + QStringLiteral("'");
    if (!adding)
        sql += QStringLiteral(" and cid<>'") + host::sqlValue(cId) +
               QStringLiteral(
                   "' and not cID in (select cID from UserDef where "
                   "isnull(cparentid,'')='") +
               host::sqlValue(cId) + QStringLiteral("')");
    return sql + QStringLiteral(" order by CAST( cid as integer)");
}

QString parentNameSql(const QString& parentId) {
    return QStringLiteral(
               "select cID,(case when ISNULL(citemname,'')='' then cItem else cItemName end) as "
               "cItemName from userdef where cid='") +
           host::sqlValue(parentId) + QStringLiteral("'");
}

ParentChoices readParentChoices(host::IClsCommon& srv, const QString& cClass, const QString& cId,
                                bool adding) {
    ParentChoices choices;
    const host::RecordSetPtr rs = open(srv, parentListSql(cClass, cId, adding));
    if (!rs) return choices;
    const userdef::SessionNames shown = userdef::SessionNames::read();
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        choices.ids << rs->text(QStringLiteral("cID"));
        choices.names << shownItemName(shown, choices.ids.last(), rs->text(QStringLiteral("cItemName")));
    }
    const QStringList plain = choices.names;
    for (int i = 0; i < plain.size(); ++i)
        if (plain.count(plain.at(i)) > 1)
            choices.names[i] += QStringLiteral(" (") + choices.ids.at(i) + QLatin1Char(')');
    return choices;
}

QString readParentName(host::IClsCommon& srv, const QString& parentId) {
    if (parentId.trimmed().isEmpty()) return {};
    const host::RecordSetPtr rs = open(srv, parentNameSql(parentId));
    if (!rs || rs->isEmpty()) return {};
    rs->moveFirst();
    return shownItemName(userdef::SessionNames::read(), parentId, rs->text(QStringLiteral("cItemName")));
}

std::optional<bool> parentMakesCycle(host::IClsCommon& srv, const QString& cId,
                                     const QString& parentId) {
    // Every item's parent read at once; the chain is walked in memory.
    const host::RecordSetPtr rs = open(
        srv, QStringLiteral("select cid,cParentID from UserDef where isnull(cParentID,'')<>''"));
    if (!rs) return std::nullopt;
    QHash<QString, QString> parentOf;  // lower-cased id → parent id
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        parentOf.insert(rs->text(QStringLiteral("cid")).trimmed().toLower(),
                        rs->text(QStringLiteral("cParentID")).trimmed());
    QString at = parentId.trimmed();
    QSet<QString> seen;
    while (!at.isEmpty()) {
        if (at == cId.trimmed()) return true;
        if (seen.contains(at.toLower())) return false;  // a circle above that does not pass through cId
        seen.insert(at.toLower());
        at = parentOf.value(at.toLower());
    }
    return false;
}

const QStringList& nameLanguages() {
    static const QStringList languages = {QStringLiteral("zh-CN"), QStringLiteral("zh-TW"),
                                          QStringLiteral("en-US")};
    return languages;
}

const QStringList& languageFilters() {
    static const QStringList filters = {QStringLiteral("LangID=30"), QStringLiteral("LangID=28"),
                                        QStringLiteral("LangID=0")};
    return filters;
}

QStringList readItemNames(host::IClsCommon& srv, const QString& cId) {
    QStringList names(nameLanguages().size());
    if (cId.isEmpty()) return names;
    const host::RecordSetPtr rs =
        open(srv, QStringLiteral("select * from userdef_lang where cid='") + host::sqlValue(cId) +
                      QStringLiteral("'"));
    if (!rs) return names;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        const QString locale = rs->text(QStringLiteral("LocaleID"));
        for (int i = 0; i < nameLanguages().size(); ++i)
            if (locale.compare(nameLanguages().at(i), Qt::CaseInsensitive) == 0)
                names[i] = rs->text(QStringLiteral("cItemName"));
    }
    return names;
}

QList<bool> readInstalledLanguages(host::IClsCommon& srv) {
    QList<bool> installed(nameLanguages().size(), false);
    const host::RecordSetPtr rs = open(srv, QStringLiteral("select * from q9langdefine"));
    if (!rs) return installed;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        const QString id = rs->text(QStringLiteral("LangID")).trimmed();
        for (int i = 0; i < languageFilters().size(); ++i)
            if (languageFilters().at(i).section(QLatin1Char('='), 1) == id) installed[i] = true;
    }
    return installed;
}

int readItemNameSize(host::IClsCommon& srv) {
    const host::RecordSetPtr rs =
        open(srv, QStringLiteral("select ") + kItemColumns + kItemExtraColumns +
                      QStringLiteral(" from Userdef where 1=2"));
    if (!rs) return 0;
    const int index = rs->fieldIndex(QStringLiteral("cItemName"));
    return index < 0 ? 0 : rs->field(index).definedSize;
}

}  // namespace itemdef
