// The item editor as a user sees it: fields and their states per class, type and kind, the
// rules while editing, keys, moving between items and the record lock.
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QTabWidget>
#include <QToolButton>

#include "controls/CheckTree.h"
#include "controls/RefEdit.h"
#include "platform/pub/HelpWindow.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/itemdef/EditorFixture.h"

using namespace edtest;
using itemdef::FrmZAM;

using ItemEditor = EditorTest;

namespace {

const QString kHeader = QStringLiteral("单据头");
const QString kBody = QStringLiteral("单据体");
const QString kCustomer = QStringLiteral("客户");
const QString kContact = QStringLiteral("联系人");
const QString kVendor = QStringLiteral("供应商");
const QString kInventory = QStringLiteral("存货");
const QString kBatch = QStringLiteral("批次属性");

}  // namespace

TEST_F(ItemEditor, EachClassShowsItsFlagsAndParentChoice) {
    struct Case {
        QString cClass, cId;
        bool multiSel, attach, parent;
    };
    const Case cases[] = {
        {kHeader, "1", false, true, true},    {kBody, "20", false, true, true},
        {kCustomer, "40", true, false, true}, {kContact, "120", true, false, true},
        {kVendor, "60", false, false, false}, {kInventory, "80", false, false, false},
        {kBatch, "145", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cId.toStdString());
        open(c.cClass, c.cId);
        EXPECT_EQ(check("ChkbMultiSel")->isVisible(), c.multiSel);
        EXPECT_EQ(check("chkbIsUserDefAttachFile")->isVisible(), c.attach);
        EXPECT_FALSE(check("chkbIsUserDefPic")->isVisible());
        EXPECT_EQ(combo("CmbcParentID")->isEnabled(), c.parent);
        EXPECT_FALSE(combo("CmbCType")->isEnabled());  // an existing item keeps its type
        EXPECT_FALSE(edit("EdtcClass")->text().isEmpty());
        EXPECT_EQ(editor->windowTitle(), text("Q9.AA.ARCHIVE.userdefset"));
        EXPECT_FALSE(enabled("SaveRs"));
    }
    // The extended header item shows its tables; a regular one does not.
    open(kHeader, QStringLiteral("1001"));
    EXPECT_TRUE(editor->tree()->isVisible());
    EXPECT_GT(editor->tree()->model()->nodeCount(), 0);
    EXPECT_FALSE(editor->tree()->model()->tickedKeys().isEmpty());
    open(kHeader, QStringLiteral("1"));
    EXPECT_FALSE(editor->tree()->isVisible());
}

TEST_F(ItemEditor, StoredValuesShowLocalised) {
    open(kHeader, QStringLiteral("8"));  // 业务员: text from the person archive, default 林晓峰
    EXPECT_EQ(edit("EdtcClass")->text(), text("Q9.AA.USERDEF.voucherheader"));
    EXPECT_EQ(edit("EdtCItem")->text(), text("Q9.AA.USERDEF.userdefineitem") + QStringLiteral("8"));
    EXPECT_EQ(combo("CmbCType")->currentText(), text("Q9.AA.USERDEF.datatype_text"));
    EXPECT_EQ(edit("EdtIMaxLen")->text(), QStringLiteral("40"));
    EXPECT_EQ(combo("CmbiDataSource")->currentIndex(), 1);
    EXPECT_FALSE(edit("EdtcDefaultVal")->isEnabled());
    EXPECT_FALSE(check("ChkbFixLength")->isEnabled());
    EXPECT_TRUE(combo("CmbcRelField")->isEnabled());
    EXPECT_EQ(names()->item(0, 0)->text(), QStringLiteral("业务员"));
    EXPECT_EQ(names()->item(0, 1)->text(), QStringLiteral("業務員"));
    EXPECT_EQ(names()->item(0, 2)->text(), QString());

    open(kHeader, QStringLiteral("11"));  // stored "整数"
    EXPECT_EQ(combo("CmbCType")->currentText(), text("Q9.AA.USERDEF.datatype_int"));
    open(kHeader, QStringLiteral("13"));  // number with 2 digits keeps them
    EXPECT_EQ(edit("EdtiDecimalDigits")->text(), QStringLiteral("2"));
    EXPECT_TRUE(edit("EdtiDecimalDigits")->isEnabled());
    EXPECT_FALSE(edit("EdtIMaxLen")->isEnabled());
    open(kHeader, QStringLiteral("15"));  // date
    EXPECT_TRUE(w<QToolButton>("CmdDate")->isVisible());
    EXPECT_FALSE(check("ChkbArchive")->isEnabled());
}

