#include "catalogue/ItemListing.h"

#include <QDomDocument>
#include <QLoggingCategory>

#include "common/Globals.h"
#include "common/NameTables.h"
#include "host/IGrid.h"
#include "host/Quote.h"
#include "host/RecordSet.h"
#include "itemdef/ItemRecord.h"

Q_LOGGING_CATEGORY(lcCatalogue, "userdef.catalogue", QtWarningMsg)

namespace catalogue {

namespace {

const QString kOrderBy = QStringLiteral(" order by cClass ,cast(cid as int) asc,cItem ASC ");

QString res(const QString& key) {
    return userdef::g_Pub ? userdef::g_Pub->GetResString(key) : key;
}

QString nameAt(const QStringList& table, int index) {
    return index >= 0 && index < table.size() ? table.at(index) : QString();
}

int columnWithHeader(const host::IGrid& grid, const QString& key) {
    const QString wanted = res(key).toLower();
    for (int c = 1; c < grid.cols(); ++c)
        if (grid.text(0, c).toLower() == wanted) return c;
    return -1;
}

QString shownLabel(QString label) {
    static const QList<QPair<QString, int>> kinds = {{QStringLiteral("扩展自定义项"), 3},
                                                     {QStringLiteral("自定义项"), 1},
                                                     {QStringLiteral("自由项"), 0},
                                                     {QStringLiteral("属性"), 2}};
    for (const auto& [stored, index] : kinds)
        label.replace(stored, nameAt(userdef::g_ItemKinds, index));
    return label;
}

QString shownType(const QString& stored) {
    static const QHash<QString, int> types = {
        {QStringLiteral("文本"), 0}, {QStringLiteral("日期"), 1},     {QStringLiteral("整数"), 2},
        {QStringLiteral("整型"), 2}, {QStringLiteral("数字"), 3}, {QStringLiteral("日期时间"), 4}};
    const auto it = types.constFind(stored);
    return it == types.constEnd() ? QString() : nameAt(userdef::g_DataTypes, *it);
}

QString shownDataSource(const QString& stored) {
    bool ok = false;
    const double value = stored.trimmed().toDouble(&ok);
    return nameAt(userdef::g_DataSource, ok && value == 1 ? 1 : 0);
}

QString firstValue(const host::RecordSetPtr& rs, const QString& field) {
    if (!rs || rs->isEmpty()) return {};
    rs->moveFirst();
    return rs->text(field);
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
        QStringLiteral("图片"),
        QStringLiteral("Q9.AA.ZxGeneralFilter.frmDesignerItem.sstab.ZxFrame1.Label4.Caption"),
    };
    return keys;
}

QString listHeaderText(int col) {
    if (col < 0 || col >= listHeaderKeys().size()) return {};
    if (col == 18) return listHeaderKeys().at(col);  // a literal
    return res(listHeaderKeys().at(col));
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

QString fieldDisplayText(const host::RecordSet& rs, int row, int field) {
    const QVariant& value = rs.at(row, field);
    switch (rs.field(field).type) {
        case host::FieldType::Boolean:
            return nameAt(userdef::g_YesNo, itemdef::flagValue(value) ? 1 : 0);
        case host::FieldType::Binary:
        case host::FieldType::VarBinary:
        case host::FieldType::LongVarBinary:
            return nameAt(userdef::g_YesNo,
                          host::variantText(value).toLower() == QLatin1String("true") ? 1 : 0);
        default:
            return host::variantText(value);
    }
}

QPair<QString, QString> RelatedArchiveNames::resolve(const QString& archive, const QString& field) {
    const QPair<QString, QString> key(archive, field);
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd()) return *cached;

    QPair<QString, QString> shown = key;
    if (!userdef::g_SrvDB) {
        qCWarning(lcCatalogue) << "related archives without a server database service";
        return shown;
    }
    host::IClsCommon& srv = *userdef::g_SrvDB;
    ++m_statements;
    const host::RecordSetPtr report = srv.OpenX(
        QStringLiteral("select Rpt_GRPDef_Item.TableName,TableDefine,FieldName,FieldDef from "
                       "Rpt_GRPDef_Item Left Join Rpt_ItmDef On "
                       "Rpt_GRPDef_Item.TableName=Rpt_ItmDef.TableName where "
                       "Rpt_GRPDef_Item.SystemId='AS' and Rpt_GRPDef_Item.TableName='") +
        host::sqlValue(archive) + QStringLiteral("' and Rpt_ItmDef.FieldName='") +
        host::sqlValue(field) + QStringLiteral("'"));
    if (report && !report->isEmpty()) {
        report->moveFirst();
        shown = {report->text(QStringLiteral("TableDefine")), report->text(QStringLiteral("FieldDef"))};
    } else {
        const QString meta = host::sqlIdent(QStringLiteral("ZxMeta_") + m_accountId);
        ++m_statements;
        const host::RecordSetPtr ref = srv.OpenX(
            QStringLiteral("Select A.cRefID, A.cRefMeta,a.cRefName From ") + meta +
            QStringLiteral("..refdesign A Where '[' + a.cRefID + ']' ='") + host::sqlValue(archive) +
            QStringLiteral("' and  A.IsUserDefRef=1 and isnull(a.cParentRefid,'')<>''  Order by "
                           "a.cRefName"));
        if (ref && !ref->isEmpty()) {
            ref->moveFirst();
            shown.first = ref->text(QStringLiteral("cRefName"));
            // The reference's column dictionary key; without one the field keeps its text.
            QDomDocument doc;
            const QDomNodeList sets = doc.setContent(ref->text(QStringLiteral("cRefMeta")))
                                          ? doc.elementsByTagName(QStringLiteral("RefColSet"))
                                          : QDomNodeList();
            if (!sets.isEmpty()) {
                const QString colKey = sets.at(0).toElement().attribute(QStringLiteral("cKey"));
                ++m_statements;
                const QString caption = firstValue(
                    srv.OpenX(QStringLiteral("select  top 1 cCaption  from ") + meta +
                              QStringLiteral("..AA_ColumnDic where cKey='") + host::sqlValue(colKey) +
                              QStringLiteral("' and cFld ='") + host::sqlValue(field) +
                              QStringLiteral("'")),
                    QStringLiteral("cCaption"));
                if (!caption.isEmpty()) shown.second = caption;
            } else {
                qCWarning(lcCatalogue) << "reference" << archive << "has no column set";
            }
        }
    }
    m_cache.insert(key, shown);
    return shown;
}

void localiseCodedColumns(host::IGrid& grid, RelatedArchiveNames& names) {
    const int rows = grid.rows();
    const int classCol = columnWithHeader(grid, QStringLiteral("Q9.AA.USERDEF.cclass"));
    const int itemCol = columnWithHeader(grid, QStringLiteral("Q9.AA.USERDEF.citem"));
    const int typeCol = columnWithHeader(grid, QStringLiteral("Q9.AA.USERDEF.ctype"));
    const int sourceCol = columnWithHeader(grid, QStringLiteral("Q9.AA.USERDEF.idatasource"));
    const int archiveCol = columnWithHeader(grid, QStringLiteral("Q9.AA.USERDEF.crelarchive"));
    const int fieldCol = columnWithHeader(grid, QStringLiteral("Q9.AA.USERDEF.crelfield"));
    const QStringList& classKeys = userdef::classKeys();

    for (int r = 1; r < rows; ++r) {
        if (classCol > 0) {
            const int index = int(classKeys.indexOf(grid.text(r, classCol)));
            if (index >= 0) grid.setText(r, classCol, nameAt(userdef::g_ClassNames, index));
        }
        if (itemCol > 0) grid.setText(r, itemCol, shownLabel(grid.text(r, itemCol)));
        if (typeCol > 0) grid.setText(r, typeCol, shownType(grid.text(r, typeCol)));
        if (sourceCol > 0) grid.setText(r, sourceCol, shownDataSource(grid.text(r, sourceCol)));
        if (archiveCol > 0 && fieldCol > 0) {
            const QString archive = grid.text(r, archiveCol);
            if (archive.isEmpty()) continue;
            const auto [shownArchive, shownField] = names.resolve(archive, grid.text(r, fieldCol));
            grid.setText(r, archiveCol, shownArchive);
            grid.setText(r, fieldCol, shownField);
        }
    }
}

}  // namespace catalogue
