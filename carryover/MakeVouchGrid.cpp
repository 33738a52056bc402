#include "carryover/MakeVouchGrid.h"

#include <algorithm>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QWidget>
#include <functional>

#include "carryover/RuleMatrix.h"
#include "carryover/RuleRecord.h"
#include "common/ResText.h"
#include "common/SessionNames.h"
#include "common/Globals.h"
#include "common/NameTables.h"
#include "controls/Twips.h"
#include "host/IGrid.h"
#include "host/RecordSet.h"

namespace carryover {

namespace {


constexpr int kFixedWidths[kFirstItemCol] = {500, 0, 0, 0, 2000, 0, 2000, 0, 0};
constexpr int kHiddenCols[] = {kColChanged, kColMakeVouchID, kColSource, kColTarget, kColSubId};
constexpr int kEmptyTitleTwips = 2500;
constexpr int kTitlePaddingTwips = 300;

// Lets the user see a long fill progress: one paint through the event loop.
void repaintOnce(host::IGrid& grid) {
    grid.setRedraw(true);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    grid.setRedraw(false);
}

}  // namespace

bool IsUnavailable(const host::IGrid& grid, int row, int col) {
    return grid.backColor(row, col) == UnavailableColor();
}

QStringList GetFixedTitles() {
    return {userdef::ResText("Q9.AA.ARCHIVE.FIELD.sequencenumber"),
            QStringLiteral("修改标记"),
            QStringLiteral("cMakeVouchID"),
            userdef::ResText("Q9.AA.ARCHIVE.FIELD.sourcetable"),
            userdef::ResText("Q9.AA.ARCHIVE.FIELD.sourcetabledesc"),
            userdef::ResText("Q9.AA.ARCHIVE.FIELD.ctargettable"),
            userdef::ResText("Q9.AA.ARCHIVE.FIELD.ctargettabledesc"),
            userdef::ResText("Q9.AA.ARCHIVE.FIELD.cdesc"),
            userdef::ResText("Q9.AA.ARCHIVE.FIELD.csub_id")};
}

QString FormatCellValue(const QVariant& value, int fieldType) {
    switch (fieldType) {
        case host::FieldType::Boolean:
        case host::FieldType::Binary:
        case host::FieldType::VarBinary:
        case host::FieldType::LongVarBinary: {
            const bool yes = host::variantText(value).toLower() == QLatin1String("true");
            return userdef::g_YesNo.value(yes ? 1 : 0);
        }
        default:
            return host::variantText(value);
    }
}

QStringList LoadItemColumns(host::IGrid& grid, host::RecordSet* items) {
    const int count = items ? items->recordCount() : 0;
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    grid.setRows(1);
    grid.setCols(count + kFirstItemCol);
    const QStringList titles = GetFixedTitles();
    const QFontMetrics metrics(grid.widget() ? grid.widget()->font() : QFont());
    for (int c = 0; c < kFirstItemCol; ++c) {
        grid.setCheckColumn(c, false);
        grid.setText(0, c, titles.at(c));
        // At least the design's width, and wide enough for the title in the user's language.
        const int titleTwips = kFixedWidths[c] == 0 ? 0
                               : controls::pixelsToTwips(metrics.horizontalAdvance(titles.at(c))) +
                                     kTitlePaddingTwips;
        grid.setColWidth(c, std::max(kFixedWidths[c], titleTwips));
        grid.setColAlignment(c, Qt::AlignCenter);
        grid.setColHidden(c, false);
    }
    QStringList names;
    for (int c = 0; c < kFirstItemCol; ++c) names << QString();
    if (count > 0) {
        const int idField = items->fieldIndex(QStringLiteral("cDicDbName"));
        const int titleField = items->fieldIndex(QStringLiteral("cItemLang"));
        for (int i = 0; i < count; ++i) {
            const int c = kFirstItemCol + i;
            const QString title = titleField < 0 ? QString() : host::variantText(items->at(i, titleField));
            names << (idField < 0 ? QString() : host::variantText(items->at(i, idField)));
            grid.setText(0, c, title);
            grid.setColAlignment(c, Qt::AlignCenter);
            grid.setColWidth(c, title.isEmpty() ? kEmptyTitleTwips
                                                : controls::pixelsToTwips(metrics.horizontalAdvance(title)) +
                                                      kTitlePaddingTwips);
            grid.setColHidden(c, false);
            grid.setCheckColumn(c, true);
        }
    }
    for (int c : kHiddenCols) grid.setColHidden(c, true);
    grid.setRows(1);
    grid.setRedraw(redraw);
    return names;
}

void FillPairRows(host::IGrid& grid, host::RecordSet& pairs) {
    const int count = pairs.recordCount();
    const int fields = std::min(pairs.fieldCount(), grid.cols() - 1);
    grid.setRedraw(false);
    grid.setRows(count + 1);
    for (int i = 0; i < count; ++i) {
        const int row = i + 1;
        grid.setText(row, kColRow, QString::number(row));
        for (int f = 0; f < fields; ++f)
            grid.setText(row, f + 1, FormatCellValue(pairs.at(i, f), pairs.field(f).type));
        if (row % kRepaintEvery == 0) repaintOnce(grid);
    }
    ShowSessionNames(grid, pairs);
    grid.setRedraw(true);
}

void ShowSessionNames(host::IGrid& grid, const host::RecordSet& rows) {
    const userdef::SessionNames names = userdef::SessionNames::read();
    // The rule list shows the long descriptions (cTableDesc), the batch window the short ones.
    const bool longDesc = rows.hasField(QStringLiteral("cTableNameDesc"));
    const auto table = [&](const QString& t, const QString& stored) {
        return longDesc ? names.tableLong(t, stored) : names.table(t, stored);
    };
    struct Shown {
        const char *field, *code;
        std::function<QString(const QString&, const QString&)> name;
    };
    const auto item = [&](const QString& c, const QString& s) { return names.itemByColumn(c, s); };
    const Shown shown[] = {{"TableDesc", "cTableName", table},
                           {"cTableNameDesc", "cTableName", table},
                           {"cTargetTableDesc", "cTargetTable", table},
                           {"cextendfieldDesc", "cextendfield", item},
                           {"ctargetfieldDesc", "ctargetfield", item},
                           {"cItemName", "cDicDbName", item}};
    const int cols = grid.cols() - 1;
    for (const Shown& s : shown) {
        const int f = rows.fieldIndex(QString::fromLatin1(s.field));
        const int code = rows.fieldIndex(QString::fromLatin1(s.code));
        if (f < 0 || code < 0 || f >= cols) continue;
        for (int i = 0; i < rows.recordCount(); ++i)
            grid.setText(i + 1, f + 1, s.name(rows.textAt(i, code), grid.text(i + 1, f + 1)));
    }
}

void MarkRuleCells(host::IGrid& grid, const QStringList& itemNames, const host::RecordSet& rules,
                   const host::RecordSet& links) {
    const int rows = grid.rows() - 1;
    const int items = std::max(0, std::min(grid.cols(), int(itemNames.size())) - kFirstItemCol);
    if (rows <= 0 || items <= 0) return;
    QVector<TablePair> pairs;
    pairs.reserve(rows);
    for (int r = 1; r <= rows; ++r)
        pairs.push_back({grid.text(r, kColSource), grid.text(r, kColTarget)});
    const RuleMatrix matrix(pairs, itemNames.mid(kFirstItemCol, items), ReadRuleCells(rules),
                            ReadItemLinks(links));
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    const QColor grey = UnavailableColor();
    for (int r = 0; r < rows; ++r) {
        // The pair statement leaves the path empty; the pair's rules know it.
        if (grid.text(r + 1, kColMakeVouchID).isEmpty() && !matrix.pathOf(r).isEmpty())
            grid.setText(r + 1, kColMakeVouchID, matrix.pathOf(r));
        for (int i = 0; i < items; ++i) {
            switch (matrix.at(r, i)) {
                case CellMark::Ticked:
                    grid.setCheckState(r + 1, kFirstItemCol + i, Qt::Checked);
                    break;
                case CellMark::Unticked:
                    break;
                case CellMark::Unavailable:
                    grid.setBackColor(r + 1, kFirstItemCol + i, grey);
                    break;
            }
        }
    }
    grid.setRedraw(redraw);
}

bool CellIsTicked(const host::IGrid& grid, int row, int col) {
    if (grid.isCheckColumn(col) && grid.checkState(row, col) == Qt::Checked) return true;
    const QString text = grid.text(row, col).toLower();
    return text == QLatin1String("true") || text == QLatin1String("-1") ||
           text == QLatin1String("1");
}

QString BuildChangedRulesXml(const host::IGrid& grid, const QStringList& itemNames,
                             const QString& letter) {
    QString out;
    for (int c = kFirstItemCol; c < grid.cols() && c < itemNames.size(); ++c) {
        const QString column = itemNames.at(c).toLower();
        for (int r = 1; r < grid.rows(); ++r) {
            if (grid.text(r, kColChanged) != QLatin1String("1") || IsUnavailable(grid, r, c))
                continue;
            RuleRecord rule;
            rule.cMakeVouchID = grid.text(r, kColMakeVouchID);
            rule.cSub_id = grid.text(r, kColSubId);
            rule.cType = letter;
            rule.cextendfield = column;
            rule.cTableName = grid.text(r, kColSource);
            rule.cTargetTable = grid.text(r, kColTarget);
            rule.btrans = CellIsTicked(grid, r, c);
            out += RuleRecordXml(rule);
        }
    }
    return out;
}

}  // namespace carryover