TEST_F(ItemEditor, NewItemFollowsTheChosenType) {
    openNew(kHeader);
    EXPECT_TRUE(combo("CmbCType")->isEnabled());
    EXPECT_EQ(combo("CmbCType")->currentIndex(), -1);
    EXPECT_EQ(edit("EdtCItem")->text(),
              text("Q9.AA.ARCHIVE.FIELD.extenddefineitem") + QStringLiteral("5"));
    EXPECT_TRUE(editor->state().adding && editor->state().extended);
    EXPECT_TRUE(editor->tree()->isVisible());
    EXPECT_TRUE(editor->tree()->model()->tickedKeys().isEmpty());
    EXPECT_FALSE(edit("EdtIMaxLen")->isEnabled());
    EXPECT_FALSE(enabled("SaveRs"));

    chooseType(itemdef::kNumber);
    EXPECT_EQ(edit("EdtiDecimalDigits")->text(), QStringLiteral("6"));
    EXPECT_TRUE(edit("EdtiDecimalDigits")->isEnabled());
    EXPECT_FALSE(edit("EdtIMaxLen")->isEnabled());
    EXPECT_FALSE(edit("EdtiLength")->isEnabled());
    EXPECT_TRUE(enabled("SaveRs"));

    chooseType(itemdef::kText);
    EXPECT_TRUE(edit("EdtIMaxLen")->isEnabled());
    EXPECT_TRUE(edit("EdtiLength")->isEnabled());
    EXPECT_TRUE(edit("EdtiDecimalDigits")->text().isEmpty());
    EXPECT_TRUE(check("ChkbFixLength")->isEnabled());
    EXPECT_FALSE(w<QToolButton>("CmdDate")->isVisible());

    chooseType(itemdef::kDateTime);
    EXPECT_TRUE(w<QToolButton>("CmdDate")->isVisible());
    EXPECT_FALSE(check("ChkbFixLength")->isEnabled());
    EXPECT_FALSE(check("ChkbArchive")->isChecked());

    // A customer item has no date and time type.
    openNew(kCustomer);
    EXPECT_EQ(combo("CmbCType")->count(), 4);
    EXPECT_EQ(combo("CmbCType")->findData(itemdef::typeStored(itemdef::kDateTime)), -1);
    open(kCustomer, QStringLiteral("40"));
    EXPECT_EQ(combo("CmbCType")->count(), 4);
    open(kVendor, QStringLiteral("60"));
    EXPECT_EQ(combo("CmbCType")->count(), 5);
}

