// Every statement the component sends, with values filled as the component fills them, must
// translate and run on the account; a few answers are checked where the statement's meaning is
// easy to get wrong.
#include <gtest/gtest.h>

#include "TestAccount.h"
#include "host/RecordSet.h"

using namespace sqltest;

namespace {

const QString kList = QStringLiteral(
    " cId,cClass,CItem,CType,IMaxLen,cItemName,iLength,iDecimalDigits,bFixLength,bCheckVal,bInput,"
    "bArchive,iDataSource,cRelArchive,cRelField,cParentItemName,bIsUserDefAttachFile,bIsUserDefPic,"
    "cRefID ");
const QString kFull = QStringLiteral(
    " cId,cClass,CItem,CType,IMaxLen,cItemName,iLength,iDecimalDigits,bFixLength,bCheckVal,bInput,"
    "bArchive,bMultiSel,cParentID,bIsUserDefAttachFile,iDataSource,cRelArchive,cRelField,cDefaultVal,"
    "cRefID,bIsUserDefPic ");
const QString kOrder = QStringLiteral(" order by cClass ,cast(cid as int) asc,cItem ASC ");
const QString kValues = QStringLiteral(" Cvalue,Calias,CbarCode,cParentValue,bFreeStop ");

const QString kRuleList = QStringLiteral(
    "SELECT cMakeVouchID,MakeVouch_Set.cTableName,TableName.cTableDesc AS cTableNameDesc,cTargetTable,"
    "TargetTable.cTableDesc AS cTargetTableDesc,cextendfield,cextendfield.cItemName AS cextendfieldDesc,"
    "ctargetfield,ctargetfield.cItemName AS ctargetfieldDesc,MakeVouch_Set.ctype,btrans,cdesc,"
    "MakeVouch_Set.cSub_id,MakeVouch_Set.guid "
    " FROM AA_ExtendDefineMakeVouch_Set MakeVouch_Set"
    " JOIN AA_DefineExtend TableName ON TableName.cTableName=MakeVouch_Set.cTableName "
    " JOIN AA_DefineExtend TargetTable ON TargetTable.cTableName=MakeVouch_Set.cTargetTable "
    " JOIN userdef cextendfield ON cextendfield.cDicDbName = MakeVouch_Set.cextendfield ");
const QString kLastJoin =
    QStringLiteral(" JOIN userdef ctargetfield ON ctargetfield.cDicDbName = MakeVouch_Set.ctargetfield");

const QString kChooserSelect = QStringLiteral(
    "SELECT ctype,enumname,ctabledesc,ctablename,csub_id,dbo.getAllSubName_ExtendDefine(csub_id) as "
    "csubfullname FROM AA_DefineExtend a join AA_Enum b on a.ctype=b.EnumCode  ");

QString menuGroups() {
    return QStringLiteral(
        " SELECT a.cMenu_ID,b.Caption,a.Depends,a.iOrder "
        " FROM zxsystem.dbo.UA_Menu a INNER JOIN zxsystem.dbo.zxmenu_business_lang b ON a.cMenu_ID=b.MenuID "
        " WHERE a.csupmenu_id='#1' AND localeid=dbo.UDF_GetLocaleID() "
        " UNION "
        " SELECT N'AAAA' AS cMenu_ID ,b.Caption,a.Depends,a.iOrder "
        " FROM zxsystem.dbo.UA_Menu a INNER JOIN zxsystem.dbo.zxmenu_business_lang b ON a.cMenu_ID=b.MenuID "
        " WHERE a.csupmenu_id='#0' AND a.cMenu_ID='AI1' AND localeid=dbo.UDF_GetLocaleID() ORDER BY a.iorder ");
}

QString subsystems(const QString& account, const QString& database) {
    return QStringLiteral(" DECLARE  @bmSupMenuID NVARCHAR(100) ") +
           " IF EXISTS (SELECT 1 From ZxSystem.dbo.ua_account WHERE  cacc_id = '" + account +
           "' AND ciscompanyver = 1) " + " SET @bmSupMenuID = N'GAG' Else  SET @bmSupMenuID = N'MAG' " +
           " SELECT * FROM " +
           "   (SELECT a.csub_id,a.csub_name,'cSupMenu_ID' = CASE WHEN b.csupmenu_id IS NULL THEN N'AAAA' Else b.csupmenu_id END,b.iorder " +
           "   FROM zxsystem.dbo.ua_subsys a WITH (nolock) " + "   LEFT JOIN " +
           "   (SELECT cmenu_id,csupmenu_id,iorder FROM   " + "       (SELECT cmenu_id,csupmenu_id,iorder FROM " +
           database + "..ua_menu Union SELECT cmenu_id,csupmenu_id,iorder FROM zxsystem.dbo.ua_menu " +
           "       ) AS ua_menu WHERE  csupmenu_id IN (SELECT cmenu_id FROM   zxsystem.dbo.ua_menu a WHERE  csupmenu_id = '#1')" +
           "   ) b " + "   ON a.csub_id = b.cmenu_id WHERE  a.csub_id IN " +
           "      (SELECT cSub_Id FROM ZxSystem.dbo.UA_SubSys WHERE cSub_Id IN " +
           "          (SELECT cSub_Id FROM ZxSystem.dbo.UA_Account_sub WHERE cAcc_id='" + account +
           "' AND iYear='9999' AND NOT dSubSysUsed IS NULL " +
           "             UNION SELECT cSub_Id FROM ZxSystem.dbo.UA_Subsys WHERE (ntype=1 OR ntype IS NULL ) AND cSub_Id NOT IN(N'AS',N'DP',N'EA',N'FP',N'DA') " +
           "          )" + "      )" +
           "   Union All SELECT TOP 1 N'BM' AS csub_id,b.csub_name,@bmSupMenuID AS csupmenu_id,a.iorder FROM zxsystem.dbo.ua_menu a,ua_subsys b " +
           "   WHERE a.cmenu_id IN (N'BM',N'BG') AND b.csub_id = N'BM' AND a.csupmenu_id <> '' AND a.csupmenu_id IS NOT NULL) AS a ORDER BY iorder";
}

QString fieldPairBatch(const QString& source, const QString& target, const QString& column) {
    return QStringList{
        QStringLiteral(" if not (select object_id('Tempdb..#AA_ExtendDefineFieldsForMakeVouch')) is null "),
        QStringLiteral(" DROP TABLE #AA_ExtendDefineFieldsForMakeVouch "),
        QStringLiteral(" Create table #AA_ExtendDefineFieldsForMakeVouch(ctablename nvarchar(200),cextendfield nvarchar(200))"),
        " Insert into #AA_ExtendDefineFieldsForMakeVouch values('" + source + "','" + column + "') ",
        " Insert into #AA_ExtendDefineFieldsForMakeVouch values('" + target + "','" + column + "') "}
        .join(QStringLiteral("\r\n"));
}

const QString kFieldPairJoin = QStringLiteral(
    " SELECT  Sub.cMakeVouchID,base.cSub_id,sub.cType,source.cextendfield,target.cextendfield,"
    "source.ctablename,target.ctablename,1,base.cDesc"
    " FROM #AA_ExtendDefineFieldsForMakeVouch source"
    " INNER JOIN #AA_ExtendDefineFieldsForMakeVouch target ON source.cextendfield = target.cextendfield "
    " INNER JOIN AA_ExtendDefineMakeVouch_sub Sub ON source.ctablename = Sub.ctablename AND target.ctablename = Sub.ctargettable "
    " INNER JOIN AA_ExtendDefineMakeVouch_base base ON sub.cMakeVouchID = base.cMakeVouchID");

QString sharedItems(const QString& condition, const QString& source, const QString& target) {
    const QString half = " SELECT cItemName,'' as btrans,'' as cdesc,cDicDbName,'' AS guid FROM dbo.UserDef a JOIN UserDefDetail b ON a.cID=b.cID " +
                         QStringLiteral(" Where ") + condition + " AND b.tablename=N'" + source +
                         "' AND a.cDicDbName IN " +
                         " (SELECT cDicDbName FROM dbo.UserDef a JOIN UserDefDetail b ON a.cID=b.cID Where b.tablename=N'" +
                         target + "')";
    return half + " UNION" + half + " Order by cDicDbName ASC ";
}

QString pairRows(const QString& letter, const QString& sourceText, const QString& targetText) {
    QString sql = "SELECT distinct '' as Chanaged,'' as cMakeVouchID,b.cTableName AS cTableName,b.TableDesc AS TableDesc, " +
                  QStringLiteral(" c.cTableName AS cTargetTable,c.TableDesc AS cTargetTableDesc, ") +
                  " '' AS cdesc,b.cSub_ID " + " FROM AA_ExtendDefineMakeVouch_Sub a " +
                  " LEFT JOIN AA_DefineExtend b ON b.cTableName=a.cTableName " +
                  " LEFT JOIN AA_DefineExtend c ON c.cTableName=a.cTargetTable " + " WHERE b.cType like '%" +
                  letter + "%' AND c.cType like '%" + letter + "%' ";
    if (!sourceText.isEmpty()) sql += " AND b.TableDesc LIKE '%" + sourceText + "%' ";
    if (!targetText.isEmpty()) sql += " AND c.TableDesc LIKE '%" + targetText + "%' ";
    return sql + " ORDER BY cTableName,cTargetTable ";
}

QString rulesOfType(const QString& letter, const QString& sourceText, const QString& targetText) {
    QString sql = QStringLiteral(
                      " SELECT cMakeVouchID,a.cSub_id,a.ctype,cextendfield,ctargetfield,a.cTableName,cTargetTable, ") +
                  "   btrans,cdesc,a.GUID,b.TableDesc AS TableDesc,c.TableDesc AS TableDesc FROM AA_ExtendDefineMakeVouch_Set a " +
                  " LEFT JOIN AA_DefineExtend b ON b.cTableName=a.cTableName " +
                  " LEFT JOIN AA_DefineExtend c ON c.cTableName=a.cTargetTable " + "WHERE a.ctype='" + letter + "' ";
    if (!sourceText.isEmpty()) sql += " AND b.TableDesc LIKE '%" + sourceText + "%' ";
    if (!targetText.isEmpty()) sql += " AND c.TableDesc LIKE '%" + targetText + "%' ";
    return sql;
}

QString nestedChooser(const QString& inner) {
    return QStringLiteral(" SELECT ctype,enumname,tabledesc,ctablename,csub_id,csubfullname FROM ") +
           " (SELECT ctype,enumname,tabledesc,ctablename,csub_id," +
           " dbo.getAllSubName_ExtendDefine(csub_id) as csubfullname " +
           " FROM AA_DefineExtend a join AA_Enum b on a.ctype=b.EnumCode " +
           " WHERE b.EnumType='Q9.AA.ARCHIVE.ExtendDefineTable.Type' and  ctype in ('B','H','B,H','H,B') and ctablename in (" +
           inner + ") and (b.localeID=dbo.UDF_GetLocaleID()) ) NEWTABLE " + "Order by ctype DESC,tabledesc";
}

struct Case {
    const char* name;
    QString sql;
    bool execute = false;  // run with execute() instead of open()
    int rows = -1;         // expected record count; -1: any
};

std::vector<Case> componentStatements() {
    const QString h = QStringLiteral("单据头");
    return {
        // Catalogue listing and related-archive look-ups.
        {"class of an item", "select ISNULL(cClass,'') as cClass from UserDef_Base where cID='1001'", false, 1},
        {"listing, all classes", "Select " + kList + " from UserDef_Parent " + kOrder, false, 8},
        {"listing, one class", "Select " + kList + " from UserDef_Parent where cClass='" + h + "' " + kOrder, false, 4},
        {"listing fields only", "select " + kList + " from UserDef_Parent where 1=2 ", false, 0},
        {"report archive of a related field",
         "select Rpt_GRPDef_Item.TableName,TableDefine,FieldName,FieldDef from Rpt_GRPDef_Item Left Join Rpt_ItmDef On "
         "Rpt_GRPDef_Item.TableName=Rpt_ItmDef.TableName where Rpt_GRPDef_Item.SystemId='AS' and "
         "Rpt_GRPDef_Item.TableName='Customer' and Rpt_ItmDef.FieldName='cCusName'", false, 1},
        {"user-defined reference of a related archive",
         "Select A.cRefID, A.cRefMeta,a.cRefName From ZxMeta_001..refdesign A Where '[' + a.cRefID + ']' ='[R001]' and  "
         "A.IsUserDefRef=1 and isnull(a.cParentRefid,'')<>''  Order by a.cRefName", false, 1},
        {"caption of a reference column",
         "select  top 1 cCaption  from ZxMeta_001..AA_ColumnDic where cKey='K_R001' and cFld ='cName'", false, 1},
        // Catalogue commands.
        {"items for the editor", "select " + kFull + ",cDicDbName,ctabledesc,citemlang from Userdef " + " where cClass='" + h + "' " + kOrder, false, 4},
        {"items for adding", "select " + kFull + ",cDicDbName,ctabledesc,citemlang from Userdef where cClass='" + h + "'order by cClass ,cast(cid as int) asc,cItem ASC ", false, 4},
        {"named items for the value archive", "select " + kFull + ",cItemLang from userdef where cItemName<>'' and cClass='" + h + "' " + kOrder, false, 3},
        {"column of an item to delete", "select cDicDbName from userdef where cid='1001'", false, 1},
        // Numbering.
        {"next label number", " select max( CAST ( REPLACE(citem,'扩展自定义项','')as int)) as max_int from userdef where citem like '扩展自定义项%'  and cClass ='" + h + "' ", false, 1},
        {"next id in a range", "select MAX(cid) as maxcid from Userdef where convert(int,cID) between 1000 and 2000 ", false, 1},
        {"next column name and row version",
         " select max( CAST ( REPLACE(cDicDbName,'cHDefine','')as int)) as max_int,convert(char,convert(money,MAX(pubzxts)),2) as pubzxts from UserDef_base where cDicDbName like 'cHDefine%' ", false, 1},
        {"row version alone", "select convert(char,convert(money,MAX(pubzxts)),2) as pubzxts from userdef_base ", false, 1},
        // Editor reads and in-use probes.
        {"parent candidates of a new item",
         "select cID,(case when ISNULL(citemname,'')='' then cItemLang else cItemName end) as cItemName  from UserDef  where cClass ='" + h + "' order by CAST( cid as integer)", false, 4},
        {"parent candidates of an existing item",
         "select cID,(case when ISNULL(citemname,'')='' then cItemLang else cItemName end) as cItemName  from UserDef  where cClass ='" + h +
             "' and cid<>'1001' and not cID in (select cID from UserDef where isnull(cparentid,'')='1001') order by CAST( cid as integer)", false, 2},
        {"names by language", "select * from userdef_lang where cid='1001'", false, 3},
        {"name of the parent", "select cID,(case when ISNULL(citemname,'')='' then cItem else cItemName end) as cItemName from userdef where cid='1001'", false, 1},
        {"probe customer", "  select top 1 Ccuscode from customer where cCusDefine1<>''", false, 1},
        {"probe vendor", "  select top 1 CVencode from Vendor where cVenDefine1<>''", false, 0},
        {"probe contact", "  select top 1 cContactCode from Crm_Contact  where cConDefine1<>''", false, 1},
        {"probe batch property", "  select top 1 cInvcode from AA_BatchProperty  where  cast(cBatchProperty1 as nvarchar(120))<>''", false, 1},
        {"probe inventory", " select top 1 CInvcode from Inventory where cInvDefine1<>''", false, 1},
        {"probe free item", " select top 1 CInvcode from Inventory where bFree1=1", false, 1},
        {"structure of the record", "select " + kFull + ",cDicDbName,ctabledesc,citemlang from Userdef where 1=2", false, 0},
        {"languages installed", "select * from q9langdefine", false, 2},
        // Validation and save.
        {"row size of a host table",
         " SELECT SUM(CASE xtype WHEN '231' then length/2 ELSE length END ) as SumFieldSize from syscolumns  where id = OBJECT_ID(N'SaleBill_extradefine') ", false, 1},
        {"default value in the related archive", "select top 1 cCusName from Customer where cCusName='星河商贸'", false, 1},
        {"items after a save", "SELECT " + kFull + ",cDicDbName,ctabledesc,citemlang FROM Userdef WHERE cClass='" + h + "'ORDER BY cClass ,CAST(cid as int) ASC,cItem ASC ", false, 4},
        // Extended item tables.
        {"menu groups", menuGroups(), false, 3},
        {"subsystems of the account", subsystems(QStringLiteral("001"), QStringLiteral("ZxData_001")), false, -1},
        {"tables of a class",
         " SELECT cSub_ID,OBJECT_NAME(OBJECT_ID(cTableName)) as cTableName,TableDesc FROM AA_DefineExtend  WHERE N','+cType+',' like N'%,H,%' and OBJECT_NAME(OBJECT_ID(cTableName)) is not null  AND (cParentTableName is NULL or cParentTableName='') ", false, 2},
        {"tables of an item", "SELECT tablename FROM userdefdetail WHERE cid=N'1001'", false, 2},
        {"table groups", "SELECT cTableName,groupname FROM dbo.AA_DefineExtendTables WHERE ctype like '%H%' AND groupname<>'' ORDER BY groupname ", false, 2},
        {"tables before removing a column",
         "SELECT cTableName,cPKName,bDeleteIgnoreCheck,a.cTableDesc,cDicDbName FROM AA_DefineExtend a JOIN UserDefDetail b ON a.TableName=b.TableName JOIN userdef_base c ON b.cid=c.cid WHERE b.cid = '1001'", false, 2},
        {"data in a companion table", "select top 1 cHDefine1 from SaleBill_extradefine where isnull(cHDefine1,'')<>'' ", false, 0},
        // Data-source references.
        {"report archives",
         "select TableName,TableDefine,SystemId from Rpt_GRPDef where Tablename in ('AA_Bank','Bank','Code','ComputationGroup','ComputationUnit','Customer','CustomerClass','Department','districtClass','ExpenseItem','ForeignCurrency','GL_bdigest','Inventory','','InventoryClass','Paycondition','Person','Position','PurchaseType','Rd_Style','SaleType','SettleStyle','ShippingChoice','Vendor','VendorClass','Warehouse','Wastage','Reason','Hr_hi_Person','CustomerRank','Crm_Contact','TradeClass','nb_payunitclass','nb_payunitInfo','sfc_workcenter','sfc_workshift','HR_CT014','HR_CT015','hr_om_duty','HR_CT050','HR_CT051','hr_om_job') Order by Tabledefine, SystemId, TableName", false, 3},
        {"fields of an item archive",
         "select a.cfield_name as FieldName ,'fitemss01' as TableName,'fitemss01' as TableDef, case when b.cfield_name is null then a.ctext else b.ctext  end  FieldDef, a.itype as FieldType,i_id as FieldID  from fitemstructure a left join fitemstrumode b on a.cfield_name =b.cfield_name and b.LocaleID =DBO.UDF_GetLocaleID() where a.bref=1 and a.isubItem=0 and citem_class ='01'", false, 3},
        {"fields of a report archive", "select * from Rpt_ItmDef Where TableName='Customer'  Order by FieldDef", false, 2},
        // Value archive.
        {"value fields", "select " + kValues + " from Userdefine where 1=2", false, 0},
        {"value fields for export", "select " + kValues + " from UserDefine where 1=2", false, 0},
        {"values of an item", "select " + kValues + " from userdefine where cId='1' order by pubzxts", false, 2},
        {"related archive shown with the values",
         "select Rpt_GRPDef_Item.TableName,TableDefine,FieldName,FieldDef from Rpt_GRPDef_Item Left Join Rpt_ItmDef On Rpt_GRPDef_Item.TableName=Rpt_ItmDef.TableName where Rpt_GRPDef_Item.TableName='Customer' and FieldName='cCusName'", false, 1},
        // Carry-over.
        {"source tables", kChooserSelect + " WHERE b.EnumType='Q9.AA.ARCHIVE.ExtendDefineTable.Type' and  ctype in ('B','H','B,H','H,B') and ctablename in (SELECT ctableName FROM AA_ExtendDefineMakeVouch_sub) and (b.localeID=dbo.UDF_GetLocaleID())   Order by ctype DESC,ctabledesc", false, 2},
        {"target tables of a source", kChooserSelect + " WHERE b.EnumType='Q9.AA.ARCHIVE.ExtendDefineTable.Type' and ctype IN  ('H','B,H','H,B')  and ctablename in (SELECT cTargetTable FROM AA_ExtendDefineMakeVouch_sub WHERE ctablename='DispatchList')  and (b.localeID=dbo.UDF_GetLocaleID())  Order by ctype DESC,ctabledesc", false, 1},
        {"target tables on opening", kChooserSelect + " WHERE  b.EnumType='Q9.AA.ARCHIVE.ExtendDefineTable.Type' and ctype in ('B','H','B,H','H,B')  and (b.localeID=dbo.UDF_GetLocaleID())  Order by ctype DESC,ctabledesc ", false, 4},
        {"rule list", kRuleList + kLastJoin + " WHERE btrans=1" + " order by MakeVouch_Set.cTableName,cTargetTable ", false, 1},
        {"rule list filtered", kRuleList + kLastJoin + " WHERE btrans=1 and MakeVouch_Set.ctablename like '%Dispatch%' " + " order by MakeVouch_Set.cTableName,cTargetTable ", false, 1},
        {"rule list columns", kRuleList + kLastJoin + " where 1=2 ", false, 0},
        {"rules of a pair", kRuleList + kLastJoin + " where MakeVouch_Set.cTableName='SaleBill' and cTargetTable='DispatchList' ", false, 1},
        {"rule list for printing",
         QString(kRuleList).replace(QStringLiteral("TableName.cTableDesc"), QStringLiteral("TableName.TableDesc"))
                 .replace(QStringLiteral("TargetTable.cTableDesc"), QStringLiteral("TargetTable.TableDesc")) +
             " JOIN userdef ctargetfield ON ctargetfield.cDicDbName = MakeVouch_Set.ctargetfield  where 1=2", false, 0},
        {"rules of one letter", rulesOfType(QStringLiteral("H"), QStringLiteral("发货"), QStringLiteral("发票")), false, 1},
        {"item links of the header", "SELECT a.TableName,b.cDicDbName FROM UserDefDetail a JOIN UserDef b ON a.cid=b.cid WHERE b.cClass='单据头' ", false, 3},
        {"item links of the body", "SELECT a.TableName,b.cDicDbName FROM UserDefDetail a JOIN UserDef b ON a.cid=b.cid WHERE b.cClass='单据体' ", false, 1},
        {"field pairs", fieldPairBatch(QStringLiteral("DispatchList"), QStringLiteral("SaleBill"), QStringLiteral("cHDefine1")), true},
        {"carry-over path of a pair", kFieldPairJoin, false, 2},  // both directions are pairs
        {"field pairs again", fieldPairBatch(QStringLiteral("SaleBill"), QStringLiteral("DispatchList"), QStringLiteral("cHDefine1")), true},
        {"items on both tables", sharedItems(QStringLiteral(" a.cDicDbName Like 'cHDefine%' "), QStringLiteral("DispatchList"), QStringLiteral("SaleBill")), false, 1},
        {"items on both tables of both kinds", sharedItems(QStringLiteral(" (a.cDicDbName Like 'cBDefine%' OR a.cDicDbName Like 'cHDefine%') "), QStringLiteral("SaleBill"), QStringLiteral("DispatchList")), false, 1},
        {"item columns of the header", "SELECT cID,cDicDbName,cItemLang FROM UserDef WHERE cClass='单据头' AND cDicDbName LIKE 'cHdefine%' ORDER BY cID", false, 2},
        {"item columns of the body", "SELECT cID,cDicDbName,cItemLang FROM UserDef WHERE cClass='单据体' AND cDicDbName LIKE 'cBdefine%' ORDER BY cID", false, 1},
        {"pair rows", pairRows(QStringLiteral("H"), QString(), QString()), false, 2},
        {"pair rows filtered", pairRows(QStringLiteral("H"), QStringLiteral("发货"), QStringLiteral("发票")), false, 1},
        {"source chooser of the batch window", nestedChooser(QStringLiteral("SELECT ctableName FROM AA_ExtendDefineMakeVouch_sub")), false, 2},
        {"target chooser of the batch window", nestedChooser(QStringLiteral("SELECT cTargetTable FROM AA_ExtendDefineMakeVouch_sub")), false, 3},
    };
}

class ComponentStatements : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(account.ok()) << qPrintable(account.error());
        connection = account.connect();
        ASSERT_TRUE(connection);
    }
    TestAccount account;
    std::unique_ptr<platform::sql::TSqlConnection> connection;
};

