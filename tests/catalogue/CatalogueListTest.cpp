// What the catalogue lists: every class or one class, in order, with the coded columns shown in
// the user's language and related archives by their names.
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenu>
#include <QRadioButton>
#include <algorithm>
#include <tuple>

#include "common/Globals.h"
#include "common/NameTables.h"
#include "platform/db/Collation.h"
#include "tests/catalogue/CatalogueFixture.h"

using namespace cattest;
using catalogue::kColId;

namespace {

void exec(testsupport::TestAccount& account, const QString& sql) {
    QString error;
    ASSERT_TRUE(account.db().exec(sql, &error)) << error.toStdString();
}

QString headerOf(const catalogue::FrmUserDef& w, const char* key) {
    const QString wanted = userdef::g_Pub->GetResString(QString::fromLatin1(key));
    for (int c = 0; c < w.grid()->cols(); ++c)
        if (w.grid()->text(0, c) == wanted) return wanted;
    return {};
}

int colOf(const catalogue::FrmUserDef& w, const char* key) {
    const QString wanted = userdef::g_Pub->GetResString(QString::fromLatin1(key));
    for (int c = 1; c < w.grid()->cols(); ++c)
        if (w.grid()->text(0, c) == wanted) return c;
    return -1;
}

}  // namespace

using CatalogueList = SessionTest;
using CatalogueListEnglish = EnglishSessionTest;

TEST_F(CatalogueList, RootListsEveryClassByClassThenNumericIdThenLabel) {
    auto w = openCatalogue();
    EXPECT_EQ(w->selectedKey(), QStringLiteral("r"));

    const auto rs = session.account.db().query(QStringLiteral("SELECT cId, cClass, cItem FROM UserDef_Base"));
    ASSERT_TRUE(rs);
    std::vector<std::tuple<QString, int, QString, QString>> rows;
    for (int i = 0; i < rs->recordCount(); ++i)
        rows.emplace_back(rs->at(i, 1).toString(), rs->at(i, 0).toString().toInt(),
                          rs->at(i, 2).toString(), rs->at(i, 0).toString());
    // Texts in the database's order (pinyin), ids as numbers.
    const auto textLess = [](const QString& a, const QString& b) {
        return platform::db::compareText(a.toUtf8(), b.toUtf8()) < 0;
    };
    std::sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
        if (std::get<0>(a) != std::get<0>(b)) return textLess(std::get<0>(a), std::get<0>(b));
        if (std::get<1>(a) != std::get<1>(b)) return std::get<1>(a) < std::get<1>(b);
        return textLess(std::get<2>(a), std::get<2>(b));
    });
    QStringList expected;
    for (const auto& row : rows) expected << std::get<3>(row);

    EXPECT_EQ(listedIds(*w), expected);
    EXPECT_EQ(w->grid()->text(1, 0), QStringLiteral("1"));
    EXPECT_EQ(w->grid()->text(expected.size(), 0), QString::number(expected.size()));
    EXPECT_EQ(w->statusText(), QStringLiteral("共 %1 条记录").arg(expected.size()));
    // 9 sorts before 10 and 1000s after the regular items of a class.
    const int header9 = rowOfId(*w, QStringLiteral("9"));
    EXPECT_LT(header9, rowOfId(*w, QStringLiteral("10")));
    EXPECT_LT(rowOfId(*w, QStringLiteral("16")), rowOfId(*w, QStringLiteral("1001")));
}

TEST_F(CatalogueList, ClassesFollowEachOtherInPinyinOrder) {
    auto w = openCatalogue();
    const auto rs = session.account.db().query(QStringLiteral("SELECT cId, cClass FROM UserDef_Base"));
    ASSERT_TRUE(rs);
    QHash<QString, QString> classOf;
    for (int i = 0; i < rs->recordCount(); ++i) classOf.insert(rs->textAt(i, 0), rs->textAt(i, 1));
    QStringList classes;  // in the order the list shows them
    for (const QString& id : listedIds(*w))
        if (classes.isEmpty() || classes.last() != classOf.value(id)) classes << classOf.value(id);
    EXPECT_EQ(classes.removeDuplicates(), 0) << "a class appears in two runs";
    // cún, dān, gōng: inventory before document header before vendor.
    ASSERT_TRUE(classes.contains(QStringLiteral("存货")) && classes.contains(QStringLiteral("供应商")));
    EXPECT_LT(classes.indexOf(QStringLiteral("存货")), classes.indexOf(QStringLiteral("单据头")));
    EXPECT_LT(classes.indexOf(QStringLiteral("单据头")), classes.indexOf(QStringLiteral("供应商")));
    EXPECT_LT(classes.indexOf(QStringLiteral("单据体")), classes.indexOf(QStringLiteral("单据头")));

    // The same order from a statement in the component's dialect.
    const auto ordered = userdef::g_SrvDB->OpenX(QStringLiteral(
        "select distinct cClass from UserDef_Base where cClass in (N'供应商',N'单据头',N'存货') order by cClass"));
    ASSERT_TRUE(ordered);
    QStringList names;
    for (int i = 0; i < ordered->recordCount(); ++i) names << ordered->textAt(i, 0);
    EXPECT_EQ(names, QStringList({"存货", "单据头", "供应商"}));
    // Equality keeps ignoring the case of letters.
    const auto same = userdef::g_SrvDB->OpenX(
        QStringLiteral("select count(*) from UserDef_Base where cDicDbName = upper(cDicDbName)"));
    const auto all = userdef::g_SrvDB->OpenX(
        QStringLiteral("select count(*) from UserDef_Base where cDicDbName is not null"));
    ASSERT_TRUE(same && all);
    EXPECT_EQ(same->textAt(0, 0), all->textAt(0, 0));
}

