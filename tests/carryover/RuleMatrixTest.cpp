// The matrix marks built from hash look-ups equal the marks of the plain walk over every rule
// for every cell and every link for every matching rule, on the demo account and on generated
// accounts whose names differ in letter case, repeat and miss.
#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "carryover/CarryOverSql.h"
#include "carryover/RuleMatrix.h"
#include "tests/support/TestAccount.h"

using namespace carryover;

namespace {

// The walk as the batch window was first written: each cell walks every rule, each matching
// rule walks every link.
bool itemOnBothTables(const QString& name, const QString& source, const QString& target,
                      const QVector<ItemLink>& links) {
    bool onSource = false, onTarget = false;
    for (const ItemLink& l : links) {
        if (l.column.toLower() != name) continue;
        if (l.table.toLower() == source.toLower()) onSource = true;
        if (l.table.toLower() == target.toLower()) onTarget = true;
    }
    return onSource && onTarget;
}

std::vector<CellMark> walk(const QVector<TablePair>& pairs, const QStringList& items,
                           const QVector<RuleCell>& rules, const QVector<ItemLink>& links) {
    std::vector<CellMark> marks(size_t(pairs.size() * items.size()), CellMark::Unticked);
    for (int c = 0; c < items.size(); ++c) {
        const QString probe = items[c].toLower();
        for (int r = 0; r < pairs.size(); ++r) {
            bool found = false;
            CellMark& mark = marks[size_t(r * items.size() + c)];
            for (const RuleCell& rule : rules) {
                const bool matches = rule.column.toLower() == probe &&
                                     rule.source.toLower() == pairs[r].source.toLower() &&
                                     rule.target.toLower() == pairs[r].target.toLower();
                if (matches && itemOnBothTables(probe, rule.source, rule.target, links)) {
                    found = true;
                    if (rule.carries) mark = CellMark::Ticked;
                }
            }
            if (!found) mark = CellMark::Unavailable;
        }
    }
    return marks;
}

std::vector<CellMark> marksOf(const RuleMatrix& m) {
    std::vector<CellMark> out;
    for (int r = 0; r < m.pairCount(); ++r)
        for (int c = 0; c < m.itemCount(); ++c) out.push_back(m.at(r, c));
    return out;
}

struct Counts {
    int unavailable = 0, unticked = 0, ticked = 0;
};
Counts count(const std::vector<CellMark>& marks) {
    Counts n;
    for (CellMark m : marks)
        (m == CellMark::Ticked ? n.ticked : m == CellMark::Unticked ? n.unticked : n.unavailable)++;
    return n;
}

class DemoMatrix : public testsupport::AccountTest,
                   public ::testing::WithParamInterface<const char*> {};

TEST_P(DemoMatrix, HashMarksEqualTheWalk) {
    const QString letter = QString::fromLatin1(GetParam());
    auto& srv = account.srv();
    const host::RecordSetPtr pairRs = srv.OpenX(PairRowsSql(letter));
    const host::RecordSetPtr itemRs = srv.OpenX(ItemColumnsSql(letter));
    const host::RecordSetPtr ruleRs = srv.OpenX(RulesOfLetterSql(letter));
    const host::RecordSetPtr linkRs = srv.OpenX(ItemLinksSql(letter));
    ASSERT_TRUE(pairRs && itemRs && ruleRs && linkRs) << srv.lastError().toStdString();
    QVector<TablePair> pairs;
    for (int r = 0; r < pairRs->recordCount(); ++r)
        pairs.push_back({pairRs->at(r, 2).toString(), pairRs->at(r, 4).toString()});
    QStringList items;
    for (int r = 0; r < itemRs->recordCount(); ++r) items << itemRs->at(r, 1).toString();
    const QVector<RuleCell> rules = ReadRuleCells(*ruleRs);
    const QVector<ItemLink> links = ReadItemLinks(*linkRs);

    const std::vector<CellMark> expected = walk(pairs, items, rules, links);
    EXPECT_EQ(marksOf(RuleMatrix(pairs, items, rules, links)), expected);
    const Counts n = count(expected);
    EXPECT_GT(n.unavailable, 0);
    EXPECT_GT(n.ticked + n.unticked, 0);  // the demo has usable rules on both tabs
}

INSTANTIATE_TEST_SUITE_P(Tabs, DemoMatrix, ::testing::Values("H", "B"));

// Names from small pools so that rules, pairs and links meet, miss and repeat; letter case
// varies at random.
QString pick(QRandomGenerator& g, const char* stem, int pool) {
    QString name = QString::fromLatin1(stem) + QString::number(g.bounded(pool));
    if (g.bounded(3) == 0) name = name.toUpper();
    if (g.bounded(5) == 0) name = name.toLower();
    return name;
}

TEST(GeneratedMatrix, HashMarksEqualTheWalk) {
    for (quint32 seed = 1; seed <= 40; ++seed) {
        QRandomGenerator g(seed);
        const int tables = 2 + g.bounded(8);
        const int columns = 1 + g.bounded(10);
        QVector<TablePair> pairs;
        for (int i = g.bounded(15); i > 0; --i)
            pairs.push_back({pick(g, "Tab", tables), pick(g, "Tab", tables)});
        QStringList items;
        for (int i = g.bounded(12); i > 0; --i) items << pick(g, "cHDefine", columns);
        QVector<RuleCell> rules;
        for (int i = g.bounded(80); i > 0; --i)
            rules.push_back({pick(g, "cHDefine", columns), pick(g, "Tab", tables),
                             pick(g, "Tab", tables), g.bounded(2) == 1});
        QVector<ItemLink> links;
        for (int i = g.bounded(40); i > 0; --i)
            links.push_back({pick(g, "Tab", tables), pick(g, "cHDefine", columns)});
        SCOPED_TRACE(seed);
        EXPECT_EQ(marksOf(RuleMatrix(pairs, items, rules, links)),
                  walk(pairs, items, rules, links));
    }
}

TEST(GeneratedMatrix, ACarryingRuleWinsOverANonCarryingTwin) {
    const QVector<TablePair> pairs = {{"A", "B"}};
    const QVector<ItemLink> links = {{"a", "cHDefine1"}, {"b", "CHDEFINE1"}};
    for (bool carriesFirst : {true, false}) {
        QVector<RuleCell> rules = {{"cHDefine1", "A", "B", carriesFirst},
                                   {"chdefine1", "a", "b", !carriesFirst}};
        EXPECT_EQ(RuleMatrix(pairs, {"cHDefine1"}, rules, links).at(0, 0), CellMark::Ticked);
    }
    // Without the link to the target, the rule is not usable.
    EXPECT_EQ(RuleMatrix(pairs, {"cHDefine1"}, {{"cHDefine1", "A", "B", true}}, {{"A", "cHDefine1"}})
                  .at(0, 0),
              CellMark::Unavailable);
}

}  // namespace