TEST_F(ComponentStatements, EveryStatementTranslatesAndRuns) {
    for (const Case& c : componentStatements()) {
        SCOPED_TRACE(c.name);
        if (c.execute) {
            EXPECT_TRUE(connection->execute(c.sql)) << qPrintable(connection->lastError());
            continue;
        }
        const host::RecordSetPtr rows = connection->open(c.sql);
        ASSERT_TRUE(rows) << qPrintable(connection->lastError());
        if (c.rows >= 0) EXPECT_EQ(rows->recordCount(), c.rows);
    }
}

TEST_F(ComponentStatements, ListingComesInClassThenNumericIdOrderWithTypes) {
    const auto rows = connection->open("Select " + kList + " from UserDef_Parent " + kOrder);
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    QStringList ids;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) ids << rows->text("cId");
    // Classes sort as text; within a class ids sort as numbers (2 before 10, 1002 before 1001 never).
    const int one = int(ids.indexOf(QStringLiteral("1"))), two = int(ids.indexOf(QStringLiteral("2")));
    EXPECT_LT(one, two);
    EXPECT_LT(two, int(ids.indexOf(QStringLiteral("1001"))));
    EXPECT_EQ(rows->fieldCount(), 19);
    EXPECT_EQ(rows->field(rows->fieldIndex("bFixLength")).type, host::FieldType::Boolean);
    EXPECT_EQ(rows->field(rows->fieldIndex("cItemName")).definedSize, 60);
    rows->moveFirst();
    rows->setAbsolutePosition(ids.indexOf(QStringLiteral("1002")) + 1);
    EXPECT_EQ(rows->text("cParentItemName"), QStringLiteral("合同号"));
}

