#include "carryover/RuleMatrix.h"

#include <QHash>
#include <QSet>

#include "common/TextHelpers.h"
#include "host/RecordSet.h"

namespace carryover {

namespace {

struct Key2 {
    QString a, b;
    bool operator==(const Key2& o) const { return a == o.a && b == o.b; }
};
size_t qHash(const Key2& k, size_t seed = 0) { return qHashMulti(seed, k.a, k.b); }

int fieldOf(const host::RecordSet& rs, const char* name) {
    return rs.fieldIndex(QString::fromLatin1(name));
}

QString textAt(const host::RecordSet& rs, int row, int field) {
    return field < 0 ? QString() : host::variantText(rs.at(row, field));
}

}  // namespace

QVector<RuleCell> ReadRuleCells(const host::RecordSet& rules) {
    const int column = fieldOf(rules, "cextendfield");
    const int source = fieldOf(rules, "cTableName");
    const int target = fieldOf(rules, "cTargetTable");
    const int carries = fieldOf(rules, "btrans");
    const int path = fieldOf(rules, "cMakeVouchID");
    QVector<RuleCell> out;
    out.reserve(rules.recordCount());
    for (int r = 0; r < rules.recordCount(); ++r)
        out.push_back({textAt(rules, r, column), textAt(rules, r, source),
                       textAt(rules, r, target),
                       carries >= 0 && userdef::TextToFlag(rules.at(r, carries)) == 1,
                       textAt(rules, r, path)});
    return out;
}

QVector<ItemLink> ReadItemLinks(const host::RecordSet& links) {
    const int table = fieldOf(links, "TableName");
    const int column = fieldOf(links, "cDicDbName");
    QVector<ItemLink> out;
    out.reserve(links.recordCount());
    for (int r = 0; r < links.recordCount(); ++r)
        out.push_back({textAt(links, r, table), textAt(links, r, column)});
    return out;
}

RuleMatrix::RuleMatrix(const QVector<TablePair>& pairs, const QStringList& items,
                       const QVector<RuleCell>& rules, const QVector<ItemLink>& links)
    : m_pairs(int(pairs.size())),
      m_items(int(items.size())),
      m_marks(size_t(m_pairs) * size_t(m_items), uint8_t(CellMark::Unavailable)) {
    for (int r = 0; r < m_pairs; ++r) m_paths << QString();
    if (m_pairs == 0 || m_items == 0 || rules.isEmpty()) return;

    // Rows of a pair and columns of an item, by lower-cased names (a name may repeat).
    QMultiHash<Key2, int> rowsOf;
    rowsOf.reserve(m_pairs);
    for (int r = 0; r < m_pairs; ++r)
        rowsOf.insert({pairs[r].source.toLower(), pairs[r].target.toLower()}, r);
    QMultiHash<QString, int> colsOf;
    colsOf.reserve(m_items);
    for (int c = 0; c < m_items; ++c) colsOf.insert(items[c].toLower(), c);
    QSet<Key2> linked;
    linked.reserve(links.size());
    for (const ItemLink& l : links) linked.insert({l.column.toLower(), l.table.toLower()});

    for (const RuleCell& rule : rules) {
        const QString column = rule.column.toLower();
        auto cols = colsOf.equal_range(column);
        if (cols.first == cols.second) continue;
        const Key2 pair{rule.source.toLower(), rule.target.toLower()};
        auto rows = rowsOf.equal_range(pair);
        if (rows.first == rows.second) continue;
        if (!linked.contains({column, pair.a}) || !linked.contains({column, pair.b})) continue;
        for (auto r = rows.first; r != rows.second; ++r) {
            if (m_paths[*r].isEmpty()) m_paths[*r] = rule.path;
            for (auto c = cols.first; c != cols.second; ++c) {
                uint8_t& mark = m_marks[size_t(*r) * size_t(m_items) + size_t(*c)];
                if (rule.carries)
                    mark = uint8_t(CellMark::Ticked);
                else if (mark == uint8_t(CellMark::Unavailable))
                    mark = uint8_t(CellMark::Unticked);
            }
        }
    }
}

}  // namespace carryover
