#pragma once
// Item documents as the item editor builds them: fixed element order, values escaped with the
// one XML helper, the table-link share appended last.
#include <QString>
#include <QStringList>
#include <optional>

#include "host/Quote.h"

namespace testsupport {

struct ItemDoc {
    bool isNew = false;  // root Userdef_base instead of Userdef
    QString coverBody, cover;
    QString id, cClass, cItem, pubzxts;
    QString maxLen = QStringLiteral("20");
    QString name, nameTw, nameEn;
    QString type = QStringLiteral("文本");
    std::optional<QString> length, decimals, defaultVal, parentId;
    QString dataSource = QStringLiteral("0");
    QString fixLength = QStringLiteral("0"), input = QStringLiteral("0"),
            archive = QStringLiteral("0"), multiSel = QStringLiteral("0"),
            attachFile = QStringLiteral("0"), picture = QStringLiteral("0"),
            checkVal = QStringLiteral("0");
    QString dicDbName;
    bool extended = true;  // writes cFieldName and the share
    bool withShare = true;
    QStringList added, kept, removed;
    bool vendorEntry = false;  // an entry with cId only (vendor items)

    static QString el(const QString& name, const QString& value) {
        return QLatin1Char('<') + name + QLatin1Char('>') + host::xmlText(value) +
               QStringLiteral("</") + name + QLatin1Char('>');
    }
    QString entries(const QStringList& tables) const {
        QString out;
        for (const QString& t : tables)
            out += QStringLiteral("<UserDefDetail>") + el(QStringLiteral("cId"), id) +
                   el(QStringLiteral("Tablename"), t) + QStringLiteral("</UserDefDetail>");
        return out;
    }
    QString xml() const {
        const QString root = isNew ? QStringLiteral("Userdef_base") : QStringLiteral("Userdef");
        QString x = QLatin1Char('<') + root + QStringLiteral(" bCoverVouchBody='") +
                    host::xmlText(coverBody) + QStringLiteral("'>");
        x += el("cId", id) + el("cClass", cClass) + el("cItem", cItem);
        if (isNew) x += el("pubzxts", pubzxts);
        x += el("IMaxLen", maxLen) + el("cItemName", name) + el("cItemName_zh_TW", nameTw) +
             el("cItemName_en_US", nameEn) + el("cType", type);
        if (length) x += el("iLength", *length);
        if (decimals) x += el("iDecimalDigits", *decimals);
        if (defaultVal) x += el("cDefaultVal", *defaultVal);
        x += el("iDataSource", dataSource);
        if (parentId) x += el("cParentID", *parentId);
        x += el("bFixLength", fixLength) + el("bInput", input) + el("bArchive", archive) +
             el("bMultiSel", multiSel) + el("bIsUserDefAttachFile", attachFile) +
             el("bIsUserDefPic", picture) + el("bCheckVal", checkVal);
        x += el("bCoverVouch", cover);
        x += QStringLiteral("<cRelArchive> </cRelArchive><cRelField></cRelField>");
        x += QStringLiteral("<CTableDesc></CTableDesc>") + el("cDicDbName", dicDbName);
        if (extended) x += el("cFieldName", dicDbName);
        if (withShare) {
            QString add = entries(added), keep = entries(kept);
            if (vendorEntry)
                (isNew ? add : keep) += QStringLiteral("<UserDefDetail>") + el("cId", id) +
                                        QStringLiteral("</UserDefDetail>");
            x += QStringLiteral("<AddUserDefDetail>") + add +
                 QStringLiteral("</AddUserDefDetail>") + QStringLiteral("<ModifyUserDefDetail>") +
                 keep + QStringLiteral("</ModifyUserDefDetail><DeleteUserDefDetail>") +
                 entries(removed) + QStringLiteral("</DeleteUserDefDetail>");
        }
        return x + QStringLiteral("</") + root + QLatin1Char('>');
    }
};

// A new extended header item linked to the given tables.
inline ItemDoc newHeaderItem(const QString& id, int column, const QStringList& tables,
                             const QString& name = QStringLiteral("新项目")) {
    ItemDoc d;
    d.isNew = true;
    d.id = id;
    d.cClass = QStringLiteral("单据头");
    d.cItem = QStringLiteral("扩展自定义项%1").arg(column);
    d.maxLen = QStringLiteral("25");
    d.length = QStringLiteral("25");
    d.defaultVal = QString();
    d.name = name;
    d.nameTw = name + QStringLiteral("(繁)");
    d.nameEn = QStringLiteral("New item");
    d.dicDbName = QStringLiteral("cHDefine%1").arg(column);
    d.added = tables;
    return d;
}

}  // namespace testsupport
