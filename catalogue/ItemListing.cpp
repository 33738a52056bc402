#include "catalogue/ItemListing.h"

#include <QLoggingCategory>

#include "common/ResText.h"
#include "common/Globals.h"
#include "common/NameTables.h"
#include "host/IGrid.h"
#include "host/Quote.h"
#include "host/RecordSet.h"
#include "itemdef/ItemRecord.h"

#include "catalogue/CatalogueLog.h"

namespace catalogue {

namespace {

const QString kOrderBy = QStringLiteral(" order by cClass ,cast(cid as int) asc,cItem ASC ");


QString nameAt(const QStringList& table, int index) {
    return index >= 0 && index < table.size() ? table.at(index) : QString();
}

int columnWithHeader(const host::IGrid& grid, const QString& key) {
    const QString wanted = userdef::ResText(key).toLower();
    for (int c = 1; c < grid.cols(); ++c)
        if (grid.text(0, c).toLower() == wanted) return c;
    return -1;
}

QString shownLabel(QString label) {
    // "扩展自定义项" holds "自定义项": the longer prefix is replaced first.
    static const int order[] = {itemdef::kExtendedItem, itemdef::kUserDefinedItem,
                                itemdef::kFreeItem, itemdef::kPropertyItem};
    for (const int kind : order)
        label.replace(itemdef::kindKeys().at(kind), nameAt(userdef::g_ItemKinds, kind));
    return label;
}

QString shownType(const QString& stored) {
    return nameAt(userdef::g_DataTypes, itemdef::typePosition(stored));
}

QString shownDataSource(const QString& stored) {
    if (stored.size() == 1) return nameAt(userdef::g_DataSource, stored.at(0) == QLatin1Char('1') ? 1 : 0);
    bool ok = false;
    const double value = stored.trimmed().toDouble(&ok);
    return nameAt(userdef::g_DataSource, ok && value == 1 ? 1 : 0);
}

}  // namespace

const QStringList& listHeaderKeys() {
    static const QStringList keys = {
        QStringLiteral("Q9.AA.ARCHIVE.COMMON.serialnumber"),
        QStringLiteral("Q9.AA.ARCHIVE.COMMON.serialnumber"),
        QStringLiteral("Q9.AA.USERDEF.cclass"),
        QStringLiteral("Q9.AA.USERDEF.citem"),
        QStringLiteral("Q9.AA.USERDEF.ctype"),
        QStringLiteral("Q9.AA.USERDEF.imaxlen"),
        QStringLiteral("Q9.AA.USERDEF.citemname"),
        QStringLiteral("Q9.AA.USERDEF.ilength"),
        QStringLiteral("Q9.AA.USERDEF.idecimaldigits"),
        QStringLiteral("Q9.AA.USERDEF.bfixlength"),
        QStringLiteral("Q9.AA.USERDEF.bcheckval"),
        QStringLiteral("Q9.AA.USERDEF.binput"),
        QStringLiteral("Q9.AA.USERDEF.barchive"),
        QStringLiteral("Q9.AA.USERDEF.idatasource"),
        QStringLiteral("Q9.AA.USERDEF.crelarchive"),
        QStringLiteral("Q9.AA.USERDEF.crelfield"),
        QStringLiteral("Q9.AA.ARCHIVE.ConstraintUserdefine"),
        QStringLiteral("Q9.AA.ARCHIVE.AttachFile"),
        QStringLiteral("Q9.AA.USERDEF.bisuserdefpic"),
        QStringLiteral("Q9.AA.ZxGeneralFilter.frmDesignerItem.sstab.ZxFrame1.Label4.Caption"),
    };
    return keys;
}

QString listHeaderText(int col) {
    if (col < 0 || col >= listHeaderKeys().size()) return {};
    return userdef::ResText(listHeaderKeys().at(col));
}

QString listingSql(const QString& classKey) {
    QString sql = QStringLiteral("Select ") + kListFields + QStringLiteral(" from UserDef_Parent ");
    if (classKey != kRootKey)
        sql = QStringLiteral("Select ") + kListFields +
              QStringLiteral(" from UserDef_Parent where cClass='") + host::sqlValue(classKey) +
              QStringLiteral("' ");
    return sql + kOrderBy;
}

QString emptyListingSql() {
    return QStringLiteral("select ") + kListFields + QStringLiteral(" from UserDef_Parent where 1=2 ");
}

FieldShow fieldShow(int fieldType) {
    switch (fieldType) {
        case host::FieldType::Boolean: return FieldShow::Flag;
        case host::FieldType::Binary:
        case host::FieldType::VarBinary:
        case host::FieldType::LongVarBinary: return FieldShow::Binary;
        default: return FieldShow::Text;
    }
}

QString displayText(const QVariant& value, FieldShow show) {
    switch (show) {
        case FieldShow::Flag:
            return nameAt(userdef::g_YesNo, itemdef::flagValue(value) ? 1 : 0);
        case FieldShow::Binary:
            return nameAt(userdef::g_YesNo,
                          host::variantText(value).toLower() == QLatin1String("true") ? 1 : 0);
        case FieldShow::Text:
            break;
    }
    switch (value.typeId()) {
        case QMetaType::QString: return *static_cast<const QString*>(value.constData());
        case QMetaType::Int: {
            // Lengths and codes repeat: small numbers share one text each.
            static const QStringList small = [] {
                QStringList texts;
                for (int i = 0; i < 1024; ++i) texts << QString::number(i);
                return texts;
            }();
            const int n = *static_cast<const int*>(value.constData());
            return n >= 0 && n < small.size() ? small.at(n) : QString::number(n);
        }
        default: return host::variantText(value);
    }
}

QString fieldDisplayText(const host::RecordSet& rs, int row, int field) {
    return fieldDisplayText(rs, row, field, fieldShow(rs.field(field).type));
}

QString fieldDisplayText(const host::RecordSet& rs, int row, int field, FieldShow show) {
    // Text is made straight from the stored value, without a QVariant between.
    if (show == FieldShow::Text) return rs.textAt(row, field);
    return displayText(rs.at(row, field), show);
}

CodedColumns::CodedColumns(const host::IGrid& grid, RelatedArchiveNames& names)
    : m_names(names), m_kinds(size_t(std::max(grid.cols(), 0)), Plain) {
    const QList<QPair<const char*, Kind>> keys = {{"Q9.AA.USERDEF.cclass", Class},
                                                  {"Q9.AA.USERDEF.citem", Label},
                                                  {"Q9.AA.USERDEF.ctype", Type},
                                                  {"Q9.AA.USERDEF.idatasource", Source}};
    for (const auto& [key, kind] : keys) {
        const int col = columnWithHeader(grid, QString::fromLatin1(key));
        if (col > 0) m_kinds[size_t(col)] = kind;
    }
    m_archiveCol = columnWithHeader(grid, QStringLiteral("Q9.AA.USERDEF.crelarchive"));
    m_fieldCol = columnWithHeader(grid, QStringLiteral("Q9.AA.USERDEF.crelfield"));
    for (int i = 0; i < userdef::classKeys().size(); ++i)
        m_classTexts.insert(userdef::classKeys().at(i), nameAt(userdef::g_ClassNames, i));
}

QString CodedColumns::shown(int col, const QString& stored) {
    if (col < 0 || size_t(col) >= m_kinds.size()) return stored;
    const Kind kind = m_kinds[size_t(col)];
    if (kind == Plain) return stored;
    // The listing is sorted by class: neighbouring rows mostly repeat a class and a type.
    Last& last = m_last[kind];
    if (last.valid && last.stored == stored) return last.shown;
    QString shown;
    switch (kind) {
        case Class: {
            const auto it = m_classTexts.constFind(stored);
            shown = it == m_classTexts.constEnd() ? stored : *it;
            break;
        }
        case Label: {
            qsizetype cut = stored.size();
            while (cut > 0 && stored.at(cut - 1).isDigit()) --cut;
            const QStringView head = QStringView(stored).left(cut);
            auto it = std::find_if(m_labelHeads.begin(), m_labelHeads.end(),
                                   [head](const auto& known) { return known.first == head; });
            if (it == m_labelHeads.end()) {
                const QString text = head.toString();
                m_labelHeads.emplace_back(text, shownLabel(text));
                it = m_labelHeads.end() - 1;
            }
            if (it->second == it->first) return stored;  // the language shows the stored kind
            return it->second + stored.mid(cut);
        }
        case Type: shown = shownType(stored); break;
        case Source: shown = shownDataSource(stored); break;
        case Plain: break;
    }
    last = {true, stored, shown};
    return shown;
}

void CodedColumns::localiseRelated(host::IGrid& grid, int row) {
    if (m_archiveCol <= 0 || m_fieldCol <= 0) return;
    const QString archive = grid.text(row, m_archiveCol);
    if (archive.isEmpty()) return;
    const auto [shownArchive, shownField] = m_names.resolve(archive, grid.text(row, m_fieldCol));
    grid.setText(row, m_archiveCol, shownArchive);
    grid.setText(row, m_fieldCol, shownField);
}

void localiseCodedColumns(host::IGrid& grid, RelatedArchiveNames& names) {
    CodedColumns coded(grid, names);
    for (int r = 1; r < grid.rows(); ++r) {
        for (int c = 1; c < grid.cols(); ++c) {
            const QString stored = grid.text(r, c);
            const QString text = coded.shown(c, stored);
            if (text != stored) grid.setText(r, c, text);
        }
        coded.localiseRelated(grid, r);
    }
}

}  // namespace catalogue
