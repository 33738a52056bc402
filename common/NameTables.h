#pragma once
// Localised name tables, filled by InitAcc at session start and read by fixed index.
#include <QString>
#include <QStringList>

#include "common/Session.h"

namespace userdef {

extern QStringList& g_YesNo;        // 0 no, 1 yes
extern QStringList& g_DataSource;   // 0, 1
extern QStringList& g_ClassNames;   // 0..12, pairs with kClassKeys
extern QStringList& g_ItemKinds;    // 0 free, 1 user-defined, 2 property, 3 extended
extern QStringList& g_DataTypes;    // 0 text, 1 date, 2 integer, 3 number, 4 date and time

// Stored class values (cClass) by class index.
inline const QStringList& classKeys() {
    static const QStringList keys = {
        QStringLiteral("单据头"), QStringLiteral("单据体"), QStringLiteral("联系人"),
        QStringLiteral("供应商联系人"), QStringLiteral("客户"), QStringLiteral("供应商"),
        QStringLiteral("存货"), QStringLiteral("批次属性"), QStringLiteral("序列号"),
        QStringLiteral("服务用户档案"), QStringLiteral("班组"), QStringLiteral("条码"),
        QStringLiteral("银行账号")};
    return keys;
}

// The resource keys of the classes' shown names, by class index.
inline const QStringList& classTextKeys() {
    static const QStringList keys = {
        QStringLiteral("Q9.AA.USERDEF.voucherheader"), QStringLiteral("Q9.AA.USERDEF.voucherbody"),
        QStringLiteral("Q9.AA.USERDEF.crm_contact"),
        QStringLiteral("Q9.AA.ARCHIVE.FIELD.vendorcontactuserdefine"),
        QStringLiteral("Q9.AA.USERDEF.customer"), QStringLiteral("Q9.AA.USERDEF.vendor"),
        QStringLiteral("Q9.AA.USERDEF.inventory"), QStringLiteral("Q9.AA.ARCHIVE.FIELD.batchproperty"),
        QStringLiteral("Q9.AA.ARCHIVE.FIELD.serialnumber_property"),
        QStringLiteral("Q9.AA.ARCHIVE.FIELD.serveruserarch"), QStringLiteral("Q9.AA.ARCHIVE.FIELD.team"),
        QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmUserDef.Barcode.Caption"),
        QStringLiteral("Q9.AA.ARCHIVE.bank_account")};
    return keys;
}

}  // namespace userdef