TEST_F(ItemEditor, FreeItemHasFixedFlagsAndThePlugInTab) {
    open(kInventory, QStringLiteral("100"));
    EXPECT_TRUE(editor->state().freeItem);
    EXPECT_FALSE(check("ChkbFixLength")->isEnabled() || check("ChkbFixLength")->isChecked());
    EXPECT_FALSE(check("ChkbInput")->isEnabled() || check("ChkbInput")->isChecked());
    EXPECT_TRUE(check("ChkbCheckVal")->isChecked());
    EXPECT_FALSE(check("ChkbCheckVal")->isEnabled());
    EXPECT_FALSE(check("ChkbArchive")->isEnabled());
    EXPECT_FALSE(edit("EdtcDefaultVal")->isEnabled());
    EXPECT_FALSE(edit("EdtiLength")->isEnabled());
    EXPECT_FALSE(combo("CmbiDataSource")->isEnabled());
    auto* tabs = w<QTabWidget>("SSTab1");
    ASSERT_EQ(tabs->count(), 2);  // the sample plug-in's page
    EXPECT_NE(editor->findChild<QLineEdit*>(QStringLiteral("EdtPlugInNote")), nullptr);

    // A regular item of the same class: no plug-in page.
    open(kInventory, QStringLiteral("80"));
    EXPECT_EQ(w<QTabWidget>("SSTab1")->count(), 1);
}

TEST_F(ItemEditor, InUseProbeForEveryClass) {
    struct Case {
        QString cClass, cId;
        bool inUse;
    };
    const Case cases[] = {
        {kCustomer, "42", true},   {kCustomer, "40", false},   {kVendor, "60", true},
        {kVendor, "61", false},    {kContact, "121", true},    {kContact, "120", false},
        {kBatch, "140", true},     {kBatch, "146", false},     {kInventory, "80", true},
        {kInventory, "81", false}, {kInventory, "100", true},  {kInventory, "103", false},
        {kHeader, "1", false},     {kCustomer, "5001", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cId.toStdString());
        open(c.cClass, c.cId);
        EXPECT_EQ(editor->state().inUse, c.inUse);
    }
    // Data entered later is seen on the next opening.
    ASSERT_TRUE(session.account.db().exec(
        QStringLiteral("UPDATE customer SET cCusDefine1='x' WHERE cCusCode='C002'")));
    open(kCustomer, QStringLiteral("40"));
    EXPECT_TRUE(editor->state().inUse);
}

TEST_F(ItemEditor, ParentChoiceLeavesOutTheItemAndItsChildren) {
    open(kHeader, QStringLiteral("6"));  // 省份, parent of 城市 (7)
    QComboBox* parents = combo("CmbcParentID");
    EXPECT_EQ(parents->findText(QStringLiteral("省份")), -1);
    EXPECT_EQ(parents->findText(QStringLiteral("城市")), -1);
    EXPECT_NE(parents->findText(QStringLiteral("合同号")), -1);

    open(kHeader, QStringLiteral("7"));
    EXPECT_EQ(combo("CmbcParentID")->currentText(), QStringLiteral("省份"));
    emit combo("CmbcParentID")->activated(0);
    EXPECT_TRUE(enabled("SaveRs"));

    openNew(kHeader);
    EXPECT_NE(combo("CmbcParentID")->findText(QStringLiteral("城市")), -1);
}

