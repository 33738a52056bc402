// Item documents through the server database service: items, their names and table links, the
// physical columns of extended items, written whole or not at all.
#include <gtest/gtest.h>

#include <QMap>

#include "platform/server/DocumentWriter.h"
#include "tests/platform/server/ItemDocumentBuilder.h"
#include "tests/support/TestAccount.h"

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

using testsupport::AccountTest;
using testsupport::ItemDoc;
using testsupport::newHeaderItem;

const QString kNew = QStringLiteral("Userdef_base");
const QString kExisting = QStringLiteral("Userdef");

class ItemDocuments : public AccountTest {
protected:
    platform::server::ClsCommon& srv() { return account.srv(); }

    QStringList rows(const QString& sql, const QVariantList& params = {}) {
        QStringList out;
        const host::RecordSetPtr rs = account.db().query(sql, params);
        for (int r = 0; rs && r < rs->recordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < rs->fieldCount(); ++c)
                cells << (rs->at(r, c).isNull() ? QStringLiteral("~") : rs->at(r, c).toString());
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    QString one(const QString& sql, const QVariantList& params = {}) {
        return rows(sql, params).value(0, QStringLiteral("<none>"));
    }
    // Every companion table with its columns and declared types.
    QMap<QString, QStringList> companions() {
        QMap<QString, QStringList> out;
        for (const QString& table : rows(
                 QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' AND name LIKE "
                                "'%\\_extradefine' ESCAPE '\\' ORDER BY name")))
            out[table] = rows(
                QStringLiteral("SELECT name || ' ' || type FROM pragma_table_info(?)"), {table});
        return out;
    }
    QString columnType(const QString& table, const QString& column) {
        return one(
            QStringLiteral("SELECT type FROM pragma_table_info(?) WHERE name = ? COLLATE NOCASE"),
            {table, column});
    }
    QStringList names(const QString& id) {
        return rows(
            QStringLiteral(
                "SELECT LocaleID, cItemName FROM userdef_lang WHERE cid = ? ORDER BY LocaleID"),
            {id});
    }
    QStringList links(const QString& id) {
        return rows(
            QStringLiteral("SELECT TableName FROM UserDefDetail WHERE cid = ? ORDER BY TableName"),
            {id});
    }
    // The whole account database: schema and every row.
    QString snapshot() {
        QString out;
        for (const QString& line :
             rows(QStringLiteral("SELECT type, name, sql FROM sqlite_schema WHERE sql IS NOT NULL "
                                 "ORDER BY type, name")))
            out += line + QLatin1Char('\n');
        for (const QString& table :
             rows(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT "
                                 "LIKE 'sqlite%' ORDER BY name")))
            out +=
                table + QLatin1Char(':') +
                rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(host::sqlIdent(table)))
                    .join(';') +
                QLatin1Char('\n');
        return out;
    }
    bool integrityOk() {
        return one(QStringLiteral("PRAGMA integrity_check")) == QLatin1String("ok");
    }

    bool add(const ItemDoc& d, QString* error) { return srv().Add(d.xml(), kNew, error); }
    bool modify(const ItemDoc& d, QString* error) {
        return srv().Modify(d.xml(), kExisting, error);
    }
    bool remove(const QString& id, QString* error) {
        return srv().Delete(id, QStringLiteral("cid"), QStringLiteral("userdef_base"), error);
    }
    // The stored item as the editor sends it back for a modify.
    ItemDoc existing(const QString& id) {
        const host::RecordSetPtr rs =
            account.db().query(QStringLiteral("SELECT cClass, cItem, IMaxLen, cItemName, cType, "
                                              "cDicDbName FROM UserDef_Base WHERE cId = ?"),
                               {id});
        ItemDoc d;
        d.id = id;
        d.cClass = rs->at(0, 0).toString();
        d.cItem = rs->at(0, 1).toString();
        d.maxLen = rs->at(0, 2).toString();
        d.name = rs->at(0, 3).toString();
        d.type = rs->at(0, 4).toString() == QStringLiteral("整数") ? QStringLiteral("整型")
                                                                   : rs->at(0, 4).toString();
        d.dicDbName = rs->at(0, 5).toString();
        const QStringList n = names(id);
        for (const QString& row : n) {
            if (row.startsWith(QLatin1String("zh-TW|"))) d.nameTw = row.mid(6);
            if (row.startsWith(QLatin1String("en-US|"))) d.nameEn = row.mid(6);
        }
        d.kept = links(id);
        return d;
    }
    ItemDoc withParent(const char* id, const char* parentId) {
        ItemDoc d = existing(QString::fromLatin1(id));
        d.extended = d.withShare = false;
        d.parentId = QString::fromLatin1(parentId);
        return d;
    }
};