TEST_F(ComponentStatements, NumberingReadsTheHighestNumbersAndTheRowVersionAsMoneyText) {
    auto label = connection->open(" select max( CAST ( REPLACE(citem,'扩展自定义项','')as int)) as max_int from userdef where citem like '扩展自定义项%'  and cClass ='单据头' ");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->value("max_int").toInt(), 2);
    auto column = connection->open(" select max( CAST ( REPLACE(cDicDbName,'cHDefine','')as int)) as max_int,convert(char,convert(money,MAX(pubzxts)),2) as pubzxts from UserDef_base where cDicDbName like 'cHDefine%' ");
    ASSERT_TRUE(column) << qPrintable(connection->lastError());
    EXPECT_EQ(column->value("max_int").toInt(), 2);
    EXPECT_EQ(column->text("pubzxts"), QStringLiteral("123.0000"));
    auto none = connection->open(" select max( CAST ( REPLACE(cDicDbName,'cLDefine','')as int)) as max_int,convert(char,convert(money,MAX(pubzxts)),2) as pubzxts from UserDef_base where cDicDbName like 'cLDefine%' ");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isNull("max_int"));
    EXPECT_TRUE(none->isNull("pubzxts"));
    auto range = connection->open("select MAX(cid) as maxcid from Userdef where convert(int,cID) between 2000 and 3000 ");
    ASSERT_TRUE(range);
    EXPECT_EQ(range->text("maxcid"), QStringLiteral("2001"));
}

