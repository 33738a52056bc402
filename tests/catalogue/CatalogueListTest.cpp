// What the catalogue lists: every class or one class, in order, with the coded columns shown in
// the user's language, related archives by their names and stored text as it stands.
#include <QFontMetrics>
#include <QHeaderView>
#include <QRadioButton>

#include "common/Globals.h"
#include "common/NameTables.h"
#include "tests/catalogue/CatalogueFixture.h"

using namespace cattest;
using namespace catalogue;

using CatalogueList = SessionTest;
using CatalogueListEnglish = EnglishSessionTest;

TEST_F(CatalogueList, RootListsClassesInPinyinOrderAndIdsAsNumbers) {
    auto w = openCatalogue();
    EXPECT_EQ(w->selectedKey(), kRootKey);
    const auto rs = session.account.db().query(QStringLiteral("SELECT cId, cClass FROM UserDef_Base"));
    ASSERT_TRUE(rs);
    QHash<QString, QString> classOf;
    for (int i = 0; i < rs->recordCount(); ++i) classOf.insert(rs->textAt(i, 0), rs->textAt(i, 1));

    const QStringList ids = listedIds(*w);
    EXPECT_EQ(ids.size(), rs->recordCount());
    EXPECT_EQ(w->grid()->text(ids.size(), kColCounter), QString::number(ids.size()));
    EXPECT_EQ(w->statusText(), QStringLiteral("共 %1 条记录").arg(ids.size()));
    QStringList classes;  // in the order the list shows them
    for (const QString& id : ids)
        if (classes.isEmpty() || classes.last() != classOf.value(id)) classes << classOf.value(id);
    EXPECT_EQ(classes.removeDuplicates(), 0) << "a class appears in two runs";
    // cún, dān (tǐ before tóu), gōng.
    const QStringList pinyin = {"存货", "单据体", "单据头", "供应商"};
    for (int i = 1; i < pinyin.size(); ++i)
        EXPECT_LT(classes.indexOf(pinyin[i - 1]), classes.indexOf(pinyin[i])) << i;
    // 9 before 10, and the extended items after the regular ones of their class.
    EXPECT_LT(rowOfId(*w, "9"), rowOfId(*w, "10"));
    EXPECT_LT(rowOfId(*w, "16"), rowOfId(*w, "1001"));
}

