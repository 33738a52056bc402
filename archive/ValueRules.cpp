#include "archive/ValueRules.h"

#include <QDate>
#include <QRegularExpression>

#include "archive/ValuePersistence.h"
#include "common/ResText.h"
#include "common/Globals.h"
#include "common/NameTables.h"
#include "host/IGrid.h"

namespace archive {

namespace {


}  // namespace

std::optional<QString> classText(const QString& cClass) {
    const int index = userdef::classKeys().indexOf(cClass.toLower());
    if (index < 0) return std::nullopt;
    return userdef::g_ClassNames.value(index, cClass);
}

std::optional<QString> typeText(const QString& cType) {
    if (cType == QStringLiteral("文本")) return userdef::ResText("Q9.AA.USERDEF.datatype_text");
    if (cType == QStringLiteral("日期")) return userdef::ResText("Q9.AA.USERDEF.datatype_date");
    if (cType == QStringLiteral("整数") || cType == QStringLiteral("整型"))
        return userdef::ResText("Q9.AA.USERDEF.datatype_int");
    if (cType == QStringLiteral("数字")) return userdef::ResText("Q9.AA.USERDEF.datatype_float");
    return std::nullopt;
}

QString dataSourceText(const QString& raw) {
    if (raw == QLatin1String("-1")) return {};
    if (raw == QLatin1String("0")) return userdef::g_DataSource.value(0);
    if (raw == QLatin1String("1")) return userdef::g_DataSource.value(1);
    return raw;
}

bool isFreeItem(const QString& citem) {
    if (citem.contains(QStringLiteral("自由项"))) return true;
    const QString name = userdef::g_ItemKinds.value(0).trimmed();
    return !name.isEmpty() && citem.contains(name);
}

bool hasStopFlag(const QString& itemId) {
    bool numeric = false;
    const double id = itemId.trimmed().toDouble(&numeric);
    return numeric && id >= 20 && id <= 35;
}

bool isDateType(const QString& cType) {
    return cType == QStringLiteral("日期") ||
           (!userdef::g_DataTypes.value(1).isEmpty() && cType == userdef::g_DataTypes.value(1));
}

bool isDateText(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})([-/.]?)(\\d{1,2})\\2(\\d{1,2})$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch()) return false;
    if (m.captured(2).isEmpty() && (m.captured(3).size() != 2 || m.captured(4).size() != 2))
        return false;
    return QDate(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt()).isValid();
}

ValueProblem checkValue(const QString& value, const QString& alias, int mode, bool dateItem,
                        const host::IGrid& grid, int currentRow) {
    const QString v = value.trimmed();
    const QString a = alias.trimmed();
    if (v.isEmpty()) return ValueProblem::Empty;
    if (dateItem && !isDateText(v)) return ValueProblem::NotDate;
    if (mode != kAdding && mode != kModifying) return ValueProblem::None;
    for (int row = 1; row < grid.rows(); ++row) {
        if (mode == kModifying && row == currentRow) continue;
        if (grid.text(row, kColValue) == v) return ValueProblem::ValueExists;
        if (!a.isEmpty() && grid.text(row, kColAlias) == a) return ValueProblem::AliasExists;
    }
    return ValueProblem::None;
}

QString problemKey(ValueProblem problem) {
    switch (problem) {
        case ValueProblem::Empty: return QStringLiteral("Q9.AA.ARCHIVE.COMMON.userdefine_cvalue_notnull");
        case ValueProblem::NotDate: return QStringLiteral("Q9.AA.USERDEF.FRMZARCHIVE.706_1");
        case ValueProblem::ValueExists: return QStringLiteral("Q9.AA.ARCHIVE.COMMON.userdefine_cvalue_exist");
        case ValueProblem::AliasExists: return QStringLiteral("Q9.AA.ARCHIVE.COMMON.userdefine_calias_exist");
        case ValueProblem::None: break;
    }
    return {};
}

}  // namespace archive
