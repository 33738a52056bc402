// Item documents through the server database service: items, their names and table links, the
// physical columns of extended items with the values in them, written whole or not at all.
#include <gtest/gtest.h>

#include <QMap>

#include "platform/server/DocumentWriter.h"
#include "tests/platform/server/ItemDocumentBuilder.h"
#include "tests/support/DbSnapshot.h"
#include "tests/support/TestAccount.h"

namespace {

using testsupport::DbSnapshot;
using testsupport::ItemDoc;
using testsupport::newHeaderItem;
using testsupport::sameAs;

const QString kNew = QStringLiteral("Userdef_base");

class ItemDocuments : public testsupport::AccountTest {
protected:
    platform::server::ClsCommon& srv() { return account.srv(); }
    void sql(const QString& statement) {
        ASSERT_TRUE(account.db().exec(statement)) << statement.toStdString();
    }
    QStringList rows(const QString& sql, const QVariantList& params = {}) {
        return account.rows(sql, params);
    }
    QString one(const QString& sql, const QVariantList& params = {}) {
        return rows(sql, params).value(0, QStringLiteral("<none>"));
    }
    // Every companion table: "column type key" of each of its columns.
    QMap<QString, QStringList> companions() {
        QMap<QString, QStringList> out;
        for (const QString& t : rows("SELECT name FROM sqlite_schema WHERE type = 'table' AND name "
                                     "LIKE '%\\_extradefine' ESCAPE '\\'"))
            out[t] = rows("SELECT name || ' ' || type || ' ' || pk FROM pragma_table_info(?)", {t});
        return out;
    }
    QString columnType(const QString& table, const QString& column) {
        return one("SELECT type FROM pragma_table_info(?) WHERE name = ? COLLATE NOCASE",
                   {table, column});
    }
    QStringList names(const QString& id) {
        return rows("SELECT LocaleID, cItemName FROM userdef_lang WHERE cid = ? ORDER BY LocaleID",
                    {id});
    }
    QStringList links(const QString& id) {
        return rows("SELECT TableName FROM UserDefDetail WHERE cid = ? ORDER BY TableName", {id});
    }
    // The writes; without `e` a refusal fails the test with its reason.
    bool add(const ItemDoc& d, QString* e = nullptr) {
        return checked(srv().Add(d.xml(), kNew, e ? e : &m_error), e);
    }
    bool modify(const ItemDoc& d, QString* e = nullptr) {
        return checked(srv().Modify(d.xml(), QStringLiteral("Userdef"), e ? e : &m_error), e);
    }
    bool remove(const QString& id, QString* e = nullptr) {
        return checked(srv().Delete(id, QStringLiteral("cid"), kNew, e ? e : &m_error), e);
    }
    bool checked(bool written, QString* e) {
        EXPECT_TRUE(written || e) << m_error.toStdString();
        return written;
    }
    QString m_error;
    // The stored item as the editor sends it back for a modify; extended items with their links.
    ItemDoc existing(const QString& id) {
        const host::RecordSetPtr rs = account.db().query(
            "SELECT cId, cClass, cItem, IMaxLen, cItemName, cType, cDicDbName FROM UserDef_Base "
            "WHERE cId = ?",
            {id});
        ItemDoc d;
        for (int c = 0; c < rs->fieldCount(); ++c) d[rs->field(c).name] = rs->at(0, c).toString();
        if (d["cType"] == QStringLiteral("整数")) d["cType"] = QStringLiteral("整型");  // as shown
        d.kept = links(id);
        d.withShare = !d.kept.isEmpty();
        if (d.withShare) d["cFieldName"] = d.value("cDicDbName");
        return d;
    }
};

TEST_F(ItemDocuments, ARegularItemChangesItsNamesButNeverItsTypeOrColumn) {
    ItemDoc d = existing("2");
    d["cItemName"] = QStringLiteral("车牌号");
    d["cItemName_zh_TW"] = QStringLiteral("車牌號");
    d["cItemName_en_US"] = QStringLiteral("Plate No.");
    ASSERT_TRUE(modify(d));
    EXPECT_EQ(names("2"), (QStringList{"en-US|Plate No.", "zh-CN|车牌号", "zh-TW|車牌號"}));
    d["cItemName_en_US"].clear();  // an emptied name removes its language's row
    ASSERT_TRUE(modify(d));
    EXPECT_EQ(names("2"), (QStringList{"zh-CN|车牌号", "zh-TW|車牌號"}));
    ItemDoc pieces = existing("11");  // stored 整数, sent back as 整型: no change of type
    pieces["cItemName"] = QStringLiteral("件数合计");
    ASSERT_TRUE(modify(pieces));
    EXPECT_EQ(one("SELECT cType, cItemName FROM UserDef_Base WHERE cId = '11'"), "整型|件数合计");
}

TEST_F(ItemDocuments, AnExtendedItemHasExactlyTheColumnsOfItsTablesAndTheirValuesStay) {
    sql("DROP TABLE HR_LeaveHead_extradefine");  // created again with the host table's key
    QMap<QString, QStringList> expected = companions();
    const QString orderValues = "SELECT ID, cHDefine1, cHDefine2 FROM SA_OrderHead_extradefine";
    const QStringList values = rows(orderValues);
    ItemDoc d = newHeaderItem("1005", 5, {"SA_OrderHead", "PU_OrderHead", "HR_LeaveHead"});
    ASSERT_TRUE(add(d));
    expected["HR_LeaveHead_extradefine"] << "ID INT 1";
    for (const char* t :
         {"SA_OrderHead_extradefine", "PU_OrderHead_extradefine", "HR_LeaveHead_extradefine"})
        expected[t] << "cHDefine5 nvarchar(25) 0";
    EXPECT_EQ(companions(), expected);

    // One table more, one less: exactly those columns change; every value stays.
    sql("INSERT INTO SA_OrderHead_extradefine(ID, cHDefine5) VALUES (9, 'x')");
    d.isNew = false;
    d.added = {"AR_VouchHead"};
    d.kept = {"SA_OrderHead", "HR_LeaveHead"};
    d.removed = {"PU_OrderHead"};
    ASSERT_TRUE(modify(d));
    expected["AR_VouchHead_extradefine"] << "cHDefine5 nvarchar(25) 0";
    expected["PU_OrderHead_extradefine"].removeLast();
    EXPECT_EQ(companions(), expected);
    EXPECT_EQ(one("SELECT cHDefine5 FROM SA_OrderHead_extradefine WHERE ID = 9"), "x");
    ASSERT_TRUE(remove("1005"));
    for (auto& columns : expected) columns.removeAll("cHDefine5 nvarchar(25) 0");
    EXPECT_EQ(companions(), expected);
    EXPECT_EQ(rows(orderValues + " WHERE ID <> 9"), values);
}

TEST_F(ItemDocuments, ItemsOfArchivesUseTheirFixedTable) {
    for (const auto& [cClass, id, prefix, table, type, sqlType] :
         {std::tuple{"存货", "3002", "cIDefine", "Inventory", "整型", "INT"},
          {"客户", "5003", "cCDefine", "Customer", "数字", "decimal(28,3)"}}) {
        SCOPED_TRACE(id);
        const QString companion = QString::fromLatin1(table) + "_extradefine";
        ItemDoc d = testsupport::newItem(QString::fromUtf8(cClass), id, prefix, 3,
                                         {QString::fromLatin1(table).toLower()}, type);
        d["iDecimalDigits"] = "3";
        ASSERT_TRUE(add(d));
        EXPECT_EQ(columnType(companion, prefix + QStringLiteral("3")), sqlType);
        EXPECT_EQ(links(id), QStringList{table});
        ASSERT_TRUE(remove(id));
        EXPECT_EQ(columnType(companion, prefix + QStringLiteral("3")), "<none>");
    }
    // A vendor item's share names no table: its names change, no column anywhere.
    const QMap<QString, QStringList> before = companions();
    ItemDoc vendor = existing("60");
    vendor.withShare = true;
    vendor.kept = {QString()};
    vendor["cItemName_en_US"] = QStringLiteral("Supply Area");
    ASSERT_TRUE(modify(vendor));
    EXPECT_EQ(names("60").value(0), "en-US|Supply Area");
    EXPECT_EQ(companions(), before);
}

TEST_F(ItemDocuments, ColumnsThatGoTakeTheirCarryOverRulesWithThem) {
    const QString rules =
        "SELECT cTableName, cTargetTable FROM AA_ExtendDefineMakeVouch_Set "
        "WHERE cextendfield = ? ORDER BY cTableName";
    ASSERT_EQ(rows(rules, {"cHDefine3"}), QStringList{"SA_DispatchHead|SA_InvoiceHead"});
    const QStringList firstRules = rows(rules, {"cHDefine1"});
    ASSERT_EQ(firstRules.size(), 3);
    ItemDoc d = existing("1003");  // unlinking a rule's source table removes that rule only
    d.kept = {"SA_InvoiceHead", "PU_ArrivalHead"};
    d.removed = {"SA_DispatchHead"};
    ASSERT_TRUE(modify(d));
    EXPECT_TRUE(rows(rules, {"cHDefine3"}).isEmpty());
    EXPECT_EQ(rows(rules, {"cHDefine1"}), firstRules);
    // A deleted item's rules go; a new item in its column starts without them.
    ASSERT_TRUE(remove("1004") && remove("1001"));
    ASSERT_TRUE(add(newHeaderItem("1001", 1, {"SA_OrderHead"})));
    EXPECT_TRUE(rows(rules, {"cHDefine1"}).isEmpty());
    EXPECT_EQ(one("SELECT count(*) FROM AA_ExtendDefineMakeVouch_Set"), "6");
}

TEST_F(ItemDocuments, AChangedLengthReachesEveryLinkedTableOnlyWhenTheValuesFit) {
    // Transport mode 1003: text 20 on SA_DispatchHead, SA_InvoiceHead and PU_ArrivalHead.
    sql("INSERT INTO SA_DispatchHead_extradefine(ID, cHDefine1, cHDefine3) VALUES (1, 'P1', "
        "'汽运'), (2, NULL, 'ABCDEFGHIJKL'), (3, 'P3', NULL);"
        "INSERT INTO PU_ArrivalHead_extradefine(ID, cHDefine3) VALUES (1, '铁路')");
    const QString dispatch = "SELECT * FROM SA_DispatchHead_extradefine ORDER BY ID";
    const QStringList values = rows(dispatch);
    ItemDoc d = existing("1003");
    for (const char* length : {"40", "10", "12"}) {
        SCOPED_TRACE(length);
        const DbSnapshot before = DbSnapshot::take(account.db());
        d["IMaxLen"] = length;
        if (QLatin1String(length) == "10") {  // "ABCDEFGHIJKL" would not fit
            QString error;
            EXPECT_FALSE(modify(d, &error));
            EXPECT_TRUE(error.contains("1 rows of SA_DispatchHead_extradefine hold longer values"))
                << error.toStdString();
            EXPECT_TRUE(sameAs(before, account.db()));
            continue;
        }
        ASSERT_TRUE(modify(d));
        for (const char* t : {"SA_DispatchHead", "SA_InvoiceHead", "PU_ArrivalHead"})
            EXPECT_EQ(columnType(t + QStringLiteral("_extradefine"), "cHDefine3"),
                      QStringLiteral("nvarchar(%1)").arg(length))
                << t;
        EXPECT_EQ(rows(dispatch), values);
        EXPECT_EQ(one("SELECT cHDefine3 FROM PU_ArrivalHead_extradefine"), QStringLiteral("铁路"));
        EXPECT_TRUE(DbSnapshot::take(account.db()).integrityOk());
    }
    // The rebuilt table still compares text without regard to case and keeps its key.
    EXPECT_EQ(one("SELECT ID FROM SA_DispatchHead_extradefine WHERE cHDefine3 = 'abcdefghijkl'"),
              "2");
    EXPECT_FALSE(account.db().exec("INSERT INTO SA_DispatchHead_extradefine(ID) VALUES (1)"));
}

TEST_F(ItemDocuments, RefusedDocumentsNameTheirReasonAndChangeNothing) {
    const DbSnapshot before = DbSnapshot::take(account.db());
    using testsupport::Write;
    // A new header item 1005 in cHDefine5 on SA_OrderHead with one field changed (the column
    // name in both its fields), or on other tables; a stored item with one field changed.
    const auto added = [&](const char* name, const QString& value,
                           const QStringList& tables = {"SA_OrderHead"}) -> Write {
        return [=, this](QString* e) {
            ItemDoc d = newHeaderItem("1005", 5, tables);
            if (*name) d[name] = value;
            if (QLatin1String(name) == "cDicDbName") d["cFieldName"] = value;
            return add(d, e);
        };
    };
    const auto modified = [&](const char* id, const char* name, const QString& value) -> Write {
        return [=, this](QString* e) {
            ItemDoc d = existing(id);
            d[name] = value;
            return modify(d, e);
        };
    };
    const auto deleted = [&](const QString& key, const QString& column) -> Write {
        return [=, this](QString* e) { return srv().Delete(key, column, kNew, e); };
    };
    const auto sent = [&](const QString& xml) -> Write {
        return [=, this](QString* e) { return srv().Add(xml, kNew, e); };
    };
    QString otherLink = newHeaderItem("1005", 5, {"SA_OrderHead"}).xml();
    otherLink.replace("<UserDefDetail><cId>1005", "<UserDefDetail><cId>1001");
    const QString tooLong(4000, QChar(0x4E2D));
    const struct {
        const char* what;
        std::function<bool(QString*)> write;
        const char* expected;
    } cases[] = {
        {"duplicate number", added("cId", "1001"), "item number (cId) 1001 is already used"},
        {"duplicate column name", added("cDicDbName", "chdefine1"),
         "column name (cDicDbName) chdefine1 is already used by item 1001"},
        {"table not in the catalogue", added("", {}, {"UserDef_Base"}), "not an extendable table"},
        {"table name with statements",
         added("", {}, {"SA_OrderHead]; DROP TABLE UserDef_Base; --"}), "not an extendable table"},
        {"body table for a header item", added("", {}, {"SA_OrderBody"}),
         "takes no extended items of this class"},
        {"table that does not exist", added("", {}, {"ST_TransferHead"}),
         "does not exist in this account"},
        {"bad flag", added("bInput", "yes"), "neither 0 nor 1"},
        {"bad number", added("IMaxLen", "2O"), "not a whole number"},
        {"bad column name", added("cDicDbName", "cHDefine5 int; DROP TABLE UserDef_Base; --"),
         "not a valid column name"},
        {"column of another class", added("cDicDbName", "cBDefine9"),
         "does not belong to the class"},
        {"text item without length", added("IMaxLen", ""), "maximum length 0"},
        {"unknown field", added("cSecret", "1"), "unknown field <cSecret>"},
        {"name too long", added("cItemName_en_US", QString(61, 'n')), "longer than 60 characters"},
        {"default too long", added("cDefaultVal", tooLong), "longer than"},
        {"link naming another item", sent(otherLink), "names item \"1001\""},
        {"not well-formed", sent("<Userdef_base><cId>1005</cId>"), "does not parse"},
        {"modify of a missing item", modified("1001", "cId", "1099"), "item 1099 does not exist"},
        {"type of an existing item", modified("2", "cType", "整型"),
         "type of the existing item 2 cannot change"},
        {"column of an existing item", modified("2", "cDicDbName", "cDefine3"),
         "column name of the item 2 cannot change"},
        {"delete of a regular item", deleted("2", "cid"), "not an extended item"},
        {"delete by another column", deleted("cHDefine1", "cDicDbName"), "number alone"},
        {"delete widened by a key", deleted("1001' and cClass='单据头", "cid"), "number alone"},
        {"delete of a missing item", deleted("1099", "cid"), "does not exist"},
        // 城市 (7) has the parent 省份 (6): 6 under 7 would close a circle, 6 under 6 too.
        {"parent leading back", modified("6", "cParentID", "7"),
         "would lead back to the item itself (7 → 6)"},
        {"item as its own parent", modified("6", "cParentID", "6"),
         "would lead back to the item itself"},
        {"parent of another class", modified("6", "cParentID", "20"), "is no item of its class"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        EXPECT_FALSE(c.write(&error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.expected))) << error.toStdString();
        EXPECT_EQ(srv().lastError(), error);
        EXPECT_TRUE(sameAs(before, account.db()));
    }
}

TEST_F(ItemDocuments, AFailureAtAnyStatementLeavesTheAccountAsItWas) {
    // The add also creates a missing companion; the modify adds, drops and retypes columns
    // holding values; the delete drops columns on three tables.
    sql("DROP TABLE HR_LeaveHead_extradefine;"
        "INSERT INTO SA_DispatchHead_extradefine(ID, cHDefine1, cHDefine3) VALUES (1, 'P1', "
        "'汽运')");
    ItemDoc modified = existing("1003");
    modified["cItemName"] = QStringLiteral("运输方式(新)");
    modified["IMaxLen"] = "30";
    modified.added = {"SA_OrderHead"};
    modified.kept = {"SA_DispatchHead", "SA_InvoiceHead"};
    modified.removed = {"PU_ArrivalHead"};
    const QList<std::pair<const char*, testsupport::Write>> writes = {
        {"add",
         [&](QString* e) {
             return add(newHeaderItem("1005", 5, {"SA_OrderHead", "HR_LeaveHead", "CM_Contract"}),
                        e);
         }},
        {"modify", [&](QString* e) { return modify(modified, e); }},
        {"delete", [&](QString* e) { return remove("1001", e); }},
    };
    for (const auto& [what, write] : writes) {
        SCOPED_TRACE(what);
        int failures = 0;
        EXPECT_TRUE(testsupport::failAtEachStatement(account, write, &failures));
        EXPECT_GT(failures, 5);
    }
    EXPECT_EQ(columnType("SA_OrderHead_extradefine", "cHDefine3"), "nvarchar(30)");
    EXPECT_EQ(columnType("SA_OrderHead_extradefine", "cHDefine1"), "<none>");
}

class LayoutCovers : public ItemDocuments {
protected:
    QStringList captions(const QString& item) {
        return rows(
            "SELECT cLayoutId, cPart, cCaption FROM DocLayoutField WHERE cItemId = ? "
            "ORDER BY cLayoutId, cPart",
            {item});
    }
    bool rename(const char* id, const QString& name, QString* error = nullptr) {
        ItemDoc d = existing(id);
        d["cItemName"] = name;
        d["bCoverVouch"] = "1";
        d.coverBody = "1";
        return modify(d, error);
    }
};

TEST_F(LayoutCovers, OnlyARenameRewritesCaptionsAndNeverOfExtendedItems) {
    // Saving the same name again leaves captions edited since alone.
    sql("UPDATE DocLayoutField SET cCaption = '合同' WHERE cLayoutId = 'SA02' AND cItemId = '1'");
    ASSERT_TRUE(rename("1", QStringLiteral("合同号")) &&
                rename("1001", QStringLiteral("工程编号")));
    EXPECT_EQ(captions("1"), (QStringList{"SA01|H|合同号", "SA02|H|合同"}));
    EXPECT_EQ(captions("1001"), QStringList{"SA01|H|项目编号"});
}

TEST_F(LayoutCovers, LayoutsThatCannotBeReadRefuseACoveringRename) {
    // The layout fields became a view over a table that is gone.
    sql("ALTER TABLE DocLayoutField RENAME TO DocLayoutField_old");
    sql("CREATE VIEW DocLayoutField AS SELECT * FROM DocLayoutField_old");
    sql("DROP TABLE DocLayoutField_old");
    const DbSnapshot before = DbSnapshot::take(account.db());
    QString error;
    EXPECT_FALSE(rename("1", QStringLiteral("合同号码"), &error) || error.isEmpty());
    EXPECT_TRUE(sameAs(before, account.db()));
}

}  // namespace