TEST_F(CatalogueList, ChoosingAClassListsOnlyItsItems) {
    auto w = openCatalogue();
    const struct { const char* key; int count; const char* first; const char* last; } cases[] = {
        {"单据体", 20, "20", "2004"}, {"班组", 0, "", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(w->selectClass(QString::fromUtf8(c.key)));
        const QStringList ids = listedIds(*w);
        EXPECT_EQ(ids.size(), c.count);
        EXPECT_EQ(ids.value(0), QLatin1String(c.first));
        EXPECT_EQ(ids.value(ids.size() - 1), QLatin1String(c.last));
        EXPECT_EQ(w->statusText(), QStringLiteral("共 %1 条记录").arg(c.count));
        EXPECT_EQ(w->grid()->cols(), 20);  // the header row stands without items too
    }
    // The class's option button, clicked by the user, lists that class.
    auto* vendor = w->findChild<QRadioButton*>(QStringLiteral("OptClass7"));
    ASSERT_NE(vendor, nullptr);
    vendor->click();
    EXPECT_EQ(w->selectedKey(), QStringLiteral("供应商"));
    EXPECT_EQ(listedIds(*w).size(), 16);
}

TEST_F(CatalogueList, CellsShowTheUsersTextsAndStoredTextAsItStands) {
    ASSERT_TRUE(session.account.db().exec(
        QStringLiteral(
            "INSERT INTO UserDef_Base(cId,cClass,cItem,cType,cItemName,iDataSource,cRelArchive,"
            "cRelField) VALUES "
            "('1010','单据头','扩展自定义项10','文本','来源甲',1,'NoSuchArchive','cSomething'),"
            "('1011','单据头','扩展自定义项11','文本','停用',1,'[UR0003]','cArea'),"
            "('1012','单据头','扩展自定义项12','文本','A&B <''x''>; --',1,'x''; DROP TABLE t; --','<&>')")));
    // An item id that is no item's leaves every class listed.
    auto w = openCatalogue(false, QStringLiteral("1' or '1'='1"));
    EXPECT_EQ(w->selectedKey(), kRootKey);
    using namespace userdef;
    const struct {
        const char* id;
        int col;
        QString shown;
    } cases[] = {
        {"1", kColClass, g_ClassNames.at(0)},    {"1", kColItem, g_ItemKinds.at(1) + "1"},
        {"1", kColType, g_DataTypes.at(0)},      {"1", 11 /* bInput */, g_YesNo.at(1)},
        {"1", 13 /* source */, g_DataSource.at(0)}, {"1", kColRelArchive, ""},
        {"11", kColType, g_DataTypes.at(2)} /* stored "整数" */, {"11", 11, g_YesNo.at(0)},
        {"13", kColType, g_DataTypes.at(3)},     {"15", kColType, g_DataTypes.at(1)},
        {"100", kColItem, g_ItemKinds.at(0) + "1"}, {"140", kColItem, g_ItemKinds.at(2) + "1"},
        {"1001", kColItem, g_ItemKinds.at(3) + "1"}, {"8", 13, g_DataSource.at(1)},
        // Related archives: a report archive, a user-defined reference, an unknown archive and
        // a reference without a column set; then hostile text.
        {"8", kColRelArchive, "职员档案"},       {"8", kColRelField, "职员名称"},
        {"9", kColRelArchive, "研发阶段"},       {"9", kColRelField, "阶段名称"},
        {"1010", kColRelArchive, "NoSuchArchive"}, {"1010", kColRelField, "cSomething"},
        {"1011", kColRelArchive, "停用区域"},    {"1011", kColRelField, "cArea"},
        {"1012", kColItemName, "A&B <'x'>; --"}, {"1012", kColRelArchive, "x'; DROP TABLE t; --"},
        {"1012", kColRelField, "<&>"},
    };
    for (const auto& c : cases) {
        const int row = rowOfId(*w, c.id);
        ASSERT_GT(row, 0) << c.id;
        EXPECT_EQ(w->grid()->text(row, c.col), c.shown) << c.id << " column " << c.col;
    }
}

// English titles are longer than the Chinese the widths were first made for; parents are named
// in English too.
TEST_F(CatalogueListEnglish, EnglishTitlesAreWideEnoughToReadAndParentsNamed) {
    auto w = openCatalogue();
    const controls::Grid& g = *w->grid();
    const QFontMetrics metrics(g.horizontalHeader()->font());
    for (int c = 0; c < g.cols(); ++c) {
        if (g.colHidden(c)) continue;
        EXPECT_GE(g.columnWidth(c), metrics.horizontalAdvance(g.text(0, c)) + 12) << c;
    }
    EXPECT_EQ(g.text(rowOfId(*w, "7"), kColParentItemName), QStringLiteral("Province"));
}

TEST_F(CatalogueList, ClassButtonsWrapIntoRowsAndStayWhole) {
    auto w = openCatalogue();
    auto* frame = w->findChild<QFrame*>(QStringLiteral("Frame2"));
    for (const int width : {1400, 760}) {
        w->resize(width, 600);
        QApplication::processEvents();
        QList<QRect> seen;
        for (int i = 0; i < 14; ++i) {
            auto* option = w->findChild<QRadioButton*>(QStringLiteral("OptClass%1").arg(i));
            ASSERT_NE(option, nullptr);
            const QRect r = option->geometry();
            EXPECT_TRUE(option->isVisible() && frame->rect().contains(r))
                << width << " " << option->text().toStdString();
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
        EXPECT_LE(tree->visualItemRect(node).left() + 40 + metrics.horizontalAdvance(node->text(0)),
                  tree->viewport()->width()) << node->text(0).toStdString();
    }
}
