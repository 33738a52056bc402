#include "itemdef/ItemDocument.h"

#include <algorithm>

#include "common/Globals.h"
#include "host/Quote.h"
#include "itemdef/ItemRecord.h"

namespace itemdef {

namespace {

void element(QString& xml, const QString& name, const QString& value) {
    xml += QLatin1Char('<') + name + QLatin1Char('>') + host::xmlText(value) +
           QStringLiteral("</") + name + QLatin1Char('>');
}

void visibleElement(QString& xml, const QString& name, const VisibleValue& value) {
    if (value.visible) element(xml, name, value.text);
}

bool askYes(const char* key) {
    if (!userdef::g_Pub) return false;
    return userdef::g_Pub->MsgBox(
               userdef::g_Pub->GetResString(QString::fromLatin1(key)),
               host::MsgButtons::YesNoQuestion,
               userdef::g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation"))) ==
           host::MsgAnswer::Yes;
}

QString fixedAnswer(int option) {
    if (option == kCoverAlways) return QStringLiteral("1");
    if (option == kCoverNever) return QStringLiteral("0");
    return {};
}

}  // namespace

const std::array<const char*, 7>& documentFlagNames() {
    static const std::array<const char*, 7> names = {
        "bFixLength",           "bInput",        "bArchive", "bMultiSel",
        "bIsUserDefAttachFile", "bIsUserDefPic", "bCheckVal"};
    return names;
}

QString ItemDocument(const ItemDocumentFields& f) {
    const QString root = f.adding ? QStringLiteral("Userdef_base") : QStringLiteral("Userdef");
    QString xml = QLatin1Char('<') + root + QStringLiteral(" bCoverVouchBody='") +
                  host::xmlText(f.coverBody) + QStringLiteral("'>");
    element(xml, QStringLiteral("cId"), f.cId);
    element(xml, QStringLiteral("cClass"), f.cClass);
    element(xml, QStringLiteral("cItem"), f.cItem);
    if (f.adding && f.extended) element(xml, QStringLiteral("pubzxts"), f.pubzxts);
    element(xml, QStringLiteral("IMaxLen"), f.maxLen);
    element(xml, QStringLiteral("cItemName"), f.names[0]);
    element(xml, QStringLiteral("cItemName_zh_TW"), f.names[1]);
    element(xml, QStringLiteral("cItemName_en_US"), f.names[2]);
    element(xml, QStringLiteral("cType"), f.cType);
    visibleElement(xml, QStringLiteral("iLength"), f.length);
    visibleElement(xml, QStringLiteral("iDecimalDigits"), f.decimals);
    visibleElement(xml, QStringLiteral("cDefaultVal"), f.defaultVal);
    // No choice made reads as 0: values not taken from another archive.
    element(xml, QStringLiteral("iDataSource"), QString::number(std::max(f.dataSource, 0)));
    if (f.parentId) element(xml, QStringLiteral("cParentID"), *f.parentId);
    const auto& flagNames = documentFlagNames();
    for (size_t i = 0; i < flagNames.size(); ++i) {
        const QString name = QString::fromLatin1(flagNames[i]);
        if (i == 0 && f.freeItem)
            element(xml, name, QStringLiteral("0"));  // a free item never has a fixed length
        else
            visibleElement(xml, name, f.flags[i]);
    }
    element(xml, QStringLiteral("bCoverVouch"), f.cover);
    if (f.dataSource == 1 && !f.relField.isEmpty() && !f.relArchive.isEmpty()) {
        element(xml, QStringLiteral("cRelArchive"), f.relArchive);
        element(xml, QStringLiteral("cRefID"), f.refId);
        element(xml, QStringLiteral("cRelField"), f.relField);
    } else {
        // Own values (or no archive chosen): nothing of an earlier archive stays stored.
        xml += QStringLiteral("<cRelArchive> </cRelArchive><cRefID></cRefID><cRelField></cRelField>");
    }
    xml += QStringLiteral("<CTableDesc></CTableDesc>");
    element(xml, QStringLiteral("cDicDbName"), f.column);
    if (f.adding || f.extended) element(xml, QStringLiteral("cFieldName"), f.column);
    xml += f.share;
    xml += QStringLiteral("</") + root + QLatin1Char('>');
    return xml;
}

CoverValues AskCoverValues(int option, bool extended, int classPosition) {
    CoverValues v;
    if (option == kCoverPrompt && !extended && classPosition == kInventory)
        v.body = askYes("Q9.AA.ARCHIVE.COMMON.startup_vouchbody_def") ? QStringLiteral("1")
                                                                      : QStringLiteral("0");
    else
        v.body = fixedAnswer(option);
    if (option == kCoverPrompt && !extended)
        v.vouch = askYes("Q9.AA.ARCHIVE.COMMON.1135_1") ? QStringLiteral("1") : QStringLiteral("0");
    else
        v.vouch = fixedAnswer(option);
    return v;
}

}  // namespace itemdef