TEST_F(CatalogueList, OneClassListsOnlyItsItems) {
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据体")));
    const QStringList ids = listedIds(*w);
    EXPECT_EQ(ids.size(), 16 + 4);
    EXPECT_EQ(ids.first(), QStringLiteral("20"));
    EXPECT_EQ(ids.last(), QStringLiteral("2004"));
    const int classCol = colOf(*w, "Q9.AA.USERDEF.cclass");
    for (int r = 1; r < w->grid()->rows(); ++r)
        EXPECT_EQ(w->grid()->text(r, classCol), userdef::g_ClassNames.at(1));
    EXPECT_EQ(w->statusText(), QStringLiteral("共 20 条记录"));

    // The option button of the class is the chosen one, and choosing another lists that.
    auto* vendor = w->findChild<QRadioButton*>(QStringLiteral("OptClass7"));
    ASSERT_NE(vendor, nullptr);
    EXPECT_EQ(vendor->text(), userdef::g_ClassNames.at(5));
    EXPECT_TRUE(w->findChild<QRadioButton*>(QStringLiteral("OptClass2"))->isChecked());
    vendor->click();
    EXPECT_EQ(w->selectedKey(), QStringLiteral("供应商"));
    EXPECT_EQ(listedIds(*w).size(), 16);
}

TEST_F(CatalogueList, ClassWithoutItemsShowsTheHeaderRowAndCountZero) {
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("班组")));
    EXPECT_EQ(w->grid()->rows(), 1);
    EXPECT_EQ(w->grid()->cols(), 20);
    EXPECT_EQ(w->statusText(), QStringLiteral("共 0 条记录"));
    EXPECT_TRUE(w->grid()->colHidden(kColId));
    EXPECT_TRUE(w->grid()->colHidden(catalogue::kColRefId));
    EXPECT_FALSE(w->grid()->colHidden(catalogue::kColItemName));
    EXPECT_FALSE(headerOf(*w, "Q9.AA.USERDEF.citemname").isEmpty());
    EXPECT_EQ(w->grid()->text(0, 18), QStringLiteral("图片"));
}

TEST_F(CatalogueList, CodedColumnsShowTheUsersTexts) {
    auto w = openCatalogue();
    const controls::Grid& g = *w->grid();
    const int item = colOf(*w, "Q9.AA.USERDEF.citem");
    const int type = colOf(*w, "Q9.AA.USERDEF.ctype");
    const int source = colOf(*w, "Q9.AA.USERDEF.idatasource");
    const int input = colOf(*w, "Q9.AA.USERDEF.binput");
    const int cls = colOf(*w, "Q9.AA.USERDEF.cclass");

    const int contract = rowOfId(*w, QStringLiteral("1"));
    EXPECT_EQ(g.text(contract, cls), userdef::g_ClassNames.at(0));
    EXPECT_EQ(g.text(contract, item), userdef::g_ItemKinds.at(1) + QStringLiteral("1"));
    EXPECT_EQ(g.text(contract, type), userdef::g_DataTypes.at(0));
    EXPECT_EQ(g.text(contract, input), userdef::g_YesNo.at(1));
    EXPECT_EQ(g.text(contract, source), userdef::g_DataSource.at(0));

    const int pieces = rowOfId(*w, QStringLiteral("11"));  // stored "整数"
    EXPECT_EQ(g.text(pieces, type), userdef::g_DataTypes.at(2));
    EXPECT_EQ(g.text(pieces, input), userdef::g_YesNo.at(0));
    EXPECT_EQ(g.text(rowOfId(*w, QStringLiteral("8")), source), userdef::g_DataSource.at(1));
    EXPECT_EQ(g.text(rowOfId(*w, QStringLiteral("1001")), item), userdef::g_ItemKinds.at(3) + QStringLiteral("1"));
    EXPECT_EQ(g.text(rowOfId(*w, QStringLiteral("100")), item), userdef::g_ItemKinds.at(0) + QStringLiteral("1"));
    EXPECT_EQ(g.text(rowOfId(*w, QStringLiteral("140")), item), userdef::g_ItemKinds.at(2) + QStringLiteral("1"));
    EXPECT_EQ(g.text(rowOfId(*w, QStringLiteral("15")), type), userdef::g_DataTypes.at(1));
    EXPECT_EQ(g.text(rowOfId(*w, QStringLiteral("13")), type), userdef::g_DataTypes.at(3));
}

