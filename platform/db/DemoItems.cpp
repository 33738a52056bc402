// Items of the demo account: the regular items every account starts with (most of them still
// unnamed), a few named and typed ones, extended items of five classes, their names in three
// languages and the value archives of several text items.
#include <QMap>
#include <QVector>

#include "platform/db/Database.h"
#include "platform/db/DemoData.h"

namespace platform::db::demo {

namespace {

struct Item {
    int id = 0;
    QString cClass, cItem, cType;
    QVariant maxLen, length, decimals;
    QString name, nameTw, nameEn;  // zh-CN name is also cItemName
    bool fixLength = false, checkVal = false, input = false, archive = false, multiSel = false;
    bool attachFile = false;
    QString parentId;
    int dataSource = 0;
    QString relArchive, relField, defaultVal, refId;
    QString dicDbName;
};

const QString kText = QStringLiteral("文本");
const QString kDate = QStringLiteral("日期");
const QString kInt = QStringLiteral("整型");
const QString kNumber = QStringLiteral("数字");

Item typed(Item item, const QString& type, int textLen = 120) {
    item.cType = type;
    if (type == kText) {
        item.maxLen = textLen;
        item.length = textLen;
    } else if (type == kNumber) {
        item.decimals = 6;
    }
    return item;
}

// Regular items: 自定义项1–16 of six classes, 自由项1–10 of inventory, 属性1–10 of batch
// properties. Numbers 1–10 are text, 11–12 integer, 13–14 number, 15–16 date, as a new account
// has them; ids stay below 1000 (the extended ranges start there).
void addRegular(QMap<int, Item>& items) {
    struct ClassPlan {
        QString cClass;
        int firstId;
        QString column;  // cDicDbName prefix; header and body share "cDefine"
        int columnOffset;
    };
    const QVector<ClassPlan> plans = {
        {QStringLiteral("单据头"), 1, QStringLiteral("cDefine"), 0},
        {QStringLiteral("单据体"), 20, QStringLiteral("cDefine"), 21},
        {QStringLiteral("客户"), 40, QStringLiteral("cCusDefine"), 0},
        {QStringLiteral("供应商"), 60, QStringLiteral("cVenDefine"), 0},
        {QStringLiteral("存货"), 80, QStringLiteral("cInvDefine"), 0},
        {QStringLiteral("联系人"), 120, QStringLiteral("cConDefine"), 0},
    };
    for (const ClassPlan& plan : plans) {
        for (int n = 1; n <= 16; ++n) {
            Item item;
            item.id = plan.firstId + n - 1;
            item.cClass = plan.cClass;
            item.cItem = QStringLiteral("自定义项%1").arg(n);
            item.dicDbName = plan.column + QString::number(n + plan.columnOffset);
            const QString type = n <= 10 ? kText : n <= 12 ? kInt : n <= 14 ? kNumber : kDate;
            items.insert(item.id, typed(item, type));
        }
    }
    for (int n = 1; n <= 10; ++n) {
        Item item;
        item.id = 99 + n;
        item.cClass = QStringLiteral("存货");
        item.cItem = QStringLiteral("自由项%1").arg(n);
        item.dicDbName = QStringLiteral("cFree%1").arg(n);
        items.insert(item.id, typed(item, kText, 20));
    }
    for (int n = 1; n <= 10; ++n) {
        Item item;
        item.id = 139 + n;
        item.cClass = QStringLiteral("批次属性");
        item.cItem = QStringLiteral("属性%1").arg(n);
        item.dicDbName = QStringLiteral("cBatchProperty%1").arg(n);
        items.insert(item.id, typed(item, n <= 5 ? kNumber : n <= 8 ? kText : kDate));
    }
}

void name(Item& item, const QString& cn, const QString& tw, const QString& en) {
    item.name = cn;
    item.nameTw = tw;
    item.nameEn = en;
}

// The items an administrator of the demo company has already set up.
void nameRegular(QMap<int, Item>& items) {
    Item* i = &items[1];  // header 1
    name(*i, QStringLiteral("合同号"), QStringLiteral("合同號"), QStringLiteral("Contract No."));
    i->maxLen = 30;
    i->length = 30;
    i->input = true;
    i = &items[6];
    name(*i, QStringLiteral("省份"), QStringLiteral("省份"), QStringLiteral("Province"));
    i->maxLen = 20;
    i->length = 20;
    i->archive = i->checkVal = true;
    i = &items[7];
    name(*i, QStringLiteral("城市"), QStringLiteral("城市"), QStringLiteral("City"));
    i->maxLen = 20;
    i->length = 20;
    i->archive = i->checkVal = true;
    i->parentId = QStringLiteral("6");
    i = &items[8];  // from the person archive; no English name, so English falls back
    name(*i, QStringLiteral("业务员"), QStringLiteral("業務員"), QString());
    i->maxLen = 40;
    i->length = 40;
    i->dataSource = 1;
    i->relArchive = QStringLiteral("Person");
    i->relField = QStringLiteral("cPersonName");
    i->refId = QStringLiteral("Person");
    i->defaultVal = QStringLiteral("林晓峰");
    i = &items[9];  // from a user-defined reference
    name(*i, QStringLiteral("研发阶段"), QStringLiteral("研發階段"), QStringLiteral("R&D Stage"));
    i->maxLen = 30;
    i->length = 30;
    i->dataSource = 1;
    i->relArchive = QStringLiteral("[UR0001]");
    i->relField = QStringLiteral("cStageName");
    i->refId = QStringLiteral("UR0001");
    i = &items[11];  // stored the old way
    name(*i, QStringLiteral("件数"), QStringLiteral("件數"), QStringLiteral("Pieces"));
    i->cType = QStringLiteral("整数");
    i = &items[13];
    name(*i, QStringLiteral("运费"), QStringLiteral("運費"), QStringLiteral("Freight"));
    i->decimals = 2;
    i = &items[15];
    name(*i, QStringLiteral("交货日期"), QStringLiteral("交貨日期"),
         QStringLiteral("Delivery Date"));
    i = &items[20];  // body 1: id 20 carries the stop flag in its values
    name(*i, QStringLiteral("颜色"), QStringLiteral("顏色"), QStringLiteral("Colour"));
    i->maxLen = 20;
    i->length = 20;
    i->archive = i->checkVal = true;
    i = &items[27];  // body 8
    name(*i, QStringLiteral("仓库"), QStringLiteral("倉庫"), QStringLiteral("Warehouse"));
    i->maxLen = 20;
    i->length = 20;
    i->dataSource = 1;
    i->relArchive = QStringLiteral("Warehouse");
    i->relField = QStringLiteral("cWhName");
    i->refId = QStringLiteral("Warehouse");
    i = &items[31];  // body 12
    name(*i, QStringLiteral("包装数"), QStringLiteral("包裝數"), QStringLiteral("Packages"));
    i = &items[42];  // customer 3, in use
    name(*i, QStringLiteral("信用等级"), QStringLiteral("信用等級"),
         QStringLiteral("Credit Grade"));
    i->maxLen = 10;
    i->length = 10;
    i = &items[44];  // customer 5
    name(*i, QStringLiteral("客户经理"), QStringLiteral("客戶經理"),
         QStringLiteral("Account Manager"));
    i = &items[60];  // vendor 1, in use
    name(*i, QStringLiteral("供货区域"), QStringLiteral("供貨區域"),
         QStringLiteral("Supply Region"));
    i = &items[80];  // inventory 1, in use
    name(*i, QStringLiteral("产地"), QStringLiteral("產地"), QStringLiteral("Origin"));
    i->maxLen = 40;
    i->length = 40;
    i = &items[100];  // free item 1
    name(*i, QStringLiteral("花色"), QStringLiteral("花色"), QStringLiteral("Pattern"));
    i = &items[101];  // free item 2, in use through bFree2
    name(*i, QStringLiteral("尺码"), QStringLiteral("尺碼"), QStringLiteral("Size"));
    i->archive = i->checkVal = true;
    i = &items[121];  // contact 2, in use
    name(*i, QStringLiteral("微信号"), QStringLiteral("微信號"), QStringLiteral("Messenger ID"));
    i = &items[140];  // batch property 1
    name(*i, QStringLiteral("含水率"), QStringLiteral("含水率"), QStringLiteral("Moisture"));
    i->decimals = 2;
    i = &items[145];  // batch property 6
    name(*i, QStringLiteral("炉号"), QStringLiteral("爐號"), QStringLiteral("Heat No."));
}

Item extended(int id, const QString& cClass, int n, const QString& column, const QString& type,
              int textLen, const QString& cn, const QString& tw, const QString& en) {
    Item item;
    item.id = id;
    item.cClass = cClass;
    item.cItem = QStringLiteral("扩展自定义项%1").arg(n);
    item.dicDbName = column;
    item = typed(item, type, textLen);
    name(item, cn, tw, en);
    return item;
}

void addExtended(QMap<int, Item>& items) {
    const QString head = QStringLiteral("单据头"), body = QStringLiteral("单据体");
    const QList<Item> list = {
        extended(1001, head, 1, QStringLiteral("cHDefine1"), kText, 30, QStringLiteral("项目编号"),
                 QStringLiteral("專案編號"), QStringLiteral("Project No.")),
        extended(1002, head, 2, QStringLiteral("cHDefine2"), kDate, 0, QStringLiteral("审批日期"),
                 QStringLiteral("審批日期"), QStringLiteral("Approval Date")),
        extended(1003, head, 3, QStringLiteral("cHDefine3"), kText, 20, QStringLiteral("运输方式"),
                 QStringLiteral("運輸方式"), QStringLiteral("Transport Mode")),
        extended(1004, head, 4, QStringLiteral("cHDefine4"), kText, 20, QStringLiteral("结算方式"),
                 QStringLiteral("結算方式"), QStringLiteral("Settlement")),
        extended(2001, body, 1, QStringLiteral("cBDefine1"), kText, 30, QStringLiteral("生产批次"),
                 QStringLiteral("生產批次"), QStringLiteral("Production Lot")),
        extended(2002, body, 2, QStringLiteral("cBDefine2"), kText, 10, QStringLiteral("质检结果"),
                 QStringLiteral("質檢結果"), QStringLiteral("Inspection Result")),
        extended(2003, body, 3, QStringLiteral("cBDefine3"), kNumber, 0, QStringLiteral("折扣系数"),
                 QStringLiteral("折扣係數"), QStringLiteral("Discount Factor")),
        extended(2004, body, 4, QStringLiteral("cBDefine4"), kInt, 0, QStringLiteral("箱数"),
                 QStringLiteral("箱數"), QStringLiteral("Cartons")),
        extended(3001, QStringLiteral("存货"), 1, QStringLiteral("cIDefine1"), kText, 40,
                 QStringLiteral("材质"), QStringLiteral("材質"), QStringLiteral("Material")),
        extended(5001, QStringLiteral("客户"), 1, QStringLiteral("cCDefine1"), kText, 30,
                 QStringLiteral("行业分类"), QStringLiteral("行業分類"),
                 QStringLiteral("Industry")),
        extended(5002, QStringLiteral("客户"), 2, QStringLiteral("cCDefine2"), kDate, 0,
                 QStringLiteral("首次合作日期"), QStringLiteral("首次合作日期"),
                 QStringLiteral("First Deal Date")),
        extended(6001, QStringLiteral("联系人"), 1, QStringLiteral("cLDefine1"), kText, 60,
                 QStringLiteral("兴趣爱好"), QStringLiteral("興趣愛好"), QStringLiteral("Hobbies")),
    };
    for (const Item& item : list) items.insert(item.id, item);
    items[1002].input = true;
    items[1003].archive = items[1003].checkVal = true;
    Item& settle = items[1004];
    settle.dataSource = 1;
    settle.relArchive = QStringLiteral("SettleStyle");
    settle.relField = QStringLiteral("cSSName");
    settle.refId = QStringLiteral("SettleStyle");
    items[2003].decimals = 4;
}

QVariant flag(bool on) { return on ? 1 : 0; }
QVariant textOrNull(const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); }

// Values in the order they were entered (their row versions follow it).
QList<QVariantList> values() {
    QList<QVariantList> rows;
    auto add = [&rows](int id, const QString& value, const QString& alias, const QString& barCode,
                       const QString& parent, bool stop) {
        rows << QVariantList{QString::number(id), value,  alias,
                             textOrNull(barCode), parent, flag(stop)};
    };
    // Provinces and their cities (the city item's parent is the province item).
    add(6, QStringLiteral("浙江"), QStringLiteral("ZJ"), {}, {}, false);
    add(6, QStringLiteral("江苏"), QStringLiteral("JS"), {}, {}, false);
    add(6, QStringLiteral("广东"), QStringLiteral("GD"), {}, {}, false);
    add(6, QStringLiteral("四川"), QStringLiteral("SC"), {}, {}, false);
    add(7, QStringLiteral("杭州"), QStringLiteral("HZ"), {}, QStringLiteral("浙江"), false);
    add(7, QStringLiteral("宁波"), QStringLiteral("NB"), {}, QStringLiteral("浙江"), false);
    add(7, QStringLiteral("南京"), QStringLiteral("NJ"), {}, QStringLiteral("江苏"), false);
    add(7, QStringLiteral("苏州"), QStringLiteral("SZ"), {}, QStringLiteral("江苏"), false);
    add(7, QStringLiteral("广州"), QStringLiteral("GZ"), {}, QStringLiteral("广东"), false);
    add(7, QStringLiteral("成都"), QStringLiteral("CD"), {}, QStringLiteral("四川"), false);
    // Colours of body item 20; one is no longer offered.
    add(20, QStringLiteral("红色"), QStringLiteral("RED"), {}, {}, false);
    add(20, QStringLiteral("蓝色"), QStringLiteral("BLUE"), {}, {}, false);
    add(20, QStringLiteral("墨绿"), QStringLiteral("DKGREEN"), {}, {}, true);
    add(20, QStringLiteral("白色"), QStringLiteral(""), {}, {}, false);
    // Sizes of inventory free item 2, with bar codes.
    add(101, QStringLiteral("S"), QStringLiteral("小号"), QStringLiteral("SZ01"), {}, false);
    add(101, QStringLiteral("M"), QStringLiteral("中号"), QStringLiteral("SZ02"), {}, false);
    add(101, QStringLiteral("L"), QStringLiteral("大号"), QStringLiteral("SZ03"), {}, false);
    add(101, QStringLiteral("XL"), QStringLiteral("加大号"), QStringLiteral("SZ04"), {}, false);
    // Transport modes of the extended header item 1003.
    add(1003, QStringLiteral("汽运"), QStringLiteral("TRUCK"), {}, {}, false);
    add(1003, QStringLiteral("铁路"), QStringLiteral("RAIL"), {}, {}, false);
    add(1003, QStringLiteral("海运"), QStringLiteral("SEA"), {}, {}, false);
    add(1003, QStringLiteral("空运"), QStringLiteral("AIR"), {}, {}, false);
    return rows;
}

}  // namespace