TEST_F(ItemDocuments, ARegularItemIsRenamedAndChangedButKeepsItsTypeAndColumn) {
    ItemDoc d = existing(QStringLiteral("2"));  // header 自定义项2, unnamed
    d.extended = d.withShare = false;
    d.kept.clear();
    d.name = QStringLiteral("车牌号");
    d.nameTw = QStringLiteral("車牌號");
    d.nameEn = QStringLiteral("Plate No.");
    d.maxLen = QStringLiteral("30");
    d.length = QStringLiteral("12");
    d.defaultVal = QStringLiteral("浙A");
    d.input = QStringLiteral("1");
    QString error;
    ASSERT_TRUE(modify(d, &error)) << error.toStdString();
    EXPECT_EQ(
        one(QStringLiteral(
            "SELECT cItemName, IMaxLen, iLength, cDefaultVal, bInput, cDicDbName, cRelArchive "
            "FROM UserDef_Base WHERE cId = '2'")),
        QStringLiteral("车牌号|30|12|浙A|true|cDefine2|"));
    EXPECT_EQ(names(QStringLiteral("2")),
              (QStringList{"en-US|Plate No.", "zh-CN|车牌号", "zh-TW|車牌號"}));
    // An emptied name removes that language's row; the view falls back.
    d.nameEn.clear();
    ASSERT_TRUE(modify(d, &error)) << error.toStdString();
    EXPECT_EQ(names(QStringLiteral("2")), (QStringList{"zh-CN|车牌号", "zh-TW|車牌號"}));

    const QString before = snapshot();
    d.type = QStringLiteral("整型");
    EXPECT_FALSE(modify(d, &error));
    EXPECT_TRUE(error.contains(QLatin1String("type of the existing item 2 cannot change")))
        << error.toStdString();
    d.type = QStringLiteral("文本");
    d.dicDbName = QStringLiteral("cDefine3");
    EXPECT_FALSE(modify(d, &error));
    EXPECT_TRUE(error.contains(QLatin1String("column name of the item 2 cannot change")))
        << error.toStdString();
    EXPECT_FALSE(remove(QStringLiteral("2"), &error));
    EXPECT_TRUE(error.contains(QLatin1String("not an extended item"))) << error.toStdString();
    EXPECT_EQ(snapshot(), before);

    // A stored 整数 is written back as 整型 and is no type change.
    ItemDoc pieces = existing(QStringLiteral("11"));
    pieces.extended = pieces.withShare = false;
    pieces.name = QStringLiteral("件数合计");
    ASSERT_TRUE(modify(pieces, &error)) << error.toStdString();
    EXPECT_EQ(one(QStringLiteral("SELECT cType, cItemName FROM UserDef_Base WHERE cId = '11'")),
              QStringLiteral("整型|件数合计"));
}