TEST_F(ComponentStatements, MenuGroupsAndSubsystemsFollowTheMenuOrder) {
    auto groups = connection->open(menuGroups());
    ASSERT_TRUE(groups) << qPrintable(connection->lastError());
    QStringList keys;
    for (groups->moveFirst(); !groups->eof(); groups->moveNext()) keys << groups->text("cMenu_ID");
    EXPECT_EQ(keys, (QStringList{"AAAA", "SC", "FI"}));

    auto subs = connection->open(subsystems(QStringLiteral("001"), QStringLiteral("ZxData_001")));
    ASSERT_TRUE(subs) << qPrintable(connection->lastError());
    QStringList found;
    QString bmParent;
    for (subs->moveFirst(); !subs->eof(); subs->moveNext()) {
        found << subs->text("csub_id");
        if (subs->text("csub_id") == QLatin1String("BM")) bmParent = subs->text("cSupMenu_ID");
    }
    // SA and PU are in use, GL is not; ST counts as a plain subsystem; AS is left out.
    EXPECT_TRUE(found.contains("SA"));
    EXPECT_TRUE(found.contains("PU"));
    EXPECT_TRUE(found.contains("ST"));
    EXPECT_FALSE(found.contains("GL"));
    EXPECT_FALSE(found.contains("AS"));
    EXPECT_EQ(found.count("BM"), 1);
    EXPECT_EQ(bmParent, QStringLiteral("MAG"));  // account 001 is not a group account
    auto group = connection->open(subsystems(QStringLiteral("002"), QStringLiteral("ZxData_001")));
    ASSERT_TRUE(group) << qPrintable(connection->lastError());
    for (group->moveFirst(); !group->eof(); group->moveNext())
        if (group->text("csub_id") == QLatin1String("BM")) EXPECT_EQ(group->text("cSupMenu_ID"), QStringLiteral("GAG"));
}

