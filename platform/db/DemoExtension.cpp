// Extendable host tables of the demo account: the extension catalogue, the document tables with
// their companion "_extradefine" tables (one column per linked extended item), the item-to-table
// links, table groups, and the carry-over pairs, paths and rules between the tables.
#include <QVector>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/db/DemoData.h"

namespace platform::db::demo {

namespace {

enum class Shape { Head, Body, Both, Archive, None };  // None: listed but never created

struct HostTable {
    QString sub, name, desc, cdesc, type, parent, pk;
    bool ignoreCheck;
    Shape shape;
};

// Descriptions: TableDesc is what the table tree and the batch window show, cTableDesc what the
// rule list and rule editor show.
const QVector<HostTable>& hostTables() {
    static const QVector<HostTable> tables = {
        {"SA", "SA_OrderHead", "销售订单表头", "销售订单主表", "H", "", "ID", false, Shape::Head},
        {"SA", "SA_OrderBody", "销售订单表体", "销售订单子表", "B", "", "AutoID", false,
         Shape::Body},
        {"SA", "SA_OrderBodyPlan", "销售订单交货计划", "销售订单交货计划表", "B", "SA_OrderBody",
         "AutoID", false, Shape::Body},
        {"SA", "SA_DispatchHead", "发货单表头", "发货单主表", "H", "", "ID", false, Shape::Head},
        {"SA", "SA_DispatchBody", "发货单表体", "发货单子表", "B", "", "AutoID", false,
         Shape::Body},
        {"SA", "SA_InvoiceHead", "销售发票表头", "销售发票主表", "H", "", "ID", false, Shape::Head},
        {"SA", "SA_InvoiceBody", "销售发票表体", "销售发票子表", "B", "", "AutoID", false,
         Shape::Body},
        {"PU", "PU_OrderHead", "采购订单表头", "采购订单主表", "H", "", "ID", false, Shape::Head},
        {"PU", "PU_OrderBody", "采购订单表体", "采购订单子表", "B", "", "AutoID", false,
         Shape::Body},
        {"PU", "PU_ArrivalHead", "到货单表头", "到货单主表", "H", "", "ID", false, Shape::Head},
        {"PU", "PU_ArrivalBody", "到货单表体", "到货单子表", "B", "", "AutoID", false, Shape::Body},
        {"SA,PU", "PR_AdjustHead", "价格调整单表头", "价格调整单主表", "H", "", "ID", false,
         Shape::Head},
        {"ST", "ST_InboundHead", "入库单表头", "入库单主表", "H", "", "ID", false, Shape::Head},
        {"ST", "ST_InboundBody", "入库单表体", "入库单子表", "B", "", "AutoID", false, Shape::Body},
        {"ST", "ST_InboundBodySerial", "入库单序列号", "入库单序列号表", "B", "ST_InboundBody",
         "AutoID", false, Shape::Body},
        {"ST", "ST_TransferHead", "调拨单表头", "调拨单主表", "H", "", "ID", false, Shape::None},
        {"IA", "IA_AdjustHead", "出入库调整单表头", "出入库调整单主表", "H", "", "ID", true,
         Shape::Head},
        {"AP", "AP_VouchHead", "应付单表头", "应付单主表", "H", "", "ID", false, Shape::Head},
        {"AR", "AR_VouchHead", "应收单表头", "应收单主表", "H", "", "ID", false, Shape::Head},
        {"QM", "QM_InspectHead", "来料检验单表头", "来料检验单主表", "H", "", "ID", false,
         Shape::Head},
        {"CM", "CM_Contract", "合同", "合同主表", "B,H", "", "ID", false, Shape::Both},
        {"BM", "BM_BudgetHead", "预算申请单表头", "预算申请单主表", "H", "", "ID", false,
         Shape::Head},
        {"HR", "HR_LeaveHead", "请假单表头", "请假单主表", "H", "", "ID", false, Shape::Head},
        {"AS", "Inventory", "存货档案", "存货档案", "INV", "", "cInvCode", false, Shape::Archive},
        {"AS", "Customer", "客户档案", "客户档案", "CUS", "", "cCusCode", false, Shape::Archive},
        {"AS", "Crm_Contact", "联系人档案", "联系人档案", "CON", "", "cContactCode", false,
         Shape::Archive},
    };
    return tables;
}

// The tables' descriptions in traditional Chinese and English: TableDesc, then cTableDesc.
struct TableCaptions {
    const char* name;
    const char *tw, *ctw, *en, *cen;
};
const QVector<TableCaptions>& tableCaptions() {
    static const QVector<TableCaptions> list = {
        {"SA_OrderHead", "銷售訂單表頭", "銷售訂單主表", "Sales order header", "Sales order"},
        {"SA_OrderBody", "銷售訂單表體", "銷售訂單子表", "Sales order lines", "Sales order lines"},
        {"SA_OrderBodyPlan", "銷售訂單交貨計劃", "銷售訂單交貨計劃表", "Sales order delivery plan",
         "Sales order delivery plan"},
        {"SA_DispatchHead", "發貨單表頭", "發貨單主表", "Dispatch note header", "Dispatch note"},
        {"SA_DispatchBody", "發貨單表體", "發貨單子表", "Dispatch note lines",
         "Dispatch note lines"},
        {"SA_InvoiceHead", "銷售發票表頭", "銷售發票主表", "Sales invoice header", "Sales invoice"},
        {"SA_InvoiceBody", "銷售發票表體", "銷售發票子表", "Sales invoice lines",
         "Sales invoice lines"},
        {"PU_OrderHead", "採購訂單表頭", "採購訂單主表", "Purchase order header", "Purchase order"},
        {"PU_OrderBody", "採購訂單表體", "採購訂單子表", "Purchase order lines",
         "Purchase order lines"},
        {"PU_ArrivalHead", "到貨單表頭", "到貨單主表", "Arrival note header", "Arrival note"},
        {"PU_ArrivalBody", "到貨單表體", "到貨單子表", "Arrival note lines", "Arrival note lines"},
        {"PR_AdjustHead", "價格調整單表頭", "價格調整單主表", "Price adjustment header",
         "Price adjustment"},
        {"ST_InboundHead", "入庫單表頭", "入庫單主表", "Goods receipt header", "Goods receipt"},
        {"ST_InboundBody", "入庫單表體", "入庫單子表", "Goods receipt lines",
         "Goods receipt lines"},
        {"ST_InboundBodySerial", "入庫單序列號", "入庫單序列號表", "Goods receipt serial numbers",
         "Goods receipt serial numbers"},
        {"ST_TransferHead", "調撥單表頭", "調撥單主表", "Transfer order header", "Transfer order"},
        {"IA_AdjustHead", "出入庫調整單表頭", "出入庫調整單主表", "Stock adjustment header",
         "Stock adjustment"},
        {"AP_VouchHead", "應付單表頭", "應付單主表", "Payable header", "Payable"},
        {"AR_VouchHead", "應收單表頭", "應收單主表", "Receivable header", "Receivable"},
        {"QM_InspectHead", "來料檢驗單表頭", "來料檢驗單主表", "Incoming inspection header",
         "Incoming inspection"},
        {"CM_Contract", "合同", "合同主表", "Contract", "Contract"},
        {"BM_BudgetHead", "預算申請單表頭", "預算申請單主表", "Budget request header",
         "Budget request"},
        {"HR_LeaveHead", "請假單表頭", "請假單主表", "Leave request header", "Leave request"},
        {"Inventory", "存貨檔案", "存貨檔案", "Inventory archive", "Inventory archive"},
        {"Customer", "客戶檔案", "客戶檔案", "Customer archive", "Customer archive"},
        {"Crm_Contact", "聯絡人檔案", "聯絡人檔案", "Contact archive", "Contact archive"},
    };
    return list;
}

// Extended items and the tables that carry their column.
const QVector<QPair<int, QStringList>>& links() {
    static const QVector<QPair<int, QStringList>> list = {
        {1001,
         {"SA_OrderHead", "SA_DispatchHead", "SA_InvoiceHead", "PU_OrderHead", "PR_AdjustHead",
          "CM_Contract"}},
        {1002, {"SA_OrderHead", "SA_DispatchHead"}},
        {1003, {"SA_DispatchHead", "SA_InvoiceHead", "PU_ArrivalHead"}},
        {1004, {"AP_VouchHead", "AR_VouchHead", "IA_AdjustHead"}},
        {2001, {"SA_OrderBody", "SA_DispatchBody", "SA_InvoiceBody", "CM_Contract"}},
        {2002, {"PU_OrderBody", "PU_ArrivalBody", "ST_InboundBody"}},
        {2003, {"SA_OrderBody", "SA_DispatchBody"}},
        {2004, {"PU_ArrivalBody", "ST_InboundBody"}},
        {3001, {"Inventory"}},
        {5001, {"Customer"}},
        {5002, {"Customer"}},
        {6001, {"Crm_Contact"}},
    };
    return list;
}

bool exec(Database& db, const QString& sql, QString* error) {
    QString why;
    if (db.exec(sql, &why)) return true;
    if (error) *error = why;
    return false;
}

QString hostTableDdl(const HostTable& t) {
    const QString name = host::sqlIdent(t.name), pk = host::sqlIdent(t.pk);
    switch (t.shape) {
        case Shape::Head:
            return QStringLiteral(
                       "CREATE TABLE %1(%2 int NOT NULL PRIMARY KEY, cCode nvarchar(30) COLLATE "
                       "NOCASE, dDate datetime, cMaker nvarchar(20) COLLATE NOCASE);")
                .arg(name, pk);
        case Shape::Body:
            return QStringLiteral(
                       "CREATE TABLE %1(%2 int NOT NULL PRIMARY KEY, ID int NOT NULL, cInvCode "
                       "nvarchar(60) COLLATE NOCASE, iQuantity decimal(28,6));")
                .arg(name, pk);
        case Shape::Both:
            return QStringLiteral(
                       "CREATE TABLE %1(%2 int NOT NULL PRIMARY KEY, cCode nvarchar(30) COLLATE "
                       "NOCASE, dDate datetime, cInvCode nvarchar(60) COLLATE NOCASE, "
                       "iQuantity decimal(28,6));")
                .arg(name, pk);
        case Shape::Archive:
        case Shape::None:
            return {};
    }
    return {};
}

// The physical type of an extended item's column, from its definition.
QString columnType(const host::RecordSet& item) {
    const QString type = item.text(QStringLiteral("cType"));
    if (type == QStringLiteral("文本"))
        return QStringLiteral("nvarchar(%1) COLLATE NOCASE")
            .arg(item.value(QStringLiteral("IMaxLen")).toInt());
    if (type == QStringLiteral("整型") || type == QStringLiteral("整数"))
        return QStringLiteral("int");
    if (type == QStringLiteral("数字"))
        return QStringLiteral("decimal(28,%1)")
            .arg(item.value(QStringLiteral("iDecimalDigits")).toInt());
    return QStringLiteral("datetime");
}

bool createTables(Database& db, QString* error) {
    QList<QVariantList> catalogue;
    for (const HostTable& t : hostTables()) {
        catalogue << QVariantList{
            t.sub,   t.name, t.desc,
            t.cdesc, t.type, t.parent.isEmpty() ? QVariant() : QVariant(t.parent),
            t.name,  t.pk,   t.ignoreCheck ? 1 : 0};
        const QString ddl = hostTableDdl(t);
        if (!ddl.isEmpty() && !exec(db, ddl, error)) return false;
    }
    if (!insertRows(db, QStringLiteral("AA_DefineExtend"),
                    {"cSub_ID", "cTableName", "TableDesc", "cTableDesc", "cType",
                     "cParentTableName", "TableName", "cPKName", "bDeleteIgnoreCheck"},
                    catalogue, error))
        return false;

    QList<QVariantList> captions;
    for (const TableCaptions& c : tableCaptions()) {
        const QString name = QString::fromUtf8(c.name);
        captions << QVariantList{name, "zh-TW", QString::fromUtf8(c.tw), QString::fromUtf8(c.ctw)}
                 << QVariantList{name, "en-US", QString::fromUtf8(c.en), QString::fromUtf8(c.cen)};
    }
    if (!insertRows(db, QStringLiteral("AA_DefineExtend_lang"),
                    {"cTableName", "LocaleID", "TableDesc", "cTableDesc"}, captions, error))
        return false;

    // Companion tables: the host table's key plus one column per linked extended item.
    for (const HostTable& t : hostTables()) {
        if (t.shape == Shape::None) continue;
        QStringList columns;
        const QString keyType = t.shape == Shape::Archive
                                    ? QStringLiteral("nvarchar(60) COLLATE NOCASE")
                                    : QStringLiteral("int");
        columns << QStringLiteral("%1 %2 NOT NULL PRIMARY KEY").arg(host::sqlIdent(t.pk), keyType);
        for (const auto& [id, tables] : links()) {
            if (!tables.contains(t.name, Qt::CaseInsensitive)) continue;
            const host::RecordSetPtr item =
                db.query(QStringLiteral(
                             "SELECT cDicDbName, cType, IMaxLen, iDecimalDigits FROM UserDef_Base "
                             "WHERE cId = ?"),
                         {QString::number(id)}, error);
            if (!item || item->isEmpty()) {
                if (error && item) *error = QStringLiteral("Extended item %1 is missing.").arg(id);
                return false;
            }
            columns << QStringLiteral("%1 %2").arg(
                host::sqlIdent(item->text(QStringLiteral("cDicDbName"))), columnType(*item));
        }
        const QString ddl = QStringLiteral("CREATE TABLE %1(%2);")
                                .arg(host::sqlIdent(t.name + QStringLiteral("_extradefine")),
                                     columns.join(QStringLiteral(", ")));
        if (!exec(db, ddl, error)) return false;
    }

    QList<QVariantList> detail;
    for (const auto& [id, tables] : links())
        for (const QString& table : tables) detail << QVariantList{QString::number(id), table};
    if (!insertRows(db, QStringLiteral("UserDefDetail"), {"cid", "TableName"}, detail, error))
        return false;

    // Tables that are linked together.
    return insertRows(db, QStringLiteral("AA_DefineExtendTables"),
                      {"cTableName", "groupname", "ctype"},
                      {{"SA_DispatchHead", "销售出库联动", "H"},
                       {"SA_InvoiceHead", "销售出库联动", "H"},
                       {"SA_DispatchBody", "销售出库联动表体", "B"},
                       {"SA_InvoiceBody", "销售出库联动表体", "B"}},
                      error);
}

// A few documents, some with extended values filled in.
bool fillDocuments(Database& db, QString* error) {
    return insertRows(db, "SA_OrderHead", {"ID", "cCode", "dDate", "cMaker"},
                      {{1, "SO2026-0001", "2026-03-02 00:00:00", "林晓峰"},
                       {2, "SO2026-0002", "2026-03-05 00:00:00", "林晓峰"},
                       {3, "SO2026-0003", "2026-03-11 00:00:00", "苏婉清"}},
                      error) &&
           insertRows(db, "SA_OrderHead_extradefine", {"ID", "cHDefine1", "cHDefine2"},
                      {{1, "XM-2026-018", "2026-03-01 00:00:00"},
                       {2, "XM-2026-021", QVariant()},
                       {3, QVariant(), QVariant()}},
                      error) &&
           insertRows(db, "SA_OrderBody", {"AutoID", "ID", "cInvCode", "iQuantity"},
                      {{11, 1, "I001", 120}, {12, 1, "I002", 40}, {21, 2, "I003", 15}}, error) &&
           insertRows(db, "SA_OrderBody_extradefine", {"AutoID", "cBDefine1", "cBDefine3"},
                      {{11, "L260301", 0.95}, {12, "L260302", QVariant()}}, error) &&
           insertRows(db, "AP_VouchHead", {"ID", "cCode", "dDate", "cMaker"},
                      {{1, "AP2026-0007", "2026-02-20 00:00:00", "周启明"}}, error) &&
           insertRows(db, "AP_VouchHead_extradefine", {"ID", "cHDefine4"}, {{1, "银行承兑汇票"}},
                      error) &&
           insertRows(db, "IA_AdjustHead", {"ID", "cCode", "dDate", "cMaker"},
                      {{1, "IA2026-0002", "2026-02-28 00:00:00", "周启明"}}, error) &&
           insertRows(db, "IA_AdjustHead_extradefine", {"ID", "cHDefine4"}, {{1, "现金"}}, error) &&
           insertRows(
               db, "Customer_extradefine", {"cCusCode", "cCDefine1", "cCDefine2"},
               {{"C001", "装备制造", "2019-05-16 00:00:00"}, {"C002", "电子元件", QVariant()}},
               error) &&
           insertRows(db, "Inventory_extradefine", {"cInvCode", "cIDefine1"},
                      {{"I001", QVariant()}, {"I002", ""}}, error);
}

// Table pairs a document is generated along, their paths and the rules of several extended items
// (some switched off, one written for a table of both kinds).
bool fillCarryOver(Database& db, QString* error) {
    if (!insertRows(db, QStringLiteral("AA_ExtendDefineMakeVouch_base"),
                    {"cMakeVouchID", "cSub_id", "cDesc"},
                    {{"SA01", "SA", "销售订单生成发货单"},
                     {"SA02", "SA", "发货单生成销售发票"},
                     {"PU01", "PU", "采购订单生成到货单"},
                     {"PU02", "PU", "到货单生成入库单"},
                     {"PR01", "SA,PU", "价格调整单生成采购订单"},
                     {"CM01", "CM", "合同生成销售订单"}},
                    error))
        return false;
    if (!insertRows(db, QStringLiteral("AA_ExtendDefineMakeVouch_sub"),
                    {"cMakeVouchID", "cTableName", "cTargetTable", "cType"},
                    {{"SA01", "SA_OrderHead", "SA_DispatchHead", "H"},
                     {"SA01", "SA_OrderBody", "SA_DispatchBody", "B"},
                     {"SA02", "SA_DispatchHead", "SA_InvoiceHead", "H"},
                     {"SA02", "SA_DispatchBody", "SA_InvoiceBody", "B"},
                     {"PU01", "PU_OrderHead", "PU_ArrivalHead", "H"},
                     {"PU01", "PU_OrderBody", "PU_ArrivalBody", "B"},
                     {"PU02", "PU_ArrivalHead", "ST_InboundHead", "H"},
                     {"PU02", "PU_ArrivalBody", "ST_InboundBody", "B"},
                     {"PR01", "PR_AdjustHead", "PU_OrderHead", "H"},
                     {"CM01", "CM_Contract", "SA_OrderHead", "B,H"},
                     {"CM01", "CM_Contract", "SA_OrderBody", "B,H"}},
                    error))
        return false;
    return insertRows(db, QStringLiteral("AA_ExtendDefineMakeVouch_Set"),
                      {"cMakeVouchID", "cTableName", "cTargetTable", "cextendfield", "ctargetfield",
                       "ctype", "btrans", "cdesc", "cSub_id", "guid"},
                      {{"SA01", "SA_OrderHead", "SA_DispatchHead", "cHDefine1", "cHDefine1", "H", 1,
                        "项目编号随订单带到发货单", "SA", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0001"},
                       {"SA01", "SA_OrderHead", "SA_DispatchHead", "cHDefine2", "cHDefine2", "H", 0,
                        "审批日期不带入", "SA", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0002"},
                       {"SA02", "SA_DispatchHead", "SA_InvoiceHead", "cHDefine1", "cHDefine1", "H",
                        1, "", "SA", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0003"},
                       {"SA02", "SA_DispatchHead", "SA_InvoiceHead", "cHDefine3", "cHDefine3", "H",
                        1, "运输方式开票沿用", "SA", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0004"},
                       {"SA01", "SA_OrderBody", "SA_DispatchBody", "cBDefine1", "cBDefine1", "B", 1,
                        "批次随行带入", "SA", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0005"},
                       {"SA01", "SA_OrderBody", "SA_DispatchBody", "cBDefine3", "cBDefine3", "B", 0,
                        "", "SA", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0006"},
                       {"PU01", "PU_OrderBody", "PU_ArrivalBody", "cBDefine2", "cBDefine2", "B", 1,
                        "", "PU", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0007"},
                       {"PU02", "PU_ArrivalBody", "ST_InboundBody", "cBDefine2", "cBDefine2", "B",
                        1, "质检结果入库沿用", "PU", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0008"},
                       {"PU02", "PU_ArrivalBody", "ST_InboundBody", "cBDefine4", "cBDefine4", "B",
                        0, "", "PU", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0009"},
                       {"CM01", "CM_Contract", "SA_OrderHead", "cHDefine1", "cHDefine1", "B,H", 1,
                        "合同项目编号带入订单", "CM", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0010"}},
                      error);
}

}  // namespace

bool fillExtension(Database& db, QString* error) {
    // A quality menu only this account has; it joins the supply-chain group.
    return insertRows(db, QStringLiteral("ua_menu"),
                      {"cMenu_ID", "cSupMenu_ID", "Depends", "iOrder"}, {{"QM", "GSC", "ST", 25}},
                      error) &&
           createTables(db, error) && fillDocuments(db, error) && fillCarryOver(db, error);
}

}  // namespace platform::db::demo
