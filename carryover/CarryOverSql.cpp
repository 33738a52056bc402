#include "carryover/CarryOverSql.h"

#include <QStringList>

#include "host/Quote.h"

namespace carryover {

namespace {

const QString kEnumType = QStringLiteral("b.EnumType='Q9.AA.ARCHIVE.ExtendDefineTable.Type'");
const QString kLocale = QStringLiteral("(b.localeID=dbo.UDF_GetLocaleID())");

bool is(const QString& code, const char* value) { return code == QLatin1String(value); }

// A host table's short description as the session shows it: its caption in the session's
// language where the account has one, else the stored one. `alias` names AA_DefineExtend.
QString ShownTableDesc(const char* alias) {
    return QStringLiteral("COALESCE((SELECT NULLIF(l.TableDesc,'') FROM AA_DefineExtend_lang l "
                          "WHERE l.cTableName=%1.cTableName AND l.LocaleID=dbo.UDF_GetLocaleID()),"
                          "%1.TableDesc)")
        .arg(QLatin1String(alias));
}

// The rows whose table (alias) is shown or named with `text` in it.
QString TableFilter(const char* alias, const QString& text) {
    const QString like = QStringLiteral(" LIKE '%") + host::sqlValue(text) + QStringLiteral("%'");
    return QStringLiteral(" AND (") + ShownTableDesc(alias) + like + QStringLiteral(" OR ") +
           QLatin1String(alias) + QStringLiteral(".cTableName") + like + QStringLiteral(") ");
}

}  // namespace

QString ChooserSelectSql() {
    return QStringLiteral(
        "SELECT ctype,enumname,ctabledesc,ctablename,csub_id,dbo.getAllSubName_ExtendDefine("
        "csub_id) as csubfullname FROM AA_DefineExtend a join AA_Enum b on a.ctype=b.EnumCode  ");
}

QString SourceTableCondition() {
    return kEnumType +
           QStringLiteral(" and  ctype in ('B','H','B,H','H,B') and ctablename in (SELECT "
                          "ctableName FROM AA_ExtendDefineMakeVouch_sub) and ") +
           kLocale + QStringLiteral("  ");
}

QString TargetTableConditionOnOpening() {
    return QStringLiteral(" ") + kEnumType +
           QStringLiteral(" and ctype in ('B','H','B,H','H,B')  and ") + kLocale +
           QStringLiteral(" ");
}

QString TargetTableCondition(const QString& sourceType, const QString& sourceTable) {
    return kEnumType + QStringLiteral(" and ctype IN ") + TargetTypeList(sourceType) +
           QStringLiteral(" and ctablename in (SELECT cTargetTable FROM "
                          "AA_ExtendDefineMakeVouch_sub WHERE ctablename='") +
           host::sqlValue(sourceTable) + QStringLiteral("')  and ") + kLocale +
           QStringLiteral(" ");
}

QString SourceTablesSql() {
    return ChooserSelectSql() + QStringLiteral("WHERE ") + SourceTableCondition() +
           QStringLiteral(" Order by ctype DESC,ctabledesc");
}

QString TargetTypeList(const QString& sourceType) {
    if (is(sourceType, "B")) return QStringLiteral(" ('B','B,H','H,B') ");
    if (is(sourceType, "H")) return QStringLiteral(" ('H','B,H','H,B') ");
    if (is(sourceType, "B,H") || is(sourceType, "H,B"))
        return QStringLiteral(" ('B','H','B,H','H,B') ");
    return {};
}

QString ItemColumnCondition(const QString& typeCode) {
    if (is(typeCode, "B")) return QStringLiteral(" a.cDicDbName Like 'cBDefine%' ");
    if (is(typeCode, "H")) return QStringLiteral(" a.cDicDbName Like 'cHDefine%' ");
    if (is(typeCode, "B,H") || is(typeCode, "H,B"))
        return QStringLiteral(" (a.cDicDbName Like 'cBDefine%' OR a.cDicDbName Like 'cHDefine%') ");
    return {};
}

QString BatchChooserSelectSql(bool target) {
    const QString tables = target ? QStringLiteral("SELECT cTargetTable FROM AA_ExtendDefineMakeVouch_sub")
                                  : QStringLiteral("SELECT ctableName FROM AA_ExtendDefineMakeVouch_sub");
    return QStringLiteral(" SELECT ctype,enumname,tabledesc,ctablename,csub_id,csubfullname FROM ") +
           QStringLiteral(" (SELECT ctype,enumname,") + ShownTableDesc("a") +
           QStringLiteral(" AS tabledesc,ctablename,csub_id,") +
           QStringLiteral(" dbo.getAllSubName_ExtendDefine(csub_id) as csubfullname ") +
           QStringLiteral(" FROM AA_DefineExtend a join AA_Enum b on a.ctype=b.EnumCode ") +
           QStringLiteral(" WHERE ") + kEnumType +
           QStringLiteral(" and  ctype in ('B','H','B,H','H,B') and ctablename in (") + tables +
           QStringLiteral(") and ") + kLocale + QStringLiteral(" ) NEWTABLE ");
}

QString BatchChooserOrder(bool target) {
    return target ? QStringLiteral("Order by ctype DESC,tabledesc ")
                  : QStringLiteral("Order by ctype DESC,tabledesc");
}

QString SharedItemsSql(const QString& typeCode, const QString& sourceTable,
                       const QString& targetTable) {
    const QString half =
        QStringLiteral(" SELECT cItemName,'' as btrans,'' as cdesc,cDicDbName,'' AS guid FROM "
                       "dbo.UserDef a JOIN UserDefDetail b ON a.cID=b.cID ") +
        QStringLiteral(" Where ") + ItemColumnCondition(typeCode) +
        QStringLiteral(" AND b.tablename=N'") + host::sqlValue(sourceTable) +
        QStringLiteral("' AND a.cDicDbName IN ") +
        QStringLiteral(" (SELECT cDicDbName FROM dbo.UserDef a JOIN UserDefDetail b ON "
                       "a.cID=b.cID Where b.tablename=N'") +
        host::sqlValue(targetTable) + QStringLiteral("')");
    return half + QStringLiteral(" UNION") + half + QStringLiteral(" Order by cDicDbName ASC ");
}

QString FieldPairBatch(const QString& sourceTable, const QString& targetTable,
                       const QString& column) {
    const QString insert = QStringLiteral(" Insert into #AA_ExtendDefineFieldsForMakeVouch values('");
    return QStringList{
        QStringLiteral(" if not (select object_id('Tempdb..#AA_ExtendDefineFieldsForMakeVouch')) "
                       "is null "),
        QStringLiteral(" DROP TABLE #AA_ExtendDefineFieldsForMakeVouch "),
        QStringLiteral(" Create table #AA_ExtendDefineFieldsForMakeVouch(ctablename "
                       "nvarchar(200),cextendfield nvarchar(200))"),
        insert + host::sqlValue(sourceTable) + QStringLiteral("','") + host::sqlValue(column) +
            QStringLiteral("') "),
        insert + host::sqlValue(targetTable) + QStringLiteral("','") + host::sqlValue(column) +
            QStringLiteral("') ")}
        .join(QStringLiteral("\r\n"));
}

QString FieldPairJoinSql() {
    return QStringLiteral(
               " SELECT  Sub.cMakeVouchID,base.cSub_id,sub.cType,source.cextendfield,"
               "target.cextendfield,source.ctablename,target.ctablename,1,base.cDesc") +
           QStringLiteral(" FROM #AA_ExtendDefineFieldsForMakeVouch source") +
           QStringLiteral(" INNER JOIN #AA_ExtendDefineFieldsForMakeVouch target ON "
                          "source.cextendfield = target.cextendfield ") +
           QStringLiteral(" INNER JOIN AA_ExtendDefineMakeVouch_sub Sub ON source.ctablename = "
                          "Sub.ctablename AND target.ctablename = Sub.ctargettable ") +
           QStringLiteral(" INNER JOIN AA_ExtendDefineMakeVouch_base base ON sub.cMakeVouchID = "
                          "base.cMakeVouchID");
}

QString RuleListHead(bool batchPrint) {
    const QString source = batchPrint ? QStringLiteral("TableName.TableDesc")
                                      : QStringLiteral("TableName.cTableDesc");
    const QString target = batchPrint ? QStringLiteral("TargetTable.TableDesc")
                                      : QStringLiteral("TargetTable.cTableDesc");
    return QStringLiteral("SELECT ") +
           (QStringLiteral("cMakeVouchID,MakeVouch_Set.cTableName,") + source +
            QStringLiteral(" AS cTableNameDesc,cTargetTable,") + target +
            QStringLiteral(" AS cTargetTableDesc,cextendfield,cextendfield.cItemName AS "
                           "cextendfieldDesc,ctargetfield,ctargetfield.cItemName AS "
                           "ctargetfieldDesc,MakeVouch_Set.ctype,btrans,cdesc,MakeVouch_Set."
                           "cSub_id,MakeVouch_Set.guid ")) +
           QStringLiteral(" FROM AA_ExtendDefineMakeVouch_Set MakeVouch_Set") +
           QStringLiteral(" JOIN AA_DefineExtend TableName ON "
                          "TableName.cTableName=MakeVouch_Set.cTableName ") +
           QStringLiteral(" JOIN AA_DefineExtend TargetTable ON "
                          "TargetTable.cTableName=MakeVouch_Set.cTargetTable ") +
           QStringLiteral(" JOIN userdef cextendfield ON cextendfield.cDicDbName = "
                          "MakeVouch_Set.cextendfield ");
}

QString RuleListLastJoin() {
    return QStringLiteral(
        " JOIN userdef ctargetfield ON ctargetfield.cDicDbName = MakeVouch_Set.ctargetfield");
}

QString RuleListSql(const QString& condition) {
    QString where = QStringLiteral(" WHERE btrans=1");
    if (!condition.isEmpty()) {
        QString c = condition;
        if (!c.contains(QLatin1String("MakeVouch_Set")))
            c.replace(QStringLiteral("ctablename"), QStringLiteral("MakeVouch_Set.ctablename"));
        where += QStringLiteral(" and ") + c + QStringLiteral(" ");
    }
    return RuleListHead() + RuleListLastJoin() + where +
           QStringLiteral(" order by MakeVouch_Set.cTableName,cTargetTable ");
}

QString RuleListColumnsSql() {
    return RuleListHead() + RuleListLastJoin() + QStringLiteral(" where 1=2 ");
}

QString BatchPrintColumnsSql() {
    return RuleListHead(true) + RuleListLastJoin() + QStringLiteral("  where 1=2");
}

QString RulesOfPairSql(const QString& sourceTable, const QString& targetTable) {
    return RuleListHead() + RuleListLastJoin() +
           QStringLiteral(" where MakeVouch_Set.cTableName='") + host::sqlValue(sourceTable) +
           QStringLiteral("' and cTargetTable='") + host::sqlValue(targetTable) +
           QStringLiteral("' ");
}

QString DescriptionFilters(const QString& sourceDesc, const QString& targetDesc) {
    QString filters;
    const QString source = sourceDesc.trimmed();
    const QString target = targetDesc.trimmed();
    if (!source.isEmpty()) filters += TableFilter("b", source);
    if (!target.isEmpty()) filters += TableFilter("c", target);
    return filters;
}

QString ItemColumnsSql(const QString& letter) {
    if (letter == kBodyLetter)
        return QStringLiteral(
            "SELECT cID,cDicDbName,cItemLang FROM UserDef WHERE cClass='单据体' AND cDicDbName "
            "LIKE 'cBdefine%' ORDER BY cID");
    return QStringLiteral(
        "SELECT cID,cDicDbName,cItemLang FROM UserDef WHERE cClass='单据头' AND cDicDbName LIKE "
        "'cHdefine%' ORDER BY cID");
}

QString PairRowsSql(const QString& letter, const QString& sourceDesc,
                    const QString& targetDesc) {
    const QString l = host::sqlValue(letter);
    return QStringLiteral(
               "SELECT distinct '' as Chanaged,'' as cMakeVouchID,b.cTableName AS "
               "cTableName,b.TableDesc AS TableDesc, ") +
           QStringLiteral(" c.cTableName AS cTargetTable,c.TableDesc AS cTargetTableDesc, ") +
           QStringLiteral(" '' AS cdesc,b.cSub_ID ") +
           QStringLiteral(" FROM AA_ExtendDefineMakeVouch_Sub a ") +
           QStringLiteral(" LEFT JOIN AA_DefineExtend b ON b.cTableName=a.cTableName ") +
           QStringLiteral(" LEFT JOIN AA_DefineExtend c ON c.cTableName=a.cTargetTable ") +
           QStringLiteral(" WHERE b.cType like '%") + l + QStringLiteral("%' AND c.cType like '%") +
           l + QStringLiteral("%' ") + DescriptionFilters(sourceDesc, targetDesc) +
           QStringLiteral(" ORDER BY cTableName,cTargetTable ");
}

QString RulesOfLetterSql(const QString& letter, const QString& sourceDesc,
                         const QString& targetDesc) {
    return QStringLiteral(
               " SELECT cMakeVouchID,a.cSub_id,a.ctype,cextendfield,ctargetfield,a.cTableName,"
               "cTargetTable, ") +
           QStringLiteral("   btrans,cdesc,a.GUID,b.TableDesc AS TableDesc,c.TableDesc AS "
                          "TableDesc FROM AA_ExtendDefineMakeVouch_Set a ") +
           QStringLiteral(" LEFT JOIN AA_DefineExtend b ON b.cTableName=a.cTableName ") +
           QStringLiteral(" LEFT JOIN AA_DefineExtend c ON c.cTableName=a.cTargetTable ") +
           QStringLiteral("WHERE a.ctype='") + host::sqlValue(letter) + QStringLiteral("' ") +
           DescriptionFilters(sourceDesc, targetDesc);
}

QString ItemLinksSql(const QString& letter) {
    return QStringLiteral(
               "SELECT a.TableName,b.cDicDbName FROM UserDefDetail a JOIN UserDef b ON "
               "a.cid=b.cid WHERE b.cClass='") +
           ClassOfLetter(letter) + QStringLiteral("' ");
}

QString ClassOfLetter(const QString& letter) {
    return letter == kBodyLetter ? QStringLiteral("单据体") : QStringLiteral("单据头");
}

}  // namespace carryover