TEST_F(ItemEditor, NameColumnsOfALanguageNotInstalledArePainted) {
    ASSERT_TRUE(
        session.account.db().exec(QStringLiteral("DELETE FROM q9langdefine WHERE LangID=28")));
    open(kHeader, QStringLiteral("1"));
    QTableWidget* grid = names();
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(),
              text("Q9.AA.USERDEF.citemname") + "(" + text("Q9.AA.ARCHIVE.COMMON.zh-cn") + ")");
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(),
              text("Q9.AA.USERDEF.citemname") + "(" + text("Q9.AA.ARCHIVE.COMMON.zh-us") + ")");
    EXPECT_EQ(grid->item(0, 1)->background().color(), session.pub->UnEditedColor());
    EXPECT_NE(grid->item(0, 0)->background().color(), session.pub->UnEditedColor());
    EXPECT_FALSE(grid->item(0, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(grid->item(0, 2)->flags() & Qt::ItemIsEditable);
}

TEST_F(ItemEditor, FlagNeedsANameFirst) {
    openNew(kHeader);
    chooseType(itemdef::kText);
    QCheckBox* archive = check("ChkbArchive");
    archive->click();
    EXPECT_FALSE(archive->isChecked());
    EXPECT_TRUE(editor->focusWidget() == names() || names()->isAncestorOf(editor->focusWidget()));

    setName(QStringLiteral("项目经理"));
    EXPECT_EQ(edit("EdtcItemName")->text(), QStringLiteral("项目经理"));
    archive->click();
    EXPECT_TRUE(archive->isChecked());
    EXPECT_TRUE(check("ChkbCheckVal")->isChecked());
    EXPECT_FALSE(check("chkbIsUserDefAttachFile")->isEnabled());
    EXPECT_TRUE(enabled("SaveRs"));

    // Fixed length refuses a default value of another length.
    edit("EdtiLength")->setText(QStringLiteral("4"));
    edit("EdtcDefaultVal")->setText(QStringLiteral("abc"));
    check("ChkbFixLength")->click();
    EXPECT_FALSE(check("ChkbFixLength")->isChecked());
    EXPECT_TRUE(messages().contains(
        session.pub->GetResFormatString(QStringLiteral("Q9.AA.USERDEF.FRMZAM.72_1"), {"4"})));
}

TEST_F(ItemEditor, DecimalDigitsTakeOnlyAllowedKeys) {
    open(kInventory, QStringLiteral("92"));  // number
    QLineEdit* digits = edit("EdtiDecimalDigits");
    digits->clear();
    QTest::keyClick(digits, Qt::Key_7);
    EXPECT_EQ(digits->text(), QString());
    QTest::keyClick(digits, Qt::Key_9);
    EXPECT_EQ(digits->text(), QString());
    QTest::keyClick(digits, Qt::Key_4);
    EXPECT_EQ(digits->text(), QStringLiteral("4"));

    open(kBatch, QStringLiteral("141"));
    digits = edit("EdtiDecimalDigits");
    digits->clear();
    QTest::keyClick(digits, Qt::Key_7);
    EXPECT_EQ(digits->text(), QStringLiteral("7"));
    digits->clear();
    QTest::keyClick(digits, Qt::Key_9);
    EXPECT_EQ(digits->text(), QString());
}

TEST_F(ItemEditor, DefaultValueOfADateItem) {
    open(kHeader, QStringLiteral("15"));
    QLineEdit* value = edit("EdtcDefaultVal");
    value->setFocus();
    QTest::keyClicks(value, QStringLiteral("soon"));
    EXPECT_TRUE(enabled("SaveRs"));
    emit value->editingFinished();
    EXPECT_TRUE(value->text().isEmpty());
    EXPECT_TRUE(messages().contains(text("Q9.AA.USERDEF.FRMZAM.360_1")));

    QTest::mouseClick(w<QToolButton>("CmdDate"), Qt::LeftButton);
    QCalendarWidget* picker = editor->datePicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->isVisible());
    emit picker->clicked(QDate(2026, 12, 24));
    EXPECT_EQ(value->text(), QStringLiteral("2026-12-24"));
    EXPECT_FALSE(picker->isVisible());
}