TEST_F(CatalogueList, RelatedArchivesShowTheirNamesOrKeepTheStoredText) {
    exec(session.account,
         QStringLiteral("INSERT INTO UserDef_Base(cId,cClass,cItem,cType,cItemName,iDataSource,"
                        "cRelArchive,cRelField) VALUES "
                        "('1010','单据头','扩展自定义项10','文本','来源甲',1,'NoSuchArchive','cSomething'),"
                        "('1011','单据头','扩展自定义项11','文本','停用',1,'[UR0003]','cArea')"));
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据头")));
    const controls::Grid& g = *w->grid();
    const int archive = catalogue::kColRelArchive;
    const int field = catalogue::kColRelField;
    const auto person = session.account.db().query(QStringLiteral(
        "SELECT TableDefine FROM Rpt_GRPDef_Item WHERE TableName='Person' AND SystemId='AS'"));
    ASSERT_TRUE(person && person->recordCount() == 1);

    const int salesman = rowOfId(*w, QStringLiteral("8"));  // a report archive
    EXPECT_EQ(g.text(salesman, archive), person->at(0, 0).toString());
    EXPECT_EQ(g.text(salesman, field), QStringLiteral("职员名称"));
    const int stage = rowOfId(*w, QStringLiteral("9"));  // a user-defined reference
    EXPECT_EQ(g.text(stage, archive), QStringLiteral("研发阶段"));
    EXPECT_EQ(g.text(stage, field), QStringLiteral("阶段名称"));
    const int unknown = rowOfId(*w, QStringLiteral("1010"));
    EXPECT_EQ(g.text(unknown, archive), QStringLiteral("NoSuchArchive"));
    EXPECT_EQ(g.text(unknown, field), QStringLiteral("cSomething"));
    const int noColumns = rowOfId(*w, QStringLiteral("1011"));  // reference without a column set
    EXPECT_EQ(g.text(noColumns, archive), QStringLiteral("停用区域"));
    EXPECT_EQ(g.text(noColumns, field), QStringLiteral("cArea"));
    EXPECT_EQ(g.text(rowOfId(*w, QStringLiteral("1")), archive), QString());
}

TEST_F(CatalogueList, RelatedArchivesAreLookedUpOncePerArchiveAndField) {
    controls::Grid g;
    g.setCols(20);
    for (int c = 0; c < 20; ++c) g.setText(0, c, catalogue::listHeaderText(c));
    const QList<QPair<QString, QString>> pairs = {{"Person", "cPersonName"},
                                                  {"[UR0001]", "cStageName"},
                                                  {"NoSuchArchive", "cX"},
                                                  {"Warehouse", "cWhName"}};
    g.setRows(301);
    for (int r = 1; r <= 300; ++r) {
        g.setText(r, catalogue::kColRelArchive, pairs[r % 4].first);
        g.setText(r, catalogue::kColRelField, pairs[r % 4].second);
    }
    catalogue::RelatedArchiveNames names(QStringLiteral("001"));
    catalogue::localiseCodedColumns(g, names);
    // Report archive 1, reference 3 (report, reference, caption), unknown 2, report 1.
    EXPECT_EQ(names.statementsRun(), 7);

    // The same texts as looking each row up on its own.
    for (int r = 1; r <= 4; ++r) {
        catalogue::RelatedArchiveNames single(QStringLiteral("001"));
        const auto shown = single.resolve(pairs[r % 4].first, pairs[r % 4].second);
        for (int same = r; same <= 300; same += 4) {
            ASSERT_EQ(g.text(same, catalogue::kColRelArchive), shown.first) << same;
            ASSERT_EQ(g.text(same, catalogue::kColRelField), shown.second) << same;
        }
    }
    EXPECT_EQ(g.text(1, catalogue::kColRelField), QStringLiteral("阶段名称"));
    EXPECT_EQ(g.text(2, catalogue::kColRelField), QStringLiteral("cX"));
    EXPECT_EQ(g.text(4, catalogue::kColRelField), QStringLiteral("职员名称"));
}

