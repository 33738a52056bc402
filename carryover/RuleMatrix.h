#pragma once
// The marks of the batch window's matrix: for every table pair (row) and extended item
// (column), whether a usable rule of the tab's letter exists and whether it carries.
//
// A cell is available when some rule has the item's column name, the pair's source and the
// pair's target (all compared without regard to letter case) and the item is linked to both
// tables of the pair; it is ticked when such a rule carries (btrans). Built from hash look-ups:
// rules keyed by (column, source, target), links as a set of (column, table).
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <vector>

namespace host {
class RecordSet;
}

namespace carryover {

enum class CellMark : uint8_t { Unavailable = 0, Unticked = 1, Ticked = 2 };

struct TablePair {
    QString source;  // cTableName
    QString target;  // cTargetTable
};
struct RuleCell {
    QString column;  // cextendfield
    QString source;  // cTableName
    QString target;  // cTargetTable
    bool carries = false;  // btrans
    QString path;          // cMakeVouchID
};
struct ItemLink {
    QString table;   // UserDefDetail.TableName
    QString column;  // UserDef.cDicDbName
};

// Rules of a rule record set (cextendfield, cTableName, cTargetTable, btrans, cMakeVouchID;
// nulls as empty)
// and links of a link record set (TableName, cDicDbName).
QVector<RuleCell> ReadRuleCells(const host::RecordSet& rules);
QVector<ItemLink> ReadItemLinks(const host::RecordSet& links);

class RuleMatrix {
public:
    RuleMatrix() = default;
    RuleMatrix(const QVector<TablePair>& pairs, const QStringList& items,
               const QVector<RuleCell>& rules, const QVector<ItemLink>& links);

    int pairCount() const { return m_pairs; }
    int itemCount() const { return m_items; }
    CellMark at(int pair, int item) const {
        return CellMark(m_marks[size_t(pair) * size_t(m_items) + size_t(item)]);
    }
    // The carry-over path of the first usable rule of a pair; empty when it has none.
    QString pathOf(int pair) const { return m_paths.value(pair); }

private:
    int m_pairs = 0;
    int m_items = 0;
    std::vector<uint8_t> m_marks;  // pair-major
    QStringList m_paths;
};

}  // namespace carryover
