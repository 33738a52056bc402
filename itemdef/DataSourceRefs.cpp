#include "itemdef/DataSourceRefs.h"

#include <QDomDocument>
#include <QRegularExpression>

#include "common/Globals.h"
#include "common/SessionNames.h"
#include "host/IConnection.h"
#include "host/Quote.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemdefLog.h"

namespace itemdef {

namespace {

void setError(QString* error, const QString& text) {
    qCWarning(lcItemdef) << text;
    if (error && error->isEmpty()) *error = text;
}

// An attribute by name in any letter case; empty when missing.
QString attributeOf(const QDomElement& element, const QString& name) {
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attr = attributes.item(i).toAttr();
        if (attr.name().compare(name, Qt::CaseInsensitive) == 0) return attr.value();
    }
    return {};
}

// The first element of a name anywhere in the document ("//name"), in any letter case.
QDomElement firstElement(const QDomDocument& doc, const QString& name) {
    QVector<QDomElement> pending{doc.documentElement()};
    while (!pending.isEmpty()) {
        const QDomElement e = pending.takeFirst();
        if (e.isNull()) continue;
        if (e.tagName().compare(name, Qt::CaseInsensitive) == 0) return e;
        // Document order: children before the following siblings.
        QVector<QDomElement> children;
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
            children << c;
        pending = children + pending;
    }
    return {};
}

// Every element of a name anywhere in the document, in document order.
QVector<QDomElement> allElements(const QDomElement& root, const QString& name) {
    QVector<QDomElement> out;
    if (root.isNull()) return out;
    if (root.tagName().compare(name, Qt::CaseInsensitive) == 0) out << root;
    for (QDomElement c = root.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
        out << allElements(c, name);
    return out;
}

void addReportArchives(ArchiveList& list, const userdef::SessionNames& shown, QString* error) {
    QString sql =
        userdef::g_Pub
            ? userdef::g_Pub->GetRptArchSQL(QStringLiteral("tableName, TableDefine, SystemId"))
            : QString();
    if (sql.trimmed().isEmpty()) sql = ReportArchivesFallbackSql();
    host::IConnection* cnn = userdef::g_SrvDB ? userdef::g_SrvDB->m_cnn() : nullptr;
    if (!cnn) return setError(error, QStringLiteral("archive list without a connection"));
    const host::RecordSetPtr rs = cnn->open(sql);
    if (!rs) return setError(error, cnn->lastError());
    const int name = rs->fieldIndex(QStringLiteral("tablename"));
    const int define = rs->fieldIndex(QStringLiteral("Tabledefine"));
    const int system = rs->fieldIndex(QStringLiteral("SystemId"));
    for (int r = 0; r < rs->recordCount(); ++r) {
        ArchiveEntry entry;
        entry.sName = host::variantText(rs->at(r, name));
        entry.sRemark = shown.archive(entry.sName, host::variantText(rs->at(r, define)).trimmed());
        entry.sSubID = system >= 0 ? host::variantText(rs->at(r, system)).trimmed() : QString();
        list.add(entry);
    }
}

// The column-setting key of a reference's metadata; empty when it is no XML or has none.
QString referenceKey(const QString& refMeta) {
    QDomDocument doc;
    if (!doc.setContent(refMeta)) return {};
    const QDomElement colSet = firstElement(doc, QStringLiteral("RefColSet"));
    return colSet.isNull() ? QString() : attributeOf(colSet, QStringLiteral("cKey")).trimmed();
}

// The user-defined references, read on a service of their own connected to the metadata
// database. A host that cannot give one (no factory, or it hands back the session's own
// service, which must keep its connection) is asked on the account connection instead, where the
// metadata database is attached under its name.
host::RecordSetPtr openReferences(QString* error) {
    if (!userdef::g_Login) {
        setError(error, QStringLiteral("no login for the metadata database"));
        return nullptr;
    }
    std::shared_ptr<host::IClsCommon> meta =
        userdef::g_Factory ? userdef::g_Factory->createSrvDB() : nullptr;
    if (meta && meta != userdef::g_SrvDB) {
        meta->init(userdef::g_Login->ZxMetaName());
        if (!meta->Status()) {
            setError(error, meta->lastError());
            return nullptr;
        }
        host::RecordSetPtr rs = meta->OpenX(UserDefinedReferencesSql());
        if (!rs) setError(error, meta->lastError());
        return rs;
    }
    if (!userdef::g_SrvDB) {
        setError(error, QStringLiteral("no server database service"));
        return nullptr;
    }
    host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(
        UserDefinedReferencesSql(QStringLiteral("ZxMeta_") + userdef::g_Login->cAcc_id()));
    if (!rs) setError(error, userdef::g_SrvDB->lastError());
    return rs;
}

void addUserDefinedReferences(ArchiveList& list, const userdef::SessionNames& shown,
                              QString* error) {
    const host::RecordSetPtr rs = openReferences(error);
    if (!rs) return;
    const int id = rs->fieldIndex(QStringLiteral("cRefID"));
    const int refMeta = rs->fieldIndex(QStringLiteral("cRefMeta"));
    const int name = rs->fieldIndex(QStringLiteral("cRefName"));
    for (int r = 0; r < rs->recordCount(); ++r) {
        const QString key = referenceKey(host::variantText(rs->at(r, refMeta)));
        if (key.isEmpty()) continue;
        ArchiveEntry entry;
        entry.sName =
            QLatin1Char('[') + host::variantText(rs->at(r, id)).trimmed() + QLatin1Char(']');
        entry.sRemark = shown.archive(entry.sName, host::variantText(rs->at(r, name)));
        entry.Tag = key;
        list.add(entry);
    }
}

void addReferenceFields(FieldList& fields, const ArchiveEntry& archive, QString* error) {
    if (!userdef::g_ColSet || !userdef::g_Login)
        return setError(error, QStringLiteral("no column-setting service"));
    userdef::g_ColSet->init(userdef::g_Login->ZxDbName(), userdef::g_Login->cUserId());
    const QString xml = userdef::g_ColSet->getColInfo(archive.Tag, QString(), true);
    QDomDocument doc;
    if (!doc.setContent(xml))
        return setError(error, QStringLiteral("column settings of %1 are no XML").arg(archive.Tag));
    const userdef::SessionNames shown = userdef::SessionNames::read();
    for (const QDomElement& col : allElements(doc.documentElement(), QStringLiteral("ColSet"))) {
        const QString fld = attributeOf(col, QStringLiteral("cFld"));
        const QString caption = attributeOf(col, QStringLiteral("cCaption"));
        if (fld.isEmpty() || fld.toLower() == QLatin1String("selcol") ||
            caption.toLower() == QLatin1String("primarykey"))
            continue;
        const QString query = attributeOf(col, QStringLiteral("cQryField"));
        FieldEntry entry;
        entry.sName = query.isEmpty() ? fld : query;
        entry.sRemark = shown.referenceColumn(archive.Tag, fld, caption);
        fields.add(entry);
    }
}

void addReportFields(FieldList& fields, const ArchiveEntry& archive, int itemType, QString* error) {
    if (!userdef::g_SrvDB) return setError(error, QStringLiteral("no server database service"));
    const QString sql = archive.sName.toLower().contains(QLatin1String("fitemss"))
                            ? ProjectItemFieldsSql(archive.sName)
                            : ReportArchiveFieldsSql(archive.sName);
    const host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(sql);
    if (!rs) return setError(error, userdef::g_SrvDB->lastError());
    const int name = rs->fieldIndex(QStringLiteral("FieldName"));
    const int def = rs->fieldIndex(QStringLiteral("FieldDef"));
    const int type = rs->fieldIndex(QStringLiteral("FieldType"));
    const userdef::SessionNames shown = userdef::SessionNames::read();
    for (int r = 0; r < rs->recordCount(); ++r) {
        const QString typeText = host::variantText(rs->at(r, type)).trimmed();
        if (!FieldTypeFits(itemType, typeText)) continue;
        FieldEntry entry;
        entry.sName = host::variantText(rs->at(r, name));
        entry.sRemark = shown.archiveField(archive.sName, entry.sName, host::variantText(rs->at(r, def)));
        entry.nDataType = FieldTypeCode(typeText);
        fields.add(entry);
    }
}

}  // namespace

// ---- statements ----

QString ReportArchivesFallbackSql() {
    return QStringLiteral(
        "select TableName,TableDefine,SystemId from Rpt_GRPDef where Tablename in "
        "('AA_Bank','Bank','Code','ComputationGroup','ComputationUnit','Customer','CustomerClass',"
        "'Department','districtClass','ExpenseItem','ForeignCurrency','GL_bdigest','Inventory','',"
        "'InventoryClass','Paycondition','Person','Position','PurchaseType','Rd_Style','SaleType',"
        "'SettleStyle','ShippingChoice','Vendor','VendorClass','Warehouse','Wastage','Reason',"
        "'Hr_hi_Person','CustomerRank','Crm_Contact','TradeClass','nb_payunitclass',"
        "'nb_payunitInfo','sfc_workcenter','sfc_workshift','HR_CT014','HR_CT015','hr_om_duty',"
        "'HR_CT050','HR_CT051','hr_om_job') Order by Tabledefine, SystemId, TableName");
}

QString UserDefinedReferencesSql(const QString& metaDatabase) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QString table = metaDatabase.isEmpty() ? QStringLiteral("refdesign")
                          : plain.match(metaDatabase).hasMatch()
                              ? metaDatabase + QStringLiteral("..refdesign")
                              : host::sqlIdent(metaDatabase) + QStringLiteral("..refdesign");
    return QStringLiteral("Select A.cRefID, A.cRefMeta,a.cRefName From ") + table +
           QStringLiteral(
               " A Where A.IsUserDefRef=1 and isnull(a.cParentRefid,'')<>''  Order by a.cRefName");
}

