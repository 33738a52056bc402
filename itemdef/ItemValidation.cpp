#include "itemdef/ItemValidation.h"

#include <QRegularExpression>
#include <QSet>

#include "common/ResText.h"
#include "common/Globals.h"
#include "host/Quote.h"
#include "itemdef/ExtendTables.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemdefLog.h"

namespace itemdef {

namespace {

// The number a text starts with, as the editor's numeric fields are read; 0 without one.
double numberOf(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

// A name taken from data and joined into a statement as an identifier: as it stands when it is
// a plain name, else bracketed.
QString identifier(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch() ? name : host::sqlIdent(name);
}


Refusal refuse(const char* key, ValidationFocus focus, const QStringList& args = {}) {
    return Refusal{QString::fromLatin1(key), args, focus};
}

}  // namespace

std::optional<Refusal> CheckItemFields(const ValidationInput& in) {
    if (in.typeText.isEmpty())
        return refuse("Q9.AA.ARCHIVE.FIELD.thefirstchoosedatatype", ValidationFocus::Type);
    if (in.extended && in.itemName.isEmpty())
        return refuse("Q9.AA.ARCHIVE.USERDEF.FrmZAM.NameNotNull", ValidationFocus::Names);
    if (in.inUse && in.itemName.trimmed().isEmpty())
        return refuse("Q9.AA.USERDEF.FRMZAM.775_1", ValidationFocus::Names, {in.shownClass});
    if (in.lengthEnabled) {
        const bool text = in.typePosition == kText;
        if (text && in.maxLen.trimmed().isEmpty())
            return refuse("Q9.AA.ARCHIVE.USERDEF.FrmZAM.NoNullForTextLength",
                          ValidationFocus::MaxLen);
        if (text && in.length.trimmed().isEmpty())
            return refuse("Q9.AA.USERDEF.FRMZAM.782_1", ValidationFocus::Length);
        if (text && !in.maxLen.isEmpty() && numberOf(in.maxLen) > 400)
            return refuse("Q9.AA.ARCHIVE.FIELD.textlengthnoexceed", ValidationFocus::MaxLen);
        if (numberOf(in.maxLen) < numberOf(in.length))
            return refuse("Q9.AA.USERDEF.FRMZAM.787_1", ValidationFocus::Length);
    }
    return std::nullopt;
}

QString DefaultValueSql(const QString& relArchive, const QString& relField,
                        const QString& defaultVal) {
    const QString field = identifier(relField);
    return QStringLiteral("select top 1 ") + field + QStringLiteral(" from ") +
           identifier(relArchive) + QStringLiteral(" where ") + field + QStringLiteral("='") +
           host::sqlValue(defaultVal) + QLatin1Char('\'');
}

std::optional<Refusal> CheckRelatedArchive(const ValidationInput& in) {
    if (!in.defaultVal.isEmpty() && !in.relArchive.isEmpty() && in.relArchiveEnabled) {
        if (in.relField.isEmpty())
            return refuse("Q9.AA.USERDEF.FRMZAM.798_1", ValidationFocus::RelArchive,
                          {in.shownType});
        host::RecordSetPtr rs;
        if (userdef::g_SrvDB) {
            rs =
                userdef::g_SrvDB->OpenX(DefaultValueSql(in.relArchive, in.relField, in.defaultVal));
            if (!rs)
                qCWarning(lcItemdef)
                    << "default value not looked up:" << userdef::g_SrvDB->lastError();
        }
        // A value that cannot be found (also when the archive cannot be read) is refused.
        if (!rs || rs->isEmpty())
            return refuse("Q9.AA.USERDEF.FRMZAM.804_1", ValidationFocus::DefaultValue);
    }
    if (in.dataSource == 1 && (in.relField.isEmpty() || in.relArchive.isEmpty()))
        return refuse("Q9.AA.USERDEF.FRMZAM.814_1", ValidationFocus::RelArchive);
    return std::nullopt;
}

QString RowSizeSql(const QStringList& companionTables) {
    QStringList parts;
    for (int i = 0; i < companionTables.size(); ++i)
        parts << QStringLiteral(
                     " SELECT %1 as iTable, SUM(CASE xtype WHEN '231' then length/2 ELSE length "
                     "END ) as SumFieldSize from syscolumns  where id = OBJECT_ID(N'")
                         .arg(i) +
                     host::sqlValue(companionTables.at(i)) + QStringLiteral("') ");
    return parts.join(QStringLiteral(" union all "));
}

QVector<TableRowSize> EstimateRowSizes(const QVector<TickedNode>& ticked, int itemWidth) {
    QVector<TableRowSize> sizes;
    QSet<QString> seen;
    QStringList companions;
    for (const TickedNode& node : ticked) {
        if (!node.key.contains(kTableKeyPrefix)) continue;
        const QString table = tableOfNode(node.key);
        if (table.isEmpty() || seen.contains(table.toLower())) continue;
        seen.insert(table.toLower());
        TableRowSize size;
        size.table = table;
        size.nodeText = node.text;
        sizes << size;
        companions << table + QStringLiteral("_extradefine");
    }
    // What every table's companion uses, in one statement.
    if (userdef::g_SrvDB && !companions.isEmpty()) {
        const host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(RowSizeSql(companions));
        if (!rs)
            qCWarning(lcItemdef) << "row sizes not read:" << userdef::g_SrvDB->lastError();
        for (int r = 0; rs && r < rs->recordCount(); ++r) {
            const int i = rs->at(r, 0).toInt();
            if (i >= 0 && i < sizes.size()) sizes[i].used = int(numberOf(rs->textAt(r, 1)));
        }
    }
    for (TableRowSize& size : sizes) size.total = size.used + itemWidth;
    return sizes;
}

QString RowSizeNotice(const QVector<TableRowSize>& sizes) {
    QString over;
    for (const TableRowSize& s : sizes)
        if (s.over()) over += QLatin1Char('\n') + s.nodeText;
    if (over.isEmpty()) return {};
    QString notice = userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.Tip4000")) + over;
    notice += QStringLiteral("\n\n") + userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.RowSizes"));
    for (const TableRowSize& s : sizes) {
        const QStringList args = {s.nodeText, QString::number(s.used), QString::number(s.left())};
        notice +=
            QLatin1Char('\n') +
            (userdef::g_Pub ? userdef::g_Pub->GetResFormatString(
                                  QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.RowSizeLine"), args)
                            : args.join(QLatin1Char(' ')));
    }
    return notice;
}

}  // namespace itemdef
