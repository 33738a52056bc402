#pragma once
// Item documents as the item editor sends them: the item's fields in order, each value escaped
// with the one XML helper, the table-link share last.
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

#include "host/Quote.h"

namespace testsupport {

struct ItemDoc {
    bool isNew = false;  // root Userdef_base instead of Userdef
    QString coverBody;   // the root's bCoverVouchBody
    QList<std::pair<QString, QString>> fields;
    bool withShare = true;
    QStringList added, kept, removed;  // an empty table name: an entry with the item's cId only

    // The field's value, appended when the document has none yet.
    QString& operator[](const QString& name) {
        for (auto& field : fields)
            if (field.first == name) return field.second;
        fields.append({name, QString()});
        return fields.last().second;
    }
    QString value(const QString& name) const {
        for (const auto& field : fields)
            if (field.first == name) return field.second;
        return {};
    }
    static QString el(const QString& name, const QString& value) {
        return QLatin1Char('<') + name + QLatin1Char('>') + host::xmlText(value) +
               QStringLiteral("</") + name + QLatin1Char('>');
    }
    QString section(const char* name, const QStringList& tables) const {
        QString out;
        for (const QString& t : tables)
            out += QStringLiteral("<UserDefDetail>") + el("cId", value("cId")) +
                   (t.isEmpty() ? QString() : el("Tablename", t)) +
                   QStringLiteral("</UserDefDetail>");
        return QLatin1Char('<') + QLatin1String(name) + QLatin1Char('>') + out +
               QStringLiteral("</") + QLatin1String(name) + QLatin1Char('>');
    }
    QString xml() const {
        const QString root = isNew ? QStringLiteral("Userdef_base") : QStringLiteral("Userdef");
        QString x = QLatin1Char('<') + root + QStringLiteral(" bCoverVouchBody='") +
                    host::xmlText(coverBody) + QStringLiteral("'>");
        for (const auto& [name, text] : fields) x += el(name, text);
        if (withShare)
            x += section("AddUserDefDetail", added) + section("ModifyUserDefDetail", kept) +
                 section("DeleteUserDefDetail", removed);
        return x + QStringLiteral("</") + root + QLatin1Char('>');
    }
};

// A new extended item in the column <prefix><n> (a text of length 25 unless `type` says
// otherwise) linked to the tables.
inline ItemDoc newItem(const QString& cClass, const QString& id, const QString& prefix, int n,
                       const QStringList& tables, const QString& type = QStringLiteral("文本")) {
    ItemDoc d;
    d.isNew = true;
    d.added = tables;
    const QString column = prefix + QString::number(n);
    const QString maxLen = type == QStringLiteral("文本") ? QStringLiteral("25") : QString();
    const QString name = QStringLiteral("新项目");
    for (const auto& [field, value] : {std::pair{"cId", id},
                                       {"cClass", cClass},
                                       {"cItem", QStringLiteral("扩展自定义项%1").arg(n)},
                                       {"IMaxLen", maxLen},
                                       {"cItemName", name},
                                       {"cItemName_zh_TW", name + QStringLiteral("(繁)")},
                                       {"cItemName_en_US", QStringLiteral("New item")},
                                       {"cType", type},
                                       {"cDicDbName", column},
                                       {"cFieldName", column}})
        d[QString::fromLatin1(field)] = value;
    return d;
}

// A new extended header item in the column cHDefine<column>.
inline ItemDoc newHeaderItem(const QString& id, int column, const QStringList& tables) {
    return newItem(QStringLiteral("单据头"), id, QStringLiteral("cHDefine"), column, tables);
}

}  // namespace testsupport
