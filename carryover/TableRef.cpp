#include "carryover/TableRef.h"

#include "carryover/CarryOverSql.h"
#include "common/Globals.h"
#include "host/Quote.h"

namespace carryover {

namespace {

QString res(const char* key) {
    const QString k = QString::fromLatin1(key);
    return userdef::g_Pub ? userdef::g_Pub->GetResString(k) : k;
}

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

}  // namespace

QString BuildTableRef(bool target) {
    QString ref = QStringLiteral("<Ref cRefName='") +
                  host::xmlText(res("Q9.AA.ARCHIVE.FIELD.defineitemconfigtable")) +
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
               QStringLiteral("' cCaption='") + host::xmlText(res(c.title)) +
               QStringLiteral("' iColWidth='") + QString::number(c.width) +
               QStringLiteral("' iAlign='1'/>");
    ref += QStringLiteral("   </Data></Q9ColSet></RefColSet>") + QStringLiteral("</Ref>");
    return ref;
}

}  // namespace carryover