bool fillItems(Database& db, QString* error) {
    QMap<int, Item> items;
    addRegular(items);
    nameRegular(items);
    addExtended(items);

    QList<QVariantList> base, lang;
    for (const Item& i : std::as_const(items)) {
        const QString id = QString::number(i.id);
        base << QVariantList{id,
                             i.cClass,
                             i.cItem,
                             i.cType,
                             i.maxLen,
                             i.name.isEmpty() ? QStringLiteral("") : i.name,
                             i.length,
                             i.decimals,
                             flag(i.fixLength),
                             flag(i.checkVal),
                             flag(i.input),
                             flag(i.archive),
                             flag(i.multiSel),
                             textOrNull(i.parentId),
                             flag(i.attachFile),
                             i.dataSource,
                             textOrNull(i.relArchive),
                             textOrNull(i.relField),
                             textOrNull(i.defaultVal),
                             textOrNull(i.refId),
                             flag(false),
                             i.dicDbName,
                             QVariant()};
        if (!i.name.isEmpty()) lang << QVariantList{id, QStringLiteral("zh-CN"), i.name};
        if (!i.nameTw.isEmpty()) lang << QVariantList{id, QStringLiteral("zh-TW"), i.nameTw};
        if (!i.nameEn.isEmpty()) lang << QVariantList{id, QStringLiteral("en-US"), i.nameEn};
    }
    const QStringList columns = {QStringLiteral("cId"),
                                 QStringLiteral("cClass"),
                                 QStringLiteral("cItem"),
                                 QStringLiteral("cType"),
                                 QStringLiteral("IMaxLen"),
                                 QStringLiteral("cItemName"),
                                 QStringLiteral("iLength"),
                                 QStringLiteral("iDecimalDigits"),
                                 QStringLiteral("bFixLength"),
                                 QStringLiteral("bCheckVal"),
                                 QStringLiteral("bInput"),
                                 QStringLiteral("bArchive"),
                                 QStringLiteral("bMultiSel"),
                                 QStringLiteral("cParentID"),
                                 QStringLiteral("bIsUserDefAttachFile"),
                                 QStringLiteral("iDataSource"),
                                 QStringLiteral("cRelArchive"),
                                 QStringLiteral("cRelField"),
                                 QStringLiteral("cDefaultVal"),
                                 QStringLiteral("cRefID"),
                                 QStringLiteral("bIsUserDefPic"),
                                 QStringLiteral("cDicDbName"),
                                 QStringLiteral("cTableDesc")};
    return insertRows(db, QStringLiteral("UserDef_Base"), columns, base, error) &&
           insertRows(
               db, QStringLiteral("userdef_lang"),
               {QStringLiteral("cid"), QStringLiteral("LocaleID"), QStringLiteral("cItemName")},
               lang, error) &&
           insertRows(db, QStringLiteral("Userdefine"),
                      {QStringLiteral("cId"), QStringLiteral("cValue"), QStringLiteral("cAlias"),
                       QStringLiteral("cBarCode"), QStringLiteral("cParentValue"),
                       QStringLiteral("bFreeStop")},
                      values(), error);
}

}  // namespace platform::db::demo
