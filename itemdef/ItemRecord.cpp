#include "itemdef/ItemRecord.h"

#include "common/NameTables.h"
#include "host/RecordSet.h"

namespace itemdef {

int classPosition(const QString& cClass) { return int(userdef::classKeys().indexOf(cClass)); }

const QStringList& kindKeys() {
    static const QStringList keys = {QStringLiteral("自由项"), QStringLiteral("自定义项"),
                                     QStringLiteral("属性"), QStringLiteral("扩展自定义项")};
    return keys;
}

int kindPosition(const QString& cItem) {
    const QStringList& keys = kindKeys();
    for (int i = 0; i < keys.size(); ++i)
        if (cItem.startsWith(keys[i])) return i;
    return -1;
}

bool isFreeItem(const QString& cItem) { return cItem.startsWith(kindKeys()[kFreeItem]); }

const QStringList& typeKeys() {
    static const QStringList keys = {QStringLiteral("文本"), QStringLiteral("日期"),
                                     QStringLiteral("整型"), QStringLiteral("数字"),
                                     QStringLiteral("日期时间")};
    return keys;
}

int typePosition(const QString& cType) {
    if (cType == QStringLiteral("整数")) return kInteger;
    return int(typeKeys().indexOf(cType));
}

QString typeStored(int position) {
    return position >= 0 && position < typeKeys().size() ? typeKeys()[position] : QString();
}

int rowWidth(int typePosition, int maxLen) {
    switch (typePosition) {
        case kText: return maxLen;
        case kInteger: return 4;
        case kDate:
        case kDateTime:
        case kNumber: return 8;
        default: return 0;
    }
}

bool isExtendedItem(const QString& cDicDbName) {
    static const QStringList prefixes = {QStringLiteral("chdefine"), QStringLiteral("cbdefine"),
                                         QStringLiteral("cidefine"), QStringLiteral("ccdefine"),
                                         QStringLiteral("cldefine")};
    QString stem;
    stem.reserve(cDicDbName.size());
    for (const QChar c : cDicDbName)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) stem += c;
    return prefixes.contains(stem.toLower());
}

bool flagValue(const QVariant& value) {
    if (value.isNull() || !value.isValid()) return false;
    switch (value.typeId()) {
        case QMetaType::Bool: return value.toBool();
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Double: return value.toDouble() != 0;
        default: {
            const QString text = value.toString().trimmed().toLower();
            if (text == QLatin1String("true")) return true;
            bool ok = false;
            const double number = text.toDouble(&ok);
            return ok && number != 0;
        }
    }
}

namespace {

int intValue(const host::RecordSet& rs, const char* name) {
    const QVariant v = rs.value(QLatin1String(name));
    if (v.isNull()) return 0;
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? int(d) : 0;
}

QString textValue(const host::RecordSet& rs, const char* name) {
    return rs.text(QLatin1String(name));
}

bool flag(const host::RecordSet& rs, const char* name) {
    return flagValue(rs.value(QLatin1String(name)));
}

}  // namespace

ItemRecord ItemRecord::fromRecordSet(const host::RecordSet& rs) {
    ItemRecord r;
    r.cId = textValue(rs, "cId");
    r.cClass = textValue(rs, "cClass");
    r.CItem = textValue(rs, "CItem");
    r.CType = textValue(rs, "CType");
    r.IMaxLen = intValue(rs, "IMaxLen");
    r.cItemName = textValue(rs, "cItemName");
    r.iLength = intValue(rs, "iLength");
    r.iDecimalDigits = intValue(rs, "iDecimalDigits");
    r.bFixLength = flag(rs, "bFixLength");
    r.bCheckVal = flag(rs, "bCheckVal");
    r.bInput = flag(rs, "bInput");
    r.bArchive = flag(rs, "bArchive");
    r.bMultiSel = flag(rs, "bMultiSel");
    r.cParentID = textValue(rs, "cParentID");
    r.bIsUserDefAttachFile = flag(rs, "bIsUserDefAttachFile");
    r.iDataSource = intValue(rs, "iDataSource");
    r.cRelArchive = textValue(rs, "cRelArchive");
    r.cRelField = textValue(rs, "cRelField");
    r.cDefaultVal = textValue(rs, "cDefaultVal");
    r.cRefID = textValue(rs, "cRefID");
    r.bIsUserDefPic = flag(rs, "bIsUserDefPic");
    r.cDicDbName = textValue(rs, "cDicDbName");
    r.ctabledesc = textValue(rs, "ctabledesc");
    r.citemlang = textValue(rs, "citemlang");
    return r;
}

}  // namespace itemdef