TEST_F(ComponentStatements, TablesOfAClassAreThoseThatExistWithoutParent) {
    auto rows = connection->open(
        " SELECT cSub_ID,OBJECT_NAME(OBJECT_ID(cTableName)) as cTableName,TableDesc FROM AA_DefineExtend  WHERE N','+cType+',' like N'%,H,%' and OBJECT_NAME(OBJECT_ID(cTableName)) is not null  AND (cParentTableName is NULL or cParentTableName='') ");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    QStringList tables;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) tables << rows->text("cTableName");
    tables.sort();
    EXPECT_EQ(tables, (QStringList{"DispatchList", "SaleBill"}));
}

TEST_F(ComponentStatements, RowSizeCountsWideTextInCharactersAndOtherColumnsInBytes) {
    auto rows = connection->open(
        " SELECT SUM(CASE xtype WHEN '231' then length/2 ELSE length END ) as SumFieldSize from syscolumns  where id = OBJECT_ID(N'SaleBill_extradefine') ");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    // cSBVCode nvarchar(30) 30 + cHDefine1 nvarchar(60) 60 + int 4 + datetime 8 + decimal(28,6) 13
    EXPECT_EQ(rows->value("SumFieldSize").toInt(), 30 + 60 + 4 + 8 + 13);
    auto missing = connection->open(
        " SELECT SUM(CASE xtype WHEN '231' then length/2 ELSE length END ) as SumFieldSize from syscolumns  where id = OBJECT_ID(N'Nothing_extradefine') ");
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->isNull("SumFieldSize"));
}

