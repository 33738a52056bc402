// System database of the demo: users, the menu groups with their captions, the subsystems and
// which of them an account uses.
#include <QDateTime>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/db/DemoData.h"
#include "platform/db/UserTable.h"

namespace platform::db::demo {

bool insertRows(Database& db, const QString& table, const QStringList& columns,
                const QList<QVariantList>& rows, QString* error) {
    QStringList idents, marks;
    for (const QString& c : columns) {
        idents << host::sqlIdent(c);
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO %1(%2) VALUES (%3)")
                            .arg(host::sqlIdent(table), idents.join(QLatin1Char(',')),
                                 marks.join(QLatin1Char(',')));
    for (const QVariantList& row : rows) {
        QString why;
        if (!db.execParams(sql, row, &why)) {
            if (error) *error = QStringLiteral("%1: %2").arg(table, why);
            return false;
        }
    }
    return true;
}

namespace {

QVariantList user(const QString& id, const QString& name, const QString& password) {
    return {id, name, hashPassword(password), 1};
}

// A caption row in the three languages.
void captions(QList<QVariantList>& rows, const QString& id, const QString& cn, const QString& tw,
              const QString& en) {
    rows << QVariantList{id, cn, QStringLiteral("zh-CN")}
         << QVariantList{id, tw, QStringLiteral("zh-TW")}
         << QVariantList{id, en, QStringLiteral("en-US")};
}

}  // namespace

bool fillSystem(Database& db, QString* error) {
    if (!ensureUserTable(db, error) ||
        !insertRows(
            db, QStringLiteral("UA_User"),
            {QStringLiteral("cUser_Id"), QStringLiteral("cUser_Name"),
             QStringLiteral("cPasswordHash"), QStringLiteral("bDefAdmin")},
            {user(QStringLiteral("demo"), QStringLiteral("演示管理员"), QStringLiteral("demo")),
             user(QStringLiteral("admin2"), QStringLiteral("第二管理员"),
                  QStringLiteral("admin2"))},
            error))
        return false;

    // Menu groups under '#1' (and the basic-settings entry under '#0'), then the subsystems'
    // entries below the groups.
    const QList<QVariantList> menus = {
        {QStringLiteral("AI1"), QStringLiteral("#0"), QString(), 0},
        {QStringLiteral("GFI"), QStringLiteral("#1"), QString(), 10},
        {QStringLiteral("GSC"), QStringLiteral("#1"), QString(), 20},
        {QStringLiteral("MAG"), QStringLiteral("#1"), QString(), 30},
        {QStringLiteral("GHR"), QStringLiteral("#1"), QString(), 40},
        {QStringLiteral("GL"), QStringLiteral("GFI"), QString(), 11},
        {QStringLiteral("AR"), QStringLiteral("GFI"), QString(), 12},
        {QStringLiteral("AP"), QStringLiteral("GFI"), QString(), 13},
        {QStringLiteral("SA"), QStringLiteral("GSC"), QStringLiteral("ST,IA"), 21},
        {QStringLiteral("PU"), QStringLiteral("GSC"), QStringLiteral("ST,IA"), 22},
        {QStringLiteral("ST"), QStringLiteral("GSC"), QString(), 23},
        {QStringLiteral("IA"), QStringLiteral("GSC"), QStringLiteral("ST"), 24},
        {QStringLiteral("BM"), QStringLiteral("MAG"), QString(), 31},
        {QStringLiteral("HR"), QStringLiteral("GHR"), QString(), 41},
    };
    if (!insertRows(db, QStringLiteral("UA_Menu"),
                    {QStringLiteral("cMenu_ID"), QStringLiteral("cSupMenu_ID"),
                     QStringLiteral("Depends"), QStringLiteral("iOrder")},
                    menus, error))
        return false;

    QList<QVariantList> lang;
    captions(lang, QStringLiteral("AI1"), QStringLiteral("基础设置"), QStringLiteral("基礎設置"),
             QStringLiteral("Basic Settings"));
    captions(lang, QStringLiteral("GFI"), QStringLiteral("财务会计"), QStringLiteral("財務會計"),
             QStringLiteral("Financial Accounting"));
    captions(lang, QStringLiteral("GSC"), QStringLiteral("供应链"), QStringLiteral("供應鏈"),
             QStringLiteral("Supply Chain"));
    captions(lang, QStringLiteral("MAG"), QStringLiteral("管理会计"), QStringLiteral("管理會計"),
             QStringLiteral("Management Accounting"));
    captions(lang, QStringLiteral("GHR"), QStringLiteral("人力资源"), QStringLiteral("人力資源"),
             QStringLiteral("Human Resources"));
    // The subsystems' entries carry their captions too.
    captions(lang, QStringLiteral("GL"), QStringLiteral("总账"), QStringLiteral("總賬"),
             QStringLiteral("General Ledger"));
    captions(lang, QStringLiteral("AR"), QStringLiteral("应收款管理"), QStringLiteral("應收款管理"),
             QStringLiteral("Receivables"));
    captions(lang, QStringLiteral("AP"), QStringLiteral("应付款管理"), QStringLiteral("應付款管理"),
             QStringLiteral("Payables"));
    captions(lang, QStringLiteral("SA"), QStringLiteral("销售管理"), QStringLiteral("銷售管理"),
             QStringLiteral("Sales"));
    captions(lang, QStringLiteral("PU"), QStringLiteral("采购管理"), QStringLiteral("採購管理"),
             QStringLiteral("Purchasing"));
    captions(lang, QStringLiteral("ST"), QStringLiteral("库存管理"), QStringLiteral("庫存管理"),
             QStringLiteral("Inventory Management"));
    captions(lang, QStringLiteral("IA"), QStringLiteral("存货核算"), QStringLiteral("存貨核算"),
             QStringLiteral("Inventory Accounting"));
    captions(lang, QStringLiteral("QM"), QStringLiteral("质量管理"), QStringLiteral("品質管理"),
             QStringLiteral("Quality Management"));
    captions(lang, QStringLiteral("BM"), QStringLiteral("预算管理"), QStringLiteral("預算管理"),
             QStringLiteral("Budget Management"));
    captions(lang, QStringLiteral("HR"), QStringLiteral("人事管理"), QStringLiteral("人事管理"),
             QStringLiteral("Personnel"));
    captions(lang, QStringLiteral("CM"), QStringLiteral("合同管理"), QStringLiteral("合同管理"),
             QStringLiteral("Contract Management"));
    captions(lang, QStringLiteral("AS"), QStringLiteral("基础档案"), QStringLiteral("基礎檔案"),
             QStringLiteral("Basic Archives"));
    captions(lang, QStringLiteral("DP"), QStringLiteral("数据权限"), QStringLiteral("數據權限"),
             QStringLiteral("Data Permissions"));
    if (!insertRows(
            db, QStringLiteral("zxmenu_business_lang"),
            {QStringLiteral("MenuID"), QStringLiteral("Caption"), QStringLiteral("localeid")}, lang,
            error))
        return false;

    // ntype 1 (or NULL) subsystems are offered to every account; the others only where the
    // account uses them.
    const QList<QVariantList> subsystems = {
        {QStringLiteral("GL"), QStringLiteral("总账"), 0},
        {QStringLiteral("AR"), QStringLiteral("应收款管理"), 0},
        {QStringLiteral("AP"), QStringLiteral("应付款管理"), 0},
        {QStringLiteral("SA"), QStringLiteral("销售管理"), 0},
        {QStringLiteral("PU"), QStringLiteral("采购管理"), 0},
        {QStringLiteral("ST"), QStringLiteral("库存管理"), 0},
        {QStringLiteral("IA"), QStringLiteral("存货核算"), 0},
        {QStringLiteral("QM"), QStringLiteral("质量管理"), 0},
        {QStringLiteral("BM"), QStringLiteral("预算管理"), 0},
        {QStringLiteral("HR"), QStringLiteral("人事管理"), 0},
        {QStringLiteral("CM"), QStringLiteral("合同管理"), 1},
        {QStringLiteral("AS"), QStringLiteral("基础档案"), 1},
        {QStringLiteral("DP"), QStringLiteral("数据权限"), QVariant()},
    };
    return insertRows(
        db, QStringLiteral("ua_subsys"),
        {QStringLiteral("csub_id"), QStringLiteral("csub_name"), QStringLiteral("ntype")},
        subsystems, error);
}

bool registerAccount(Database& db, const QString& accountId, QString* error) {
    const QString now =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QString why;
    if (!db.execParams(QStringLiteral("DELETE FROM UA_Account_sub WHERE cAcc_id = ?"), {accountId},
                       &why) ||
        !db.execParams(QStringLiteral("DELETE FROM ua_account WHERE cAcc_Id = ?"), {accountId},
                       &why)) {
        if (error) *error = why;
        return false;
    }
    const QString name = accountId == QLatin1String("001")
                             ? QStringLiteral("演示账套")
                             : QStringLiteral("演示账套%1").arg(accountId);
    if (!insertRows(db, QStringLiteral("ua_account"),
                    {QStringLiteral("cAcc_Id"), QStringLiteral("cAcc_Name"),
                     QStringLiteral("cUnitName"), QStringLiteral("ciscompanyver"),
                     QStringLiteral("iBeginYear"), QStringLiteral("dCreate")},
                    {{accountId, name, QStringLiteral("星河精密制造有限公司"), 0, 2026, now}},
                    error))
        return false;
    // HR is registered but not started: its tables stay out of the table tree.
    QList<QVariantList> used;
    const QStringList started = {QStringLiteral("GL"), QStringLiteral("AR"), QStringLiteral("AP"),
                                 QStringLiteral("SA"), QStringLiteral("PU"), QStringLiteral("ST"),
                                 QStringLiteral("IA"), QStringLiteral("QM")};
    for (const QString& sub : started)
        used << QVariantList{accountId, sub, 9999, QStringLiteral("2026-01-01 00:00:00")};
    used << QVariantList{accountId, QStringLiteral("HR"), 9999, QVariant()};
    return insertRows(db, QStringLiteral("UA_Account_sub"),
                      {QStringLiteral("cAcc_id"), QStringLiteral("cSub_Id"),
                       QStringLiteral("iYear"), QStringLiteral("dSubSysUsed")},
                      used, error);
}

}  // namespace platform::db::demo