TEST_F(ItemEditor, KeysMoveSaveAndClose) {
    open(kHeader, QStringLiteral("1"));
    EXPECT_FALSE(enabled("First"));
    EXPECT_FALSE(enabled("Previous"));
    EXPECT_TRUE(enabled("Next"));

    // Enter moves on as Tab does.
    edit("EdtIMaxLen")->setFocus();
    QTest::keyClick(edit("EdtIMaxLen"), Qt::Key_Return);
    EXPECT_EQ(editor->focusWidget(), edit("EdtiLength"));

    QTest::keyClick(edit("EdtiLength"), Qt::Key_PageDown);
    EXPECT_EQ(editor->state().cId, QStringLiteral("2"));
    QTest::keyClick(edit("EdtiLength"), Qt::Key_PageDown, Qt::AltModifier);
    EXPECT_EQ(editor->state().cId, QStringLiteral("1004"));
    EXPECT_FALSE(enabled("Next"));
    EXPECT_FALSE(enabled("Last"));
    EXPECT_TRUE(editor->tree()->isVisible());
    QTest::keyClick(edit("EdtiLength"), Qt::Key_PageUp, Qt::AltModifier);
    EXPECT_EQ(editor->state().cId, QStringLiteral("1"));

    QTest::keyClicks(edit("EdtiLength"), QStringLiteral("1"));
    EXPECT_TRUE(enabled("SaveRs"));
    session.prompter->queueAnswer(host::MsgAnswer::No);
    QTest::keyClick(edit("EdtiLength"), Qt::Key_PageDown);  // asks to save: No drops the edit
    ASSERT_FALSE(messages().isEmpty());
    EXPECT_EQ(messages().last(), text("Q9.AAARCHIVE.COMMON.savearch_ornot"));
    EXPECT_EQ(editor->state().cId, QStringLiteral("2"));
    QTest::keyClick(edit("EdtiLength"), Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(ItemEditor, RecordLockHeldWhileShownReleasedOnMoveAndClose) {
    // A second administrator on the same account.
    auto prompter = std::make_shared<platform::pub::ScriptedPrompter>();
    platform::pub::Pub other(prompter, QStringLiteral("zh-CN"));
    other.setLogin(*session.login);
    const auto heldElsewhere = [&](const QString& id, int mode = 20) {
        const bool refused = other.IsLockFun(session.srv.get(), session.login.get(),
                                             QStringLiteral("UserDef"), mode, true, id);
        if (!refused)
            other.IsLockFun(session.srv.get(), session.login.get(), QStringLiteral("UserDef"), -2);
        return refused;
    };

    open(kHeader, QStringLiteral("1"));
    EXPECT_TRUE(heldElsewhere(QStringLiteral("1")));
    EXPECT_FALSE(heldElsewhere(QStringLiteral("2")));
    editor->Operating(QStringLiteral("next"));
    EXPECT_FALSE(heldElsewhere(QStringLiteral("1")));
    EXPECT_TRUE(heldElsewhere(QStringLiteral("2")));
    editor->Operating(QStringLiteral("last"));  // extended: lock mode 2
    EXPECT_TRUE(heldElsewhere(QStringLiteral("1004"), 2));
    editor->close();
    EXPECT_FALSE(heldElsewhere(QStringLiteral("1004"), 2));

    // Held elsewhere: the item opens read-only.
    ASSERT_FALSE(other.IsLockFun(session.srv.get(), session.login.get(), QStringLiteral("UserDef"),
                                 20, true, QStringLiteral("6")));
    open(kHeader, QStringLiteral("6"));
    EXPECT_TRUE(editor->isReadOnly());
    EXPECT_EQ(editor->windowTitle(),
              text("Q9.AA.ARCHIVE.userdefset") + text("Q9.AA.GRADEDEF.FRMGRADEDEF.readonly"));
    EXPECT_FALSE(edit("EdtiLength")->isEnabled());
    EXPECT_FALSE(check("ChkbInput")->isEnabled());
    EXPECT_FALSE(combo("CmbcParentID")->isEnabled());
    EXPECT_EQ(names()->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(enabled("SaveRs"));
    EXPECT_FALSE(enabled("Delete"));
    QTest::keyClicks(edit("EdtcDefaultVal"), QStringLiteral("x"));
    EXPECT_FALSE(enabled("SaveRs"));
    // Moving on to a free record gives the fields back.
    editor->Operating(QStringLiteral("next"));
    EXPECT_FALSE(editor->isReadOnly());
    EXPECT_TRUE(edit("EdtiLength")->isEnabled());
    EXPECT_EQ(editor->windowTitle(), text("Q9.AA.ARCHIVE.userdefset"));
}

TEST_F(ItemEditor, DataSourceAndRelatedArchive) {
    open(kHeader, QStringLiteral("8"));  // values from the person archive's names
    controls::RefEdit* box = editor->relArchiveBox();
    EXPECT_EQ(box->text(), QStringLiteral("职员档案"));
    EXPECT_TRUE(box->isReferenceMode());
    EXPECT_EQ(combo("CmbcRelField")->currentText(), QStringLiteral("职员名称"));
    EXPECT_EQ(combo("CmbcRelField")->count(), 3);      // the person archive's text fields
    EXPECT_FALSE(combo("CmbcParentID")->isEnabled());  // an item fed from an archive has no parent

    // Another archive: its fields, the old field forgotten.
    host::RecordSetPtr chosen = std::make_shared<host::RecordSet>(
        QVector<host::FieldInfo>{{QStringLiteral("key")}, {QStringLiteral("name")}},
        QVector<QVector<QVariant>>{{QStringLiteral("Warehouse"), QStringLiteral("仓库档案")}});
    emit box->lookupReturned(chosen);
    EXPECT_EQ(box->text(), QStringLiteral("仓库档案"));
    EXPECT_EQ(editor->state().relArchive, QStringLiteral("Warehouse"));
    EXPECT_TRUE(editor->state().relField.isEmpty());
    EXPECT_EQ(combo("CmbcRelField")->findText(QStringLiteral("仓库名称")) >= 0, true);
    EXPECT_TRUE(enabled("SaveRs"));
    const int wh = combo("CmbcRelField")->findText(QStringLiteral("仓库名称"));
    combo("CmbcRelField")->setCurrentIndex(wh);
    emit combo("CmbcRelField")->activated(wh);
    EXPECT_EQ(editor->state().relField, QStringLiteral("cWhName"));

    emit box->lookupReturned(std::make_shared<host::RecordSet>());  // nothing to choose
    EXPECT_TRUE(messages().contains(text("Q9.AA.ARCHIVE.FIELD.nothefield")));
    EXPECT_FALSE(combo("CmbcRelField")->isEnabled());

    // Own values: no archive, the default value and the parent come back.
    QComboBox* source = combo("CmbiDataSource");
    source->setCurrentIndex(0);
    emit source->activated(0);
    EXPECT_FALSE(box->isEnabled());
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(combo("CmbcRelField")->count(), 0);
    EXPECT_TRUE(edit("EdtcDefaultVal")->isEnabled());
    EXPECT_TRUE(check("ChkbFixLength")->isEnabled());
    EXPECT_TRUE(combo("CmbcParentID")->isEnabled());

    // Back to an archive: no default value, no fixed length, no parent.
    combo("CmbcParentID")->setCurrentIndex(1);
    source->setCurrentIndex(1);
    emit source->activated(1);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(edit("EdtcDefaultVal")->isEnabled());
    EXPECT_TRUE(edit("EdtcDefaultVal")->text().isEmpty());
    EXPECT_FALSE(check("ChkbFixLength")->isEnabled());
    EXPECT_FALSE(combo("CmbcParentID")->isEnabled());
    EXPECT_EQ(combo("CmbcParentID")->currentIndex(), 0);

    // A new item chooses its type before its data source.
    openNew(kBody);
    setName(QStringLiteral("批号"));
    EXPECT_TRUE(combo("CmbiDataSource")->isEnabled());
    combo("CmbiDataSource")->setCurrentIndex(1);
    emit combo("CmbiDataSource")->activated(1);
    EXPECT_TRUE(messages().contains(text("Q9.AA.ARCHIVE.FIELD.thefirstchoosedatatype")));
    EXPECT_EQ(combo("CmbiDataSource")->currentIndex(), -1);
}

TEST_F(ItemEditor, AttachmentFollowsTheRowOfTheItemWhileMoving) {
    open(kHeader, QStringLiteral("10"));  // row 10 of the header list
    EXPECT_TRUE(check("chkbIsUserDefAttachFile")->isEnabled());
    editor->Operating(QStringLiteral("previous"));
    EXPECT_EQ(editor->state().row, 9);
    EXPECT_FALSE(check("chkbIsUserDefAttachFile")->isEnabled());
    open(kBody, QStringLiteral("24"));  // body row 5
    EXPECT_FALSE(check("chkbIsUserDefAttachFile")->isEnabled());
    editor->Operating(QStringLiteral("first"));
    EXPECT_TRUE(check("chkbIsUserDefAttachFile")->isEnabled());
}

TEST_F(ItemEditor, TicksPlugInNotesAndHelpAsAUserUsesThem) {
    open(kHeader, QStringLiteral("1001"));
    controls::CheckTree* tree = editor->tree();
    controls::CheckTreeModel* model = tree->model();
    QString unticked;
    for (const QString& key : model->keys())
        if (itemdef::isTableNode(key) && !model->isTicked(key)) unticked = key;
    ASSERT_FALSE(unticked.isEmpty());

    check("ShowChecked")->click();  // only the ticked tables
    EXPECT_FALSE(tree->isShown(unticked));
    check("ShowChecked")->click();
    EXPECT_TRUE(tree->isShown(unticked));

    EXPECT_FALSE(enabled("SaveRs"));
    ASSERT_TRUE(model->setData(model->indexOf(unticked), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(model->isTicked(unticked));
    EXPECT_TRUE(enabled("SaveRs"));

    // A plug-in's own field marks the item changed too.
    open(kInventory, QStringLiteral("101"));
    EXPECT_FALSE(enabled("SaveRs"));
    auto* note = editor->findChild<QLineEdit*>(QStringLiteral("EdtPlugInNote"));
    ASSERT_NE(note, nullptr);
    note->setText(QStringLiteral("only in blue"));
    EXPECT_TRUE(enabled("SaveRs"));

    // F1 shows the help topic of the item's kind.
    QTest::keyClick(edit("EdtIMaxLen"), Qt::Key_F1);
    ASSERT_NE(session.pub->helpWindow(), nullptr);
    EXPECT_TRUE(session.pub->helpWindow()->isVisible());
}

TEST_F(ItemEditor, HostileNamesShowAsTheyAreAndNamesKeepTheirSize) {
    const QString hostile = QStringLiteral("O'Brien <&> --; \"x\" 😀");
    ASSERT_TRUE(session.account.db().execParams(
        QStringLiteral("UPDATE UserDef_Base SET cItemName=?1 WHERE cId='2'"), {hostile}));
    ASSERT_TRUE(session.account.db().exec(
        QStringLiteral("UPDATE UserDef_Base SET cParentID='2' WHERE cId='3'")));
    ASSERT_TRUE(session.account.db().execParams(
        QStringLiteral("UPDATE userdef_lang SET cItemName=?1 WHERE cid='1' AND LocaleID='en-US'"),
        {hostile}));

    open(kHeader, QStringLiteral("3"));
    EXPECT_EQ(combo("CmbcParentID")->currentText(), hostile);
    open(kHeader, QStringLiteral("2"));  // its own child (3) is no candidate either
    EXPECT_EQ(combo("CmbcParentID")->findText(hostile), -1);
    EXPECT_EQ(combo("CmbcParentID")->findText(QStringLiteral("自定义项3")), -1);
    open(kHeader, QStringLiteral("1"));
    EXPECT_EQ(names()->item(0, 2)->text(), hostile);
    EXPECT_NE(combo("CmbcParentID")->findText(hostile), -1);

    // A name cell takes at most the size of cItemName.
    QTableWidget* grid = names();
    grid->setCurrentCell(0, 0);
    grid->editItem(grid->item(0, 0));
    auto* cellEditor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!cellEditor) cellEditor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(cellEditor, nullptr);
    EXPECT_EQ(cellEditor->maxLength(), 60);
}