QString ProjectItemFieldsSql(const QString& table) {
    const QString t = host::sqlValue(table);
    return QStringLiteral("select a.cfield_name as FieldName ,'") + t +
           QStringLiteral("' as TableName,'") + t +
           QStringLiteral(
               "' as TableDef, case when b.cfield_name is null then a.ctext else b.ctext  end  "
               "FieldDef, a.itype as FieldType,i_id as FieldID  from fitemstructure a left join "
               "fitemstrumode b on a.cfield_name =b.cfield_name and b.LocaleID "
               "=DBO.UDF_GetLocaleID() where a.bref=1 and a.isubItem=0 and citem_class ='") +
           host::sqlValue(table.right(2)) + QLatin1Char('\'');
}

QString ReportArchiveFieldsSql(const QString& table) {
    return QStringLiteral("select * from Rpt_ItmDef Where TableName='") + host::sqlValue(table) +
           QStringLiteral("'  Order by FieldDef");
}

// ---- archives ----

ArchiveList LoadArchiveList(QString* error) {
    ArchiveList list;
    const userdef::SessionNames shown = userdef::SessionNames::read();
    addReportArchives(list, shown, error);
    addUserDefinedReferences(list, shown, error);
    return list;
}

bool ArchiveExists(const ArchiveList& list, const QString& sName) {
    return list.contains(ArchiveList::keyOf(sName));
}

