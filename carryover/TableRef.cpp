#include "carryover/TableRef.h"

#include "carryover/CarryOverSql.h"
#include "common/ResText.h"
#include "common/Globals.h"
#include "host/Quote.h"

namespace carryover {

namespace {


struct Column {
    const char* field;
    bool shown;
    const char* title;
    int width;
};
constexpr Column kColumns[] = {
    {"ctype", false, "Q9.AA.ARCHIVE.FIELD.ctabletypeid", 2000},
    {"enumname", true, "Q9.AA.ARCHIVE.FIELD.ctabletype", 2000},
    {"tabledesc", true, "Q9.AA.ARCHIVE.FIELD.billdesc", 3000},
    {"ctablename", false, "Q9.AA.ARCHIVE.FIELD.billname", 3000},
    {"csub_id", false, "Q9.AA.ARCHIVE.FIELD.csub_id", 3000},
    {"csubfullname", true, "Q9.AA.ARCHIVE.FIELD.csub_id_name", 3000},
};

struct EditorColumn {
    const char* field;
    const char* shown;
    const char* title;
    int width;
    const char* end;
};
constexpr EditorColumn kEditorColumns[] = {
    {"ctype", "0", "Q9.AA.ARCHIVE.FIELD.cvtid", 2000, "' iAlign='1'/>"},
    {"enumname", "1", "Q9.AA.ARCHIVE.FIELD.cvtid", 2000, "' iAlign='1'/>"},
    {"ctabledesc", "1", "Q9.AA.ARCHIVE.FIELD.billdesc", 3000, "' iAlign='1'/>"},
    {"ctablename", "0", "Q9.AA.ARCHIVE.FIELD.billname", 3000, "' iAlign='1' />"},
    {"csub_id", "0", "Q9.AA.ARCHIVE.FIELD.csub_id", 3000, "' iAlign='1'/>"},
    {"csubfullname", "1", "Q9.AA.ARCHIVE.FIELD.csub_id", 3000, "' iAlign='1'/>"},
};

}  // namespace

QString BuildRuleEditorTableRef(EditorRef kind, const QString& sourceType,
                                const QString& sourceTable) {
    QString refSet, condition, order, sql;
    switch (kind) {
        case EditorRef::Source:
            refSet = QStringLiteral("   <RefSet  cCheckFlds='ctype,enumname,ctabledesc,ctablename,csub_id '  iFilterStyle='1' iRetStyle='3' >");
            condition = SourceTableCondition();
            order = QStringLiteral(" cUserDataSrcQryOrderPart='Order by ctype DESC,ctabledesc'/>");
            sql = QStringLiteral("ctype in ('B','H','B,H','H,B') and ctablename in (SELECT ctableName FROM AA_ExtendDefineMakeVouch_sub) ");
            break;
        case EditorRef::TargetOnOpening:
            refSet = QStringLiteral("   <RefSet  cCheckFlds='ctype,enumname,ctabledesc,ctablename,csub_id'  iFilterStyle='1' iRetStyle='3'>");
            condition = TargetTableConditionOnOpening();
            order = QStringLiteral(" cUserDataSrcQryOrderPart='Order by ctype DESC,ctabledesc '/>");
            sql = QStringLiteral("ctype in ('B','H','B,H','H,B') ");
            break;
        case EditorRef::TargetOfSource:
            refSet = QStringLiteral("   <RefSet  cCheckFlds='ctype,enumname,ctabledesc,ctablename,csub_id'  iFilterStyle='1' iRetStyle='3' >");
            condition = TargetTableCondition(sourceType, sourceTable);
            order = QStringLiteral(" cUserDataSrcQryOrderPart='Order by ctype DESC,ctabledesc'/>");
            sql = QStringLiteral("ctype IN ") + TargetTypeList(sourceType) +
                  QStringLiteral(" and ctablename in (SELECT cTargetTable FROM "
                                 "AA_ExtendDefineMakeVouch_sub WHERE ctablename='") +
                  host::sqlValue(sourceTable) + QStringLiteral("')");
            break;
    }
    QString ref = QStringLiteral("<Ref cRefName='") +
                  host::xmlText(userdef::ResText("Q9.AA.ARCHIVE.FIELD.defineitemconfigtable")) +
                  QStringLiteral("' cEntityKeyFld='ctablename' cEntityNameFld='ctabledesc'> ") +
                  refSet + QStringLiteral("   </RefSet>") + QStringLiteral("<DataSrc>") +
                  QStringLiteral("<DataGrid  cUserDataSrcQrySelectPart='") + ChooserSelectSql() +
                  QStringLiteral("' cUserDataSrcQryWherePart=") + QLatin1Char('"') +
                  host::xmlText(condition) + QLatin1Char('"') + QLatin1Char(' ') + order +
                  QStringLiteral("</DataSrc>") + QStringLiteral("<RefConditions>") +
                  QStringLiteral("<sql>") + host::xmlText(sql) + QStringLiteral("</sql>") +
                  QStringLiteral("</RefConditions>") +
                  QStringLiteral("<RefColSet><Q9ColSet><Data>");
    for (const EditorColumn& c : kEditorColumns)
        ref += QStringLiteral("       <ColSet cFld='") + QString::fromLatin1(c.field) +
               QStringLiteral("' bDisp='") + QString::fromLatin1(c.shown) +
               QStringLiteral("' cCaption='") + host::xmlText(userdef::ResText(c.title)) +
               QStringLiteral("' iColWidth='") + QString::number(c.width) +
               QString::fromLatin1(c.end);
    ref += QStringLiteral("   </Data></Q9ColSet></RefColSet>") + QStringLiteral("</Ref>");
    return ref;
}

QString BuildTableRef(bool target) {
    QString ref = QStringLiteral("<Ref cRefName='") +
                  host::xmlText(userdef::ResText("Q9.AA.ARCHIVE.FIELD.defineitemconfigtable")) +
                  QStringLiteral("' cEntityKeyFld='ctablename' cEntityNameFld='tabledesc'> ") +
                  QStringLiteral("   <RefSet bAutoCheck='0' "
                                 "cCheckFlds='ctype,enumname,tabledesc,ctablename,csub_id,"
                                 "csubfullname'  iFilterStyle='1' iRetStyle=") +
                  (target ? QStringLiteral("'3'>") : QStringLiteral("'3' >")) +
                  QStringLiteral("   </RefSet>") + QStringLiteral("<DataSrc>") +
                  QStringLiteral("<DataGrid  cUserDataSrcQrySelectPart=") + QLatin1Char('"') +
                  host::xmlText(BatchChooserSelectSql(target)) + QLatin1Char('"') +
                  QStringLiteral(" cUserDataSrcQryWherePart='' ") +
                  QStringLiteral(" cUserDataSrcQryOrderPart='") + BatchChooserOrder(target) +
                  QStringLiteral("'/>") + QStringLiteral("</DataSrc>") +
                  QStringLiteral("<RefConditions>") + QStringLiteral("<sql></sql>") +
                  QStringLiteral("</RefConditions>") +
                  QStringLiteral("<RefColSet><Q9ColSet><Data>");
    for (const Column& c : kColumns)
        ref += QStringLiteral("       <ColSet cFld='") + QString::fromLatin1(c.field) +
               QStringLiteral("' bDisp='") + (c.shown ? QLatin1Char('1') : QLatin1Char('0')) +
               QStringLiteral("' cCaption='") + host::xmlText(userdef::ResText(c.title)) +
               QStringLiteral("' iColWidth='") + QString::number(c.width) +
               QStringLiteral("' iAlign='1'/>");
    ref += QStringLiteral("   </Data></Q9ColSet></RefColSet>") + QStringLiteral("</Ref>");
    return ref;
}

}  // namespace carryover