TEST_F(ItemDocuments, AnExtendedHeaderItemGetsExactlyTheColumnsOfItsTables) {
    const QMap<QString, QStringList> start = companions();
    QString error;
    ItemDoc d =
        newHeaderItem(QStringLiteral("1005"), 5, {"SA_OrderHead", "PU_OrderHead", "HR_LeaveHead"});
    ASSERT_TRUE(add(d, &error)) << error.toStdString();
    EXPECT_EQ(one(QStringLiteral("SELECT cClass, cItem, cType, IMaxLen, cItemName, cDicDbName FROM "
                                 "UserDef WHERE cId = '1005'")),
              QStringLiteral("单据头|扩展自定义项5|文本|25|新项目|cHDefine5"));
    EXPECT_EQ(names(QStringLiteral("1005")),
              (QStringList{"en-US|New item", "zh-CN|新项目", "zh-TW|新项目(繁)"}));
    EXPECT_EQ(links(QStringLiteral("1005")),
              (QStringList{"HR_LeaveHead", "PU_OrderHead", "SA_OrderHead"}));
    QMap<QString, QStringList> expected = start;
    for (const char* t :
         {"SA_OrderHead_extradefine", "PU_OrderHead_extradefine", "HR_LeaveHead_extradefine"})
        expected[t] << QStringLiteral("cHDefine5 nvarchar(25)");
    EXPECT_EQ(companions(), expected);

    // Ticking one more table adds exactly its column, unticking one drops exactly that one; the
    // values of the other columns stay.
    const QStringList orderValues =
        rows(QStringLiteral("SELECT ID, cHDefine1, cHDefine2 FROM SA_OrderHead_extradefine"));
    d.isNew = false;
    d.added = {"AR_VouchHead"};
    d.kept = {"SA_OrderHead", "HR_LeaveHead"};
    d.removed = {"PU_OrderHead"};
    ASSERT_TRUE(modify(d, &error)) << error.toStdString();
    expected["AR_VouchHead_extradefine"] << QStringLiteral("cHDefine5 nvarchar(25)");
    expected["PU_OrderHead_extradefine"].removeLast();
    EXPECT_EQ(companions(), expected);
    EXPECT_EQ(links(QStringLiteral("1005")),
              (QStringList{"AR_VouchHead", "HR_LeaveHead", "SA_OrderHead"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT ID, cHDefine1, cHDefine2 FROM SA_OrderHead_extradefine")),
              orderValues);

    // Saving again without changes changes no column.
    d.added.clear();
    d.removed.clear();
    d.kept = {"SA_OrderHead", "HR_LeaveHead", "AR_VouchHead"};
    ASSERT_TRUE(modify(d, &error)) << error.toStdString();
    EXPECT_EQ(companions(), expected);

    ASSERT_TRUE(account.db().exec(
        QStringLiteral("INSERT INTO SA_OrderHead_extradefine(ID, cHDefine5) VALUES (9, 'x')")));
    ASSERT_TRUE(remove(QStringLiteral("1005"), &error)) << error.toStdString();
    EXPECT_EQ(one(QStringLiteral("SELECT count(*) FROM UserDef_Base WHERE cId = '1005'")),
              QStringLiteral("0"));
    EXPECT_TRUE(names(QStringLiteral("1005")).isEmpty());
    EXPECT_TRUE(links(QStringLiteral("1005")).isEmpty());
    EXPECT_EQ(companions(), start);
    EXPECT_EQ(rows(QStringLiteral(
                  "SELECT ID, cHDefine1, cHDefine2 FROM SA_OrderHead_extradefine WHERE ID <> 9")),
              orderValues);
}

TEST_F(ItemDocuments, InventoryAndVendorItemsUseTheirFixedTable) {
    QString error;
    ItemDoc inv;
    inv.isNew = true;
    inv.id = QStringLiteral("3002");
    inv.cClass = QStringLiteral("存货");
    inv.cItem = QStringLiteral("扩展自定义项2");
    inv.type = QStringLiteral("整型");
    inv.maxLen = QString();
    inv.name = QStringLiteral("保质期天数");
    inv.dicDbName = QStringLiteral("cIDefine2");
    inv.added = {"Inventory"};
    ASSERT_TRUE(add(inv, &error)) << error.toStdString();
    EXPECT_EQ(columnType(QStringLiteral("Inventory_extradefine"), QStringLiteral("cIDefine2")),
              QStringLiteral("INT"));  // as SQLite spells it
    EXPECT_EQ(one(QStringLiteral("SELECT IMaxLen FROM UserDef_Base WHERE cId = '3002'")),
              QStringLiteral("~"));

    inv.isNew = false;
    inv.added.clear();
    inv.kept = {"Inventory"};
    inv.name = QStringLiteral("保质期(天)");
    ASSERT_TRUE(modify(inv, &error)) << error.toStdString();
    EXPECT_EQ(one(QStringLiteral("SELECT cItemName FROM UserDef WHERE cId = '3002'")),
              QStringLiteral("保质期(天)"));
    ASSERT_TRUE(remove(QStringLiteral("3002"), &error)) << error.toStdString();
    EXPECT_EQ(columnType(QStringLiteral("Inventory_extradefine"), QStringLiteral("cIDefine2")),
              QStringLiteral("<none>"));

    // A number item's column carries its decimal digits; a customer item goes to Customer.
    ItemDoc cus = inv;
    cus.isNew = true;
    cus.id = QStringLiteral("5003");
    cus.cClass = QStringLiteral("客户");
    cus.type = QStringLiteral("数字");
    cus.decimals = QStringLiteral("3");
    cus.dicDbName = QStringLiteral("cCDefine3");
    cus.kept.clear();
    cus.added = {"customer"};
    ASSERT_TRUE(add(cus, &error)) << error.toStdString();
    EXPECT_EQ(columnType(QStringLiteral("Customer_extradefine"), QStringLiteral("cCDefine3")),
              QStringLiteral("decimal(28,3)"));
    EXPECT_EQ(links(QStringLiteral("5003")), QStringList{"Customer"});

    // A vendor item's share names no table: its names change, no column anywhere.
    const QMap<QString, QStringList> before = companions();
    ItemDoc ven = existing(QStringLiteral("60"));
    ven.extended = false;
    ven.vendorEntry = true;
    ven.name = QStringLiteral("供货片区");
    ven.nameEn = QStringLiteral("Supply Area");
    ASSERT_TRUE(modify(ven, &error)) << error.toStdString();
    EXPECT_EQ(names(QStringLiteral("60")),
              (QStringList{"en-US|Supply Area", "zh-CN|供货片区", "zh-TW|供貨區域"}));
    EXPECT_EQ(companions(), before);
}

TEST_F(ItemDocuments, ColumnsThatGoTakeTheirCarryOverRulesWithThem) {
    auto rules = [&](const QString& column) {
        return rows(
            QStringLiteral("SELECT cTableName, cTargetTable FROM AA_ExtendDefineMakeVouch_Set "
                           "WHERE cextendfield = ? ORDER BY cTableName"),
            {column});
    };
    ASSERT_EQ(rules("cHDefine3"), QStringList{"SA_DispatchHead|SA_InvoiceHead"});
    const QStringList firstRules = rules("cHDefine1");
    ASSERT_EQ(firstRules.size(), 3);

    // Unlinking the source table of a rule removes that rule only.
    ItemDoc d = existing(QStringLiteral("1003"));
    d.kept = {"SA_InvoiceHead", "PU_ArrivalHead"};
    d.removed = {"SA_DispatchHead"};
    QString error;
    ASSERT_TRUE(modify(d, &error)) << error.toStdString();
    EXPECT_TRUE(rules("cHDefine3").isEmpty());
    EXPECT_EQ(rules("cHDefine1"), firstRules);

    // A deleted item's rules go; a new item given its column name again starts without them.
    ASSERT_TRUE(remove(QStringLiteral("1004"), &error)) << error.toStdString();
    ASSERT_TRUE(remove(QStringLiteral("1001"), &error)) << error.toStdString();
    EXPECT_TRUE(rules("cHDefine1").isEmpty());
    ASSERT_TRUE(add(newHeaderItem(QStringLiteral("1001"), 1, {"SA_OrderHead"}), &error))
        << error.toStdString();
    EXPECT_TRUE(rules("cHDefine1").isEmpty());
    EXPECT_EQ(one(QStringLiteral("SELECT count(*) FROM AA_ExtendDefineMakeVouch_Set")),
              QStringLiteral("6"));  // the other items' rules stay
}

TEST_F(ItemDocuments, AMissingCompanionTableIsCreatedWithTheHostTablesKey) {
    ASSERT_TRUE(account.db().exec(QStringLiteral("DROP TABLE HR_LeaveHead_extradefine")));
    QString error;
    ASSERT_TRUE(add(newHeaderItem(QStringLiteral("1005"), 5, {"HR_LeaveHead"}), &error))
        << error.toStdString();
    EXPECT_EQ(rows(QStringLiteral(
                  "SELECT name, type, pk FROM pragma_table_info('HR_LeaveHead_extradefine')")),
              (QStringList{"ID|INT|1", "cHDefine5|nvarchar(25)|0"}));
}

TEST_F(ItemDocuments, AChangedMaximumLengthReachesEveryLinkedTableWhenTheValuesFit) {
    // Transport mode 1003: text 20 on SA_DispatchHead, SA_InvoiceHead and PU_ArrivalHead.
    ASSERT_TRUE(account.db().exec(QStringLiteral(
        "INSERT INTO SA_DispatchHead_extradefine(ID, cHDefine1, cHDefine3) VALUES (1, 'P1', "
        "'汽运'), "
        "(2, NULL, 'ABCDEFGHIJKL'), (3, 'P3', NULL);"
        "INSERT INTO PU_ArrivalHead_extradefine(ID, cHDefine3) VALUES (1, '铁路')")));
    const QStringList tables = {"SA_DispatchHead_extradefine", "SA_InvoiceHead_extradefine",
                                "PU_ArrivalHead_extradefine"};
    const QString dispatch = QStringLiteral(
        "SELECT ID, cHDefine1, cHDefine3 FROM SA_DispatchHead_extradefine ORDER BY ID");
    const QStringList values = rows(dispatch);
    ItemDoc d = existing(QStringLiteral("1003"));
    QString error;

    d.maxLen = QStringLiteral("40");
    ASSERT_TRUE(modify(d, &error)) << error.toStdString();
    for (const QString& t : tables)
        EXPECT_EQ(columnType(t, QStringLiteral("cHDefine3")), QStringLiteral("nvarchar(40)"))
            << t.toStdString();
    EXPECT_EQ(rows(dispatch), values);
    EXPECT_TRUE(integrityOk());

    const QString before = snapshot();
    d.maxLen = QStringLiteral("10");
    EXPECT_FALSE(modify(d, &error));
    EXPECT_TRUE(
        error.contains(QLatin1String("1 rows of SA_DispatchHead_extradefine hold longer values")))
        << error.toStdString();
    EXPECT_EQ(snapshot(), before);

    d.maxLen = QStringLiteral("12");
    ASSERT_TRUE(modify(d, &error)) << error.toStdString();
    for (const QString& t : tables)
        EXPECT_EQ(columnType(t, QStringLiteral("cHDefine3")), QStringLiteral("nvarchar(12)"));
    EXPECT_EQ(rows(dispatch), values);
    EXPECT_EQ(one(QStringLiteral("SELECT cHDefine3 FROM PU_ArrivalHead_extradefine")),
              QStringLiteral("铁路"));
    // The rebuilt table still compares text without regard to case and keeps its key.
    EXPECT_EQ(one(QStringLiteral(
                  "SELECT ID FROM SA_DispatchHead_extradefine WHERE cHDefine3 = 'abcdefghijkl'")),
              QStringLiteral("2"));
    EXPECT_FALSE(account.db().exec(
        QStringLiteral("INSERT INTO SA_DispatchHead_extradefine(ID) VALUES (1)")));

    d.type = QStringLiteral("整型");
    EXPECT_FALSE(modify(d, &error));
    EXPECT_TRUE(error.contains(QLatin1String("cannot change"))) << error.toStdString();
    EXPECT_TRUE(integrityOk());
}

TEST_F(ItemDocuments, RefusedDocumentsNameTheirReasonAndChangeNothing) {
    const QString before = snapshot();
    auto header = [](const QString& id, int n, const QStringList& tables) {
        return newHeaderItem(id, n, tables);
    };
    ItemDoc otherItemLink = header("1005", 5, {});
    otherItemLink.xml();
    struct Case {
        const char* what;
        std::function<bool(QString*)> write;
        const char* expected;
    };
    ItemDoc bodyTable = header("1005", 5, {"SA_OrderBody"});
    ItemDoc badFlag = header("1005", 5, {"SA_OrderHead"});
    badFlag.input = QStringLiteral("yes");
    ItemDoc badNumber = header("1005", 5, {"SA_OrderHead"});
    badNumber.maxLen = QStringLiteral("2O");
    ItemDoc badColumn = header("1005", 5, {"SA_OrderHead"});
    badColumn.dicDbName = QStringLiteral("cHDefine5 int; DROP TABLE UserDef_Base; --");
    ItemDoc wrongPrefix = header("1005", 5, {"SA_OrderHead"});
    wrongPrefix.dicDbName = QStringLiteral("cBDefine9");
    ItemDoc noLength = header("1005", 5, {"SA_OrderHead"});
    noLength.maxLen = QString();
    const QList<Case> cases = {
        {"duplicate number",
         [&](QString* e) { return add(header("1001", 5, {"SA_OrderHead"}), e); },
         "item number (cId) 1001 is already used"},
        {"duplicate column name",
         [&](QString* e) {
             ItemDoc d = header("1010", 1, {"SA_OrderHead"});
             d.dicDbName = QStringLiteral("chdefine1");
             return add(d, e);
         },
         "column name (cDicDbName) chdefine1 is already used by item 1001"},
        {"table not in the catalogue",
         [&](QString* e) { return add(header("1005", 5, {"UserDef_Base"}), e); },
         "not an extendable table"},
        {"table name with statements in it",
         [&](QString* e) {
             return add(header("1005", 5, {"SA_OrderHead]; DROP TABLE UserDef_Base; --"}), e);
         },
         "not an extendable table"},
        {"body table for a header item", [&](QString* e) { return add(bodyTable, e); },
         "takes no extended items of this class"},
        {"table that does not exist",
         [&](QString* e) { return add(header("1005", 5, {"ST_TransferHead"}), e); },
         "does not exist in this account"},
        {"bad flag", [&](QString* e) { return add(badFlag, e); }, "neither 0 nor 1"},
        {"bad number", [&](QString* e) { return add(badNumber, e); }, "not a whole number"},
        {"bad column name", [&](QString* e) { return add(badColumn, e); },
         "not a valid column name"},
        {"column of another class", [&](QString* e) { return add(wrongPrefix, e); },
         "does not belong to the class"},
        {"text item without length", [&](QString* e) { return add(noLength, e); },
         "maximum length 0"},
        {"link naming another item",
         [&](QString* e) {
             QString xml = header("1005", 5, {"SA_OrderHead"}).xml();
             xml.replace(QStringLiteral("<UserDefDetail><cId>1005"),
                         QStringLiteral("<UserDefDetail><cId>1001"));
             return srv().Add(xml, kNew, e);
         },
         "names item \"1001\""},
        {"unknown field",
         [&](QString* e) {
             QString xml = header("1005", 5, {}).xml();
             xml.replace(QStringLiteral("<cType>"), QStringLiteral("<cSecret>1</cSecret><cType>"));
             return srv().Add(xml, kNew, e);
         },
         "unknown field <cSecret>"},
        {"not well-formed",
         [&](QString* e) {
             return srv().Add(QStringLiteral("<Userdef_base><cId>1005</cId>"), kNew, e);
         },
         "does not parse"},
        {"modify of a deleted item",
         [&](QString* e) {
             ItemDoc d = header("1099", 99, {});
             d.isNew = false;
             return modify(d, e);
         },
         "item 1099 does not exist"},
        {"delete by another column",
         [&](QString* e) {
             return srv().Delete(QStringLiteral("cHDefine1"), QStringLiteral("cDicDbName"), kNew,
                                 e);
         },
         "number alone"},
        {"delete widened by a key",
         [&](QString* e) {
             return srv().Delete(QStringLiteral("1001' and cClass='单据头"), QStringLiteral("cid"),
                                 kNew, e);
         },
         "number alone"},
        {"delete of a missing item", [&](QString* e) { return remove(QStringLiteral("1099"), e); },
         "does not exist"},
        // 城市 (7) has the parent 省份 (6): 6 under 7 would close a circle, 6 under 6 too.
        {"parent leading back to the item", [&](QString* e) { return modify(withParent("6", "7"), e); },
         "would lead back to the item itself (7 → 6)"},
        {"item as its own parent", [&](QString* e) { return modify(withParent("6", "6"), e); },
         "would lead back to the item itself"},
        {"parent of another class", [&](QString* e) { return modify(withParent("6", "20"), e); },
         "is no item of its class"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(c.write(&error)) << c.what;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.expected)))
            << c.what << ": " << error.toStdString();
        EXPECT_EQ(srv().lastError(), error) << c.what;
        EXPECT_EQ(snapshot(), before) << c.what;
    }
}

