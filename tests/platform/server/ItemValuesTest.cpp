// Extended items of every data type on either kind of account: their companions' values, put in
// as the host program does, come back exactly when a change of the item is undone (fewer
// decimals, a table unlinked, the item deleted).
#include <gtest/gtest.h>

#include <functional>

#include "host/Quote.h"
#include "platform/server/DocumentWriter.h"
#include "tests/platform/server/ItemDocumentBuilder.h"
#include "tests/support/TestAccount.h"

namespace {

using testsupport::TestAccount;

struct TypedItem {
    const char* type;
    int column;          // cHDefine<column>
    const char* digits;  // decimals of a number
    QStringList values;  // for the rows 1, 2 and 3 of each companion
};

const QList<TypedItem>& typedItems() {
    static const QList<TypedItem> items = {
        {"文本", 5, "", {"北京 'A'", "", "x"}},
        {"日期", 6, "", {"2024-02-29", "1999-12-31", "2030-01-01"}},
        {"日期时间", 7, "", {"2024-02-29 13:45:07.250", "2000-01-01 00:00:01", "1980-06-30 23:59:59"}},
        {"整型", 8, "", {"42", "-7", "0"}},
        {"数字", 9, "4", {"1234.5678", "-0.0001", "98765432.1234"}},
    };
    return items;
}

const QStringList kTables = {"SA_OrderHead", "PU_ArrivalHead"};

class ItemValues : public testsupport::AccountTest, public ::testing::WithParamInterface<TestAccount::Kind> {
protected:
    ItemValues() : AccountTest(GetParam()) {}
    platform::server::ClsCommon& srv() { return account.srv(); }
    // The values of the column on each table, read in the component's SQL.
    QStringList values(const QString& column) {
        QStringList out;
        for (const QString& t : kTables) {
            const host::RecordSetPtr rs = srv().OpenX(
                QStringLiteral("select ID, %1 from %2_extradefine where ID in (1,2,3) order by ID").arg(column, t));
            if (!rs) {
                out << t + ": " + srv().lastError();
                continue;
            }
            for (int r = 0; r < rs->recordCount(); ++r)
                out << t + " " + rs->textAt(r, 0) + " " + (rs->isNullAt(r, 1) ? "~" : rs->textAt(r, 1));
        }
        return out;
    }
    int lastChange() {
        const host::RecordSetPtr rs = srv().OpenX("select max(iChange) from zx_History");
        return rs ? rs->at(0, 0).toInt() : 0;
    }
};

TEST_P(ItemValues, ComeBackExactlyWhenAChangeOfTheItemIsUndone) {
    QString error;
    for (const TypedItem& item : typedItems()) {
        const QString type = QString::fromUtf8(item.type);
        SCOPED_TRACE(item.type);
        const QString id = QString::number(1000 + item.column), column = QStringLiteral("cHDefine%1").arg(item.column);
        testsupport::ItemDoc doc = testsupport::newHeaderItem(id, item.column, kTables);
        doc["cType"] = type;
        if (type != "文本") doc["IMaxLen"] = "";
        doc["iDecimalDigits"] = QString::fromLatin1(item.digits);
        ASSERT_TRUE(srv().Add(doc.xml(), "Userdef_base", &error)) << error.toStdString();
        for (const QString& t : kTables)
            for (int row = 1; row <= 3; ++row) {
                const host::RecordSetPtr there = srv().OpenX(
                    QStringLiteral("select count(*) from %1_extradefine where ID = %2").arg(t).arg(row));
                ASSERT_TRUE(there) << srv().lastError().toStdString();
                const QString sql = there->at(0, 0).toInt()
                                        ? QStringLiteral("update %1_extradefine set %2 = '%3' where ID = %4")
                                        : QStringLiteral("insert into %1_extradefine(ID, %2) values (%4, '%3')");
                ASSERT_TRUE(srv().ExecuteX(sql.arg(t, column, host::sqlValue(item.values.at(row - 1))).arg(row)))
                    << srv().lastError().toStdString();
            }
        const QStringList before = values(column);
        testsupport::ItemDoc fewer = doc, unlink = doc;
        fewer.isNew = unlink.isNew = false;
        fewer.withShare = false;
        fewer["iDecimalDigits"] = "1";
        unlink.added.clear();
        unlink.kept = {kTables.at(0)};
        unlink.removed = {kTables.at(1)};
        const QList<std::pair<const char*, std::function<bool()>>> changes = {
            {"fewer decimals", [&] { return type != "数字" || srv().Modify(fewer.xml(), "Userdef", &error); }},
            {"unlinked from a table", [&] { return srv().Modify(unlink.xml(), "Userdef", &error); }},
            {"deleted", [&] { return srv().Delete(id, "cid", "Userdef_base", &error); }},
        };
        for (const auto& [what, change] : changes) {
            SCOPED_TRACE(what);
            const int last = lastChange();
            ASSERT_TRUE(change()) << error.toStdString();
            if (lastChange() == last) continue;  // no such change for this type
            ASSERT_TRUE(srv().writer()->undo(lastChange(), &error)) << error.toStdString();
            EXPECT_EQ(values(column), before);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ItemValues, ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

}  // namespace