TEST_F(CatalogueList, LongListsRepaintEveryTwoHundredRecords) {
    QStringList values;
    for (int i = 0; i < 450; ++i)
        values << QStringLiteral("('%1','序列号','属性%2','文本','序列属性%2')").arg(7001 + i).arg(i + 1);
    exec(session.account, QStringLiteral("INSERT INTO UserDef_Base(cId,cClass,cItem,cType,cItemName) VALUES ") +
                              values.join(QLatin1Char(',')));
    auto w = openCatalogue();
    const int before = w->grid()->repaintCount();
    ASSERT_TRUE(w->selectClass(QStringLiteral("序列号")));
    EXPECT_EQ(w->grid()->repaintCount() - before, 3);  // after 200 and 400, and at the end
    EXPECT_EQ(w->grid()->rows(), 451);
    EXPECT_EQ(w->statusText(), QStringLiteral("共 450 条记录"));
}

TEST_F(CatalogueList, HostileTextIsListedAsItStandsAndReachesNoStatement) {
    exec(session.account,
         QStringLiteral("INSERT INTO UserDef_Base(cId,cClass,cItem,cType,cItemName,cRelArchive,cRelField) "
                        "VALUES ('1012','单据头','扩展自定义项12','文本','A&B <''x''>; --','x''; DROP TABLE t; --','<&>')"));
    auto w = openCatalogue(false, QStringLiteral("1' or '1'='1"));
    EXPECT_EQ(w->selectedKey(), QStringLiteral("r"));  // no item has that id
    const int row = rowOfId(*w, QStringLiteral("1012"));
    ASSERT_GT(row, 0);
    EXPECT_EQ(w->grid()->text(row, catalogue::kColItemName), QStringLiteral("A&B <'x'>; --"));
    EXPECT_EQ(w->grid()->text(row, catalogue::kColRelArchive), QStringLiteral("x'; DROP TABLE t; --"));
    EXPECT_EQ(w->grid()->text(row, catalogue::kColRelField), QStringLiteral("<&>"));
}

TEST_F(CatalogueListEnglish, EnglishSessionShowsEnglishHeadersWideEnoughToRead) {
    auto w = openCatalogue();
    const controls::Grid& g = *w->grid();
    EXPECT_EQ(g.text(0, 2), userdef::g_Pub->GetResString(QStringLiteral("Q9.AA.USERDEF.cclass")));
    EXPECT_NE(g.text(0, 2), QStringLiteral("类别"));
    const QFontMetrics metrics(g.horizontalHeader()->font());
    for (int c = 0; c < g.cols(); ++c) {
        if (g.colHidden(c)) continue;
        EXPECT_GE(g.columnWidth(c), metrics.horizontalAdvance(g.text(0, c)) + 12)
            << g.text(0, c).toStdString();
    }
    const int contract = rowOfId(*w, QStringLiteral("1"));
    EXPECT_EQ(g.text(contract, 2), userdef::g_ClassNames.at(0));
    EXPECT_EQ(w->windowTitle(), userdef::g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.userdefarch")));
    EXPECT_TRUE(w->findChild<QMenu*>(QStringLiteral("mFile"))->title().contains(QStringLiteral("File")));
}

TEST_F(CatalogueList, ClassButtonsWrapIntoRowsAndStayWhole) {
    auto w = openCatalogue();
    for (const int width : {1400, 760}) {
        w->resize(width, 600);
        QApplication::processEvents();
        QList<QRect> seen;
        auto* frame = w->findChild<QFrame*>(QStringLiteral("Frame2"));
        for (int i = 0; i < 14; ++i) {
            auto* option = w->findChild<QRadioButton*>(QStringLiteral("OptClass%1").arg(i));
            ASSERT_NE(option, nullptr);
            EXPECT_TRUE(option->isVisible());
            const QRect r = option->geometry();
            EXPECT_TRUE(frame->rect().contains(r)) << width << " " << option->text().toStdString();
            EXPECT_GE(r.width(), option->sizeHint().width());
            for (const QRect& other : seen) EXPECT_FALSE(other.intersects(r));
            seen << r;
        }
    }
    // The class names are not cut in the tree.
    auto* tree = w->findChild<QTreeWidget*>(QStringLiteral("Tree"));
    const QFontMetrics metrics(tree->font());
    for (int i = 0; i < tree->topLevelItem(0)->childCount(); ++i) {
        QTreeWidgetItem* node = tree->topLevelItem(0)->child(i);
        EXPECT_GE(tree->visualItemRect(node).right(),
                  tree->visualItemRect(node).left() + metrics.horizontalAdvance(node->text(0)));
        EXPECT_LE(tree->visualItemRect(node).left() + 40 + metrics.horizontalAdvance(node->text(0)),
                  tree->viewport()->width())
            << node->text(0).toStdString();
    }
}
