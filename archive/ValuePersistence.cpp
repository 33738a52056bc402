#include "archive/ValuePersistence.h"

#include "archive/ArchiveLog.h"
#include "common/ShowMsg.h"
#include "common/XmlHelpers.h"
#include "host/IClsCommon.h"
#include "host/Quote.h"

namespace archive {

namespace {
const QString kTable = QStringLiteral("UserDefine");
}

void WriteUserDefineXML(const QString& itemId, QString& document, int mode,
                        const QString& oldValue, const ValueBoxes& boxes) {
    document = QStringLiteral("<Userdefine><cId>") + host::xmlText(itemId) + QStringLiteral("</cId>");
    userdef::AppendXmlElement(document, QStringLiteral("cValue"), boxes.value);
    userdef::AppendXmlElement(document, QStringLiteral("cAlias"), boxes.alias);
    userdef::AppendXmlElement(document, QStringLiteral("cBarCode"), boxes.barCode);
    userdef::AppendXmlElement(document, QStringLiteral("cParentValue"), boxes.parentValue);
    userdef::AppendXmlElement(document, QStringLiteral("bFreeStop"), boxes.freeStop);
    if (mode == kModifying)
        document += QStringLiteral("<sValue>") + host::xmlText(oldValue) + QStringLiteral("</sValue>");
    document += QStringLiteral("</Userdefine>");
}

bool SaveUserDefineRs(host::IClsCommon* srv, const QString& itemId, const QString& oldValue,
                      int mode, const ValueBoxes& boxes) {
    if (!srv || (mode != kAdding && mode != kModifying)) return false;
    QString document;
    WriteUserDefineXML(itemId, document, mode, oldValue, boxes);
    if (!userdef::CheckXmlDocument(document)) return false;
    QString error;
    const bool ok = mode == kAdding ? srv->Add(document, kTable, &error)
                                    : srv->Modify(document, kTable, &error);
    if (!ok) {
        qCInfo(lcArchive) << "value not saved:" << error;
        userdef::ShowMsg(error);
    }
    return ok;
}

QString UserDefineDeleteKey(const QString& itemId, const QString& value) {
    return host::sqlValue(itemId) + QStringLiteral("' and cValue='") + host::sqlValue(value);
}

bool DeleteUserDefineRs(host::IClsCommon* srv, const QString& itemId, const QString& value) {
    if (!srv) return false;
    QString error;
    if (!srv->Delete(UserDefineDeleteKey(itemId, value), QStringLiteral("cID"), kTable, &error)) {
        qCInfo(lcArchive) << "value not deleted:" << error;
        userdef::ShowMsg(error);
        return false;
    }
    return true;
}

}  // namespace archive