TEST_F(ItemDocuments, AFailureAtAnyStatementLeavesTheAccountAsItWas) {
    // The add also creates a missing companion; the modify adds, drops and retypes columns.
    ASSERT_TRUE(
        account.db().exec(QStringLiteral("DROP TABLE HR_LeaveHead_extradefine;"
                                         "INSERT INTO SA_DispatchHead_extradefine(ID, cHDefine1, "
                                         "cHDefine3) VALUES (1, 'P1', '汽运')")));
    ItemDoc modified = existing(QStringLiteral("1003"));
    modified.name = QStringLiteral("运输方式(新)");
    modified.maxLen = QStringLiteral("30");
    modified.added = {"SA_OrderHead"};
    modified.kept = {"SA_DispatchHead", "SA_InvoiceHead"};
    modified.removed = {"PU_ArrivalHead"};
    const QList<std::pair<const char*, std::function<bool(QString*)>>> writes = {
        {"add extended item",
         [&](QString* e) {
             return add(newHeaderItem("1005", 5, {"SA_OrderHead", "HR_LeaveHead", "CM_Contract"}),
                        e);
         }},
        {"modify with table changes", [&](QString* e) { return modify(modified, e); }},
        {"delete", [&](QString* e) { return remove(QStringLiteral("1001"), e); }},
    };
    for (const auto& [what, write] : writes) {
        const QString before = snapshot();
        int n = 1;
        for (;; ++n) {
            srv().setFailAtStatement(n);
            QString error;
            if (write(&error)) break;
            EXPECT_TRUE(error.contains(QStringLiteral("statement %1").arg(n)))
                << what << ": " << error.toStdString();
            ASSERT_EQ(snapshot(), before) << what << " failing at statement " << n;
            ASSERT_TRUE(integrityOk()) << what << " failing at statement " << n;
            ASSERT_LT(n, 60) << what;
        }
        srv().setFailAtStatement(0);
        EXPECT_GT(n, 5) << what;
        EXPECT_NE(snapshot(), before) << what << " succeeded once the failure point was past";
        EXPECT_TRUE(integrityOk());
    }
    EXPECT_EQ(columnType(QStringLiteral("SA_OrderHead_extradefine"), QStringLiteral("cHDefine3")),
              QStringLiteral("nvarchar(30)"));
    EXPECT_EQ(columnType(QStringLiteral("PU_ArrivalHead_extradefine"), QStringLiteral("cHDefine3")),
              QStringLiteral("<none>"));
    EXPECT_EQ(columnType(QStringLiteral("SA_OrderHead_extradefine"), QStringLiteral("cHDefine1")),
              QStringLiteral("<none>"));
}