TEST_F(ComponentStatements, FieldPairBatchFindsThePathOfExactlyThatPair) {
    ASSERT_TRUE(connection->execute(fieldPairBatch("SaleBill", "SaleBillBody", "cBDefine1")))
        << qPrintable(connection->lastError());
    auto path = connection->open(kFieldPairJoin);
    ASSERT_TRUE(path) << qPrintable(connection->lastError());
    ASSERT_EQ(path->recordCount(), 1);
    EXPECT_EQ(path->text("cMakeVouchID"), QStringLiteral("MV03"));
    EXPECT_EQ(path->text("cDesc"), QStringLiteral("发票表头到表体"));
    // Run again for another pair: the table is dropped and made anew.
    ASSERT_TRUE(connection->execute(fieldPairBatch("SaleBillBody", "Inventory", "cBDefine1")))
        << qPrintable(connection->lastError());
    path = connection->open(kFieldPairJoin);
    ASSERT_TRUE(path);
    EXPECT_EQ(path->recordCount(), 0);
    // The temporary table belongs to this connection only.
    auto other = account.connect();
    EXPECT_FALSE(other->open(kFieldPairJoin));
    EXPECT_TRUE(other->lastError().contains("#AA_ExtendDefineFieldsForMakeVouch"));
}

TEST_F(ComponentStatements, ChooserShowsFullSubsystemNamesInTheLoginLanguage) {
    auto rows = connection->open(nestedChooser(QStringLiteral("SELECT ctableName FROM AA_ExtendDefineMakeVouch_sub")));
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    QHash<QString, QString> names;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        names.insert(rows->text("ctablename"), rows->text("csubfullname"));
    EXPECT_EQ(names.value("DispatchList"), QStringLiteral("销售管理,库存管理"));
    EXPECT_EQ(names.value("SaleBill"), QStringLiteral("销售管理"));
    auto english = account.connect(QStringLiteral("en-US"));
    auto en = english->open(nestedChooser(QStringLiteral("SELECT ctableName FROM AA_ExtendDefineMakeVouch_sub")));
    ASSERT_TRUE(en);
    EXPECT_EQ(en->recordCount(), 1);  // only the header type has an English name
}

}  // namespace
