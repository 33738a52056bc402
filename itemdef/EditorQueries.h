#pragma once
// The statements the item editor reads with while it fills its fields: parent candidates, the
// parent's name, the names by language, the installed languages and the record's structure.
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace host {
class IClsCommon;
}

namespace itemdef {

// Candidate parents of an item of the class: every item of the class for a new item; for an
// existing one every item but itself and its direct children.
QString parentListSql(const QString& cClass, const QString& cId, bool adding);
QString parentNameSql(const QString& parentId);

// The candidates in list order: the text the choice shows and the cID it stands for. Names
// shared by several candidates carry their cID, so each entry can be told apart.
struct ParentChoices {
    QStringList names;
    QStringList ids;
};
ParentChoices readParentChoices(host::IClsCommon& srv, const QString& cClass, const QString& cId,
                                bool adding);
// The name the parent choice shows for a stored cParentID; empty when there is none.
QString readParentName(host::IClsCommon& srv, const QString& parentId);
// Whether giving item cId the parent parentId closes a circle (the parent is the item or one of
// its ancestors leads back to it); nullopt when the chain could not be read.
std::optional<bool> parentMakesCycle(host::IClsCommon& srv, const QString& cId,
                                     const QString& parentId);

// The three name-grid languages, in cell order, and the q9langdefine filter of each.
const QStringList& nameLanguages();    // "zh-CN", "zh-TW", "en-US"
const QStringList& languageFilters();  // "LangID=30", "LangID=28", "LangID=0"

// The item's names in cell order (empty where there is no row).
QStringList readItemNames(host::IClsCommon& srv, const QString& cId);
// Which cells' languages are installed (a row in q9langdefine).
QList<bool> readInstalledLanguages(host::IClsCommon& srv);

// The defined size of cItemName in the item record; 0 when unknown.
int readItemNameSize(host::IClsCommon& srv);

}  // namespace itemdef