TEST_F(ItemDocuments, HostileNamesAndDefaultsArriveUnchangedOrAreRefused) {
    const QStringList hostile = {
        QStringLiteral("x' or '1'='1"),
        QStringLiteral("a -- b; DROP TABLE UserDef_Base;"),
        QStringLiteral("<b>&amp;</b> & < >"),
        QStringLiteral("]]> <![CDATA[ x ]]>"),
        QStringLiteral("\"quoted\" 'single'"),
        QString::fromUtf8("\xF0\x9F\x98\x80 \xF0\xA0\x80\x8B 名"),
        QStringLiteral("  blanks around  "),
        QStringLiteral("   "),
        QString(60, QChar(0x4E2D)),
    };
    ItemDoc d = newHeaderItem(QStringLiteral("1005"), 5, {"SA_OrderHead"});
    QString error;
    ASSERT_TRUE(add(d, &error)) << error.toStdString();
    d.isNew = false;
    d.added.clear();
    d.kept = {"SA_OrderHead"};
    d.maxLen = QStringLiteral("400");
    for (const QString& value : hostile) {
        d.name = value;
        d.nameTw = value;
        d.nameEn = value;
        d.defaultVal = value;
        ASSERT_TRUE(modify(d, &error)) << value.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(account.srv()
                      .OpenX(QStringLiteral(
                          "select cItemName, cDefaultVal from UserDef where cId = N'1005'"))
                      ->text(QStringLiteral("cItemName")),
                  value);
        EXPECT_EQ(one(QStringLiteral("SELECT cDefaultVal FROM UserDef_Base WHERE cId = '1005'")),
                  value);
        EXPECT_EQ(
            one(QStringLiteral(
                "SELECT cItemName FROM userdef_lang WHERE cid = '1005' AND LocaleID = 'en-US'")),
            value);
    }
    // Too long for the columns: refused with the limit, nothing written.
    const QString before = snapshot();
    d.name = QString(4000, QLatin1Char('n'));
    EXPECT_FALSE(modify(d, &error));
    EXPECT_TRUE(error.contains(QLatin1String("longer than 60 characters"))) << error.toStdString();
    d.name = QStringLiteral("ok");
    d.defaultVal = QString(4000, QChar(0x4E2D));
    EXPECT_FALSE(modify(d, &error));
    EXPECT_TRUE(error.contains(QLatin1String("longer than 400 characters"))) << error.toStdString();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(integrityOk());
}

