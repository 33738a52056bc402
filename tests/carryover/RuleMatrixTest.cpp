// The matrix marks built from hash look-ups equal the marks of the plain walk over every rule
// for every cell and every link for every matching rule, on generated accounts whose names
// differ in letter case, repeat and miss. (The batch window's tests read the demo's marks.)
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <algorithm>

#include "carryover/RuleMatrix.h"

using namespace carryover;

namespace {

// The oracle: each cell walks every rule, each matching rule walks every link.
std::vector<CellMark> walk(const QVector<TablePair>& pairs, const QStringList& items,
                           const QVector<RuleCell>& rules, const QVector<ItemLink>& links) {
    const auto same = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; };
    const auto linked = [&](const QString& column, const QString& table) {
        for (const ItemLink& l : links)
            if (same(l.column, column) && same(l.table, table)) return true;
        return false;
    };
    std::vector<CellMark> marks;
    for (const TablePair& pair : pairs)
        for (const QString& item : items) {
            CellMark mark = CellMark::Unavailable;
            for (const RuleCell& rule : rules)
                if (same(rule.column, item) && same(rule.source, pair.source) &&
                    same(rule.target, pair.target) && linked(item, rule.source) &&
                    linked(item, rule.target))
                    mark = rule.carries ? CellMark::Ticked : std::max(mark, CellMark::Unticked);
            marks.push_back(mark);
        }
    return marks;
}

// Names from small pools so that rules, pairs and links meet, miss and repeat (also as a carrying
// and a non-carrying twin in either order); letter case varies. Each seed is traced.
QString pick(QRandomGenerator& g, const char* stem, int pool) {
    QString name = QString::fromLatin1(stem) + QString::number(g.bounded(pool));
    if (g.bounded(3) == 0) name = name.toUpper();
    if (g.bounded(5) == 0) name = name.toLower();
    return name;
}

TEST(GeneratedMatrix, HashMarksEqualTheWalk) {
    for (quint32 seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        QRandomGenerator g(seed);
        const int tables = 2 + g.bounded(8), columns = 1 + g.bounded(10);
        QVector<TablePair> pairs;
        for (int i = g.bounded(15); i > 0; --i) pairs.push_back({pick(g, "Tab", tables), pick(g, "Tab", tables)});
        QStringList items;
        for (int i = g.bounded(12); i > 0; --i) items << pick(g, "cHDefine", columns);
        QVector<RuleCell> rules;
        for (int i = g.bounded(80); i > 0; --i)
            rules.push_back({pick(g, "cHDefine", columns), pick(g, "Tab", tables),
                             pick(g, "Tab", tables), g.bounded(2) == 1, {}});
        QVector<ItemLink> links;
        for (int i = g.bounded(40); i > 0; --i) links.push_back({pick(g, "Tab", tables), pick(g, "cHDefine", columns)});
        const RuleMatrix m(pairs, items, rules, links);
        std::vector<CellMark> marks;
        for (int r = 0; r < m.pairCount(); ++r)
            for (int c = 0; c < m.itemCount(); ++c) marks.push_back(m.at(r, c));
        EXPECT_EQ(marks, walk(pairs, items, rules, links));
    }
}

}  // namespace