host::RecordSetPtr ArchiveLookupRecords(const ArchiveList& list) {
    QVector<host::FieldInfo> fields = {{QStringLiteral("key"), host::FieldType::VarWChar, 0},
                                       {QStringLiteral("name"), host::FieldType::VarWChar, 0}};
    QVector<QVector<QVariant>> rows;
    rows.reserve(list.size());
    for (const ArchiveEntry& e : list.entries()) rows.append({e.sName, e.sRemark});
    return std::make_shared<host::RecordSet>(std::move(fields), std::move(rows));
}

QString ArchiveRefName(const QString& languageRegion) {
    const QString region = languageRegion.trimmed().toLower();
    if (region == QLatin1String("zh-tw")) return QStringLiteral("檔案名稱");
    if (region == QLatin1String("en-us")) return QStringLiteral("Archive Name");
    return QStringLiteral("档案名称");
}

// ---- fields ----

int FieldTypeCode(const QString& typeText) {
    const QString t = typeText.trimmed().toLower();
    static const QHash<QString, int> codes = {
        {"bit", 0},           {"char", 1},      {"varchar", 1},     {"text", 1},
        {"nchar", 1},         {"nvarchar", 1},  {"ntext", 1},       {"int", 2},
        {"smallint", 2},      {"tinyint", 2},   {"bigint", 3},      {"float", 4},
        {"money", 4},         {"decimal", 4},   {"double", 4},      {"numeric", 4},
        {"smallmoney", 4},    {"real", 4},      {"userdecimal", 4}, {"datetime", 5},
        {"smalldatetime", 5}, {"timestamp", 5},
    };
    const auto it = codes.constFind(t);
    if (it != codes.cend()) return *it;
    bool ok = false;
    const double n = t.toDouble(&ok);
    return ok && n > 0 ? int(n) : -1;
}

QString AcceptedFieldTypes(int itemType) {
    switch (itemType) {
        case kText:
            return QStringLiteral("'nchar', 'nvarchar', 'varchar', 'char','3'");
        case kDate:
            return QStringLiteral("'timestamp','datetime','smalldatetime','date','4'");
        case kInteger:
            return QStringLiteral("'int','smallint','bigint','5','1'");
        case kNumber:
            return QStringLiteral("'float','numeric','decimal','double','8','2'");
        case kDateTime:
            return QStringLiteral("'datetime','smalldatetime'");
        default:
            return {};
    }
}

bool FieldTypeFits(int itemType, const QString& typeText) {
    const QString t = typeText.trimmed().toLower();
    if (t.isEmpty()) return false;
    return AcceptedFieldTypes(itemType).contains(t) || t.contains(QLatin1String("varchar"));
}

FieldList LoadArchiveFields(const ArchiveEntry& archive, int itemType, QString* error) {
    FieldList fields;
    if (archive.sName.startsWith(QLatin1Char('[')))
        addReferenceFields(fields, archive, error);
    else
        addReportFields(fields, archive, itemType, error);
    return fields;
}

QString FieldDisplayName(const FieldList& fields, const QString& relField, bool adding,
                         const QString& current) {
    if (!adding) return current;
    for (const FieldEntry& f : fields.entries())
        if (f.sName == relField) return f.sRemark;
    return current;
}

}  // namespace itemdef