class LayoutCovers : public ItemDocuments {
protected:
    QStringList captions(const QString& item) {
        return rows(QStringLiteral(
                        "SELECT cLayoutId, cPart, cCaption FROM DocLayoutField WHERE cItemId = ? "
                        "ORDER BY cLayoutId, cPart"),
                    {item});
    }
    bool rename(const QString& id, const QString& name, const QString& cover,
                const QString& coverBody) {
        ItemDoc d = existing(id);
        d.extended = d.withShare = false;
        d.kept.clear();
        d.name = name;
        d.cover = cover;
        d.coverBody = coverBody;
        QString error;
        const bool ok = modify(d, &error);
        EXPECT_TRUE(ok) << error.toStdString();
        return ok;
    }
};

TEST_F(LayoutCovers, ARenamedRegularItemRewritesItsLayoutCaptionsOnlyWhenAsked) {
    ASSERT_TRUE(rename("1", "合同编号", "0", ""));
    EXPECT_EQ(captions("1"), (QStringList{"SA01|H|合同号", "SA02|H|合同号"}));
    ASSERT_TRUE(rename("1", "合同编码", "", ""));
    EXPECT_EQ(captions("1"), (QStringList{"SA01|H|合同号", "SA02|H|合同号"}));
    ASSERT_TRUE(rename("1", "合同号码", "1", ""));
    EXPECT_EQ(captions("1"), (QStringList{"SA01|H|合同号码", "SA02|H|合同号码"}));
    // Saving the same name again leaves captions edited since alone.
    ASSERT_TRUE(account.db().exec(QStringLiteral(
        "UPDATE DocLayoutField SET cCaption = '合同' WHERE cLayoutId = 'SA02' AND cItemId = '1'")));
    ASSERT_TRUE(rename("1", "合同号码", "1", ""));
    EXPECT_EQ(captions("1"), (QStringList{"SA01|H|合同号码", "SA02|H|合同"}));
    // Other items' fields are untouched.
    EXPECT_EQ(captions("6"), QStringList{"SA01|H|省份"});
}

