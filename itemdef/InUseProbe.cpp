#include "itemdef/InUseProbe.h"

#include <QLoggingCategory>
#include <QRegularExpression>

#include "host/IClsCommon.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemdefLog.h"

namespace itemdef {

QString probeNumber(const QString& cClass, const QString& cItem) {
    int start = 4;  // 0-based: after "自定义项"
    if (classPosition(cClass) == kBatchProperty)
        start = 2;
    else if (isFreeItem(cItem))
        start = 3;
    const QString number = cItem.mid(start, 2).trimmed();
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    return digits.match(number).hasMatch() ? number : QString();
}

QString inUseProbeSql(const QString& cClass, const QString& cItem) {
    const QString n = probeNumber(cClass, cItem);
    if (n.isEmpty()) return {};
    switch (classPosition(cClass)) {
        case kCustomer:
            return QStringLiteral("  select top 1 Ccuscode from customer where cCusDefine") + n +
                   QStringLiteral("<>''");
        case kVendor:
            return QStringLiteral("  select top 1 CVencode from Vendor where cVenDefine") + n +
                   QStringLiteral("<>''");
        case kContact:
            return QStringLiteral(
                       "  select top 1 cContactCode from Crm_Contact  where cConDefine") +
                   n + QStringLiteral("<>''");
        case kBatchProperty:
            return QStringLiteral(
                       "  select top 1 cInvcode from AA_BatchProperty  where  "
                       "cast(cBatchProperty") +
                   n + QStringLiteral(" as nvarchar(120))<>''");
        case kInventory:
            if (isFreeItem(cItem))
                return QStringLiteral(" select top 1 CInvcode from Inventory where bFree") + n +
                       QStringLiteral("=1");
            return QStringLiteral(" select top 1 CInvcode from Inventory where cInvDefine") + n +
                   QStringLiteral("<>''");
        default:
            return {};
    }
}

ArchiveColumn valueColumn(const QString& cClass, const QString& cItem) {
    const QString n = probeNumber(cClass, cItem);
    if (n.isEmpty()) return {};
    switch (classPosition(cClass)) {
        case kCustomer: return {QStringLiteral("customer"), QStringLiteral("cCusDefine") + n};
        case kVendor: return {QStringLiteral("Vendor"), QStringLiteral("cVenDefine") + n};
        case kContact: return {QStringLiteral("Crm_Contact"), QStringLiteral("cConDefine") + n};
        case kBatchProperty:
            return {QStringLiteral("AA_BatchProperty"), QStringLiteral("cBatchProperty") + n};
        case kInventory:
            if (isFreeItem(cItem)) return {};
            return {QStringLiteral("Inventory"), QStringLiteral("cInvDefine") + n};
        default: return {};
    }
}

bool probeKeepsFlag(const QString& cClass) { return classPosition(cClass) == kSerialNumber; }

bool probeInUse(host::IClsCommon& srv, const QString& cClass, const QString& cItem) {
    const QString sql = inUseProbeSql(cClass, cItem);
    if (sql.isEmpty()) return false;
    const host::RecordSetPtr rs = srv.OpenX(sql);
    if (!rs) {
        // Not knowing is not "unused": the item keeps what in use protects.
        qCWarning(lcItemdef) << "in-use probe failed:" << srv.lastError();
        return true;
    }
    return rs->recordCount() == 1;
}

}  // namespace itemdef