TEST_F(LayoutCovers, LayoutsThatCannotBeReadRefuseACoveringRename) {
    // The layout fields became a view over a table that is gone.
    ASSERT_TRUE(account.db().exec("ALTER TABLE DocLayoutField RENAME TO DocLayoutField_old"));
    ASSERT_TRUE(account.db().exec("CREATE VIEW DocLayoutField AS SELECT * FROM DocLayoutField_old"));
    ASSERT_TRUE(account.db().exec("DROP TABLE DocLayoutField_old"));
    const QString name = QStringLiteral("SELECT cItemName FROM UserDef WHERE cID = '1'");
    const QString before = one(name);
    ItemDoc d = existing("1");
    d.extended = d.withShare = false;
    d.kept.clear();
    d.name = QStringLiteral("合同号码");
    d.cover = QStringLiteral("1");
    QString error;
    EXPECT_FALSE(modify(d, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(one(name), before);
}

TEST_F(LayoutCovers, BodyFieldsOfAnInventoryItemFollowTheBodyOption) {
    const QStringList start = {"PU01|B|产地", "SA01|B|产地", "SA02|B|产地", "SA02|H|主要产地"};
    ASSERT_EQ(captions("80"), start);
    ASSERT_TRUE(rename("80", "原产地", "0", "0"));
    EXPECT_EQ(captions("80"), start);
    ASSERT_TRUE(rename("80", "原产国", "0", "1"));
    EXPECT_EQ(captions("80"),
              (QStringList{"PU01|B|原产国", "SA01|B|原产国", "SA02|B|原产国", "SA02|H|主要产地"}));
    ASSERT_TRUE(rename("80", "生产国", "1", ""));
    EXPECT_EQ(captions("80"),
              (QStringList{"PU01|B|原产国", "SA01|B|原产国", "SA02|B|原产国", "SA02|H|生产国"}));
}

TEST_F(LayoutCovers, ExtendedItemsLeaveTheLayouts) {
    ItemDoc d = existing(QStringLiteral("1001"));
    d.name = QStringLiteral("工程编号");
    d.cover = QStringLiteral("1");
    d.coverBody = QStringLiteral("1");
    QString error;
    ASSERT_TRUE(modify(d, &error)) << error.toStdString();
    EXPECT_EQ(captions("1001"), QStringList{"SA01|H|项目编号"});
}

}  // namespace
