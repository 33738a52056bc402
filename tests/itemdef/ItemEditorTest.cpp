// The item editor as a user sees it: fields per class, type and kind, the rules while editing,
// keys and moving between items. What a save writes is read back in the save tests.
#include <QCalendarWidget>
#include <QLabel>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <QTabWidget>
#include <QToolButton>

#include "app/DialogWindowHost.h"
#include "controls/RefEdit.h"
#include "platform/pub/HelpWindow.h"
#include "platform/pub/Pub.h"
#include "tests/itemdef/EditorFixture.h"
#include "tests/support/HostileTexts.h"

using namespace edtest;

using ItemEditor = EditorTest;

namespace {
// A plug-in that counts how often its controls are taken away.
class CountingPlugIn : public host::IPlugIn {
public:
    void init(const QString&, const QString&, host::IPlugInHost*) override {}
    void SetQ9ArchiveDbSrv(host::IClsCommon*) override {}
    void LoadPlugInControls(QTabWidget*) override {}
    void UnLoadPlugInControls() override { ++unloads; }
    void StartAdd() override {}
    void StartModify() override {}
    void EndAdd() override {}
    void EndModify() override {}
    int CurrentState() const override { return 0; }
    void FillGridCell(int) override {}
    void ActivateGridColumnControl(int) override {}
    void TabPageChanged(int, int) override {}
    int unloads = 0;
};
}  // namespace

TEST_F(ItemEditor, EachClassShowsItsFlagsParentChoiceAndTables) {
    struct Case {
        QString cClass, cId;
        bool multiSel, attach, parent, tables;
    };
    const Case cases[] = {
        {kHeader, "1", false, true, true, false},     {kBody, "20", false, true, true, false},
        {kCustomer, "40", true, false, true, false},  {kContact, "120", true, false, true, false},
        {kVendor, "60", false, false, false, false},  {kInventory, "80", false, false, false, false},
        {kBatch, "145", false, false, false, false},  {kHeader, "1001", false, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cId.toStdString());
        open(c.cClass, c.cId);
        EXPECT_EQ(check("ChkbMultiSel")->isVisible(), c.multiSel);
        EXPECT_EQ(check("chkbIsUserDefAttachFile")->isVisible(), c.attach);
        EXPECT_EQ(combo("CmbcParentID")->isEnabled(), c.parent);
        EXPECT_FALSE(combo("CmbCType")->isEnabled());  // an existing item keeps its type
        EXPECT_EQ(editor->tree()->isVisible(), c.tables);
    }
    EXPECT_FALSE(editor->tree()->model()->tickedKeys().isEmpty());  // 1001's tables
}

TEST_F(ItemEditor, StoredValuesShowLocalised) {
    open(kHeader, QStringLiteral("8"));  // 业务员: text from the person archive, default 林晓峰
    EXPECT_EQ(edit("EdtCItem")->text(), text("Q9.AA.USERDEF.userdefineitem") + QStringLiteral("8"));
    EXPECT_EQ(combo("CmbcRelField")->currentText(), QStringLiteral("职员名称"));

    open(kHeader, QStringLiteral("11"));  // stored "整数", the old name of integer
    EXPECT_EQ(combo("CmbCType")->currentText(), text("Q9.AA.USERDEF.datatype_int"));
    open(kHeader, QStringLiteral("13"));  // number with 2 digits keeps them
    EXPECT_EQ(edit("EdtiDecimalDigits")->text(), QStringLiteral("2"));
}

TEST_F(ItemEditor, NewItemFollowsTheChosenType) {
    openNew(kHeader);
    setName(QStringLiteral("项目经理"));
    // Each type: whether lengths are typed, the decimal digits offered, the date picker.
    for (const auto& [type, lengths, digits, dateButton] :
         {std::tuple{itemdef::kNumber, false, "6", false}, {itemdef::kText, true, "", false},
          {itemdef::kDate, false, "", true}, {itemdef::kInteger, false, "", false},
          {itemdef::kDateTime, false, "", true}}) {
        SCOPED_TRACE(type);
        if (type != itemdef::kText) check("ChkbArchive")->setChecked(true);
        chooseType(type);
        EXPECT_EQ(edit("EdtIMaxLen")->isEnabled(), lengths);
        EXPECT_EQ(edit("EdtiDecimalDigits")->text(), QString::fromLatin1(digits));
        EXPECT_EQ(w<QToolButton>("CmdDate")->isVisible(), dateButton);
        if (!lengths) { EXPECT_FALSE(check("ChkbArchive")->isChecked()); }  // cleared with the type
    }
    EXPECT_TRUE(enabled("SaveRs"));

    // A customer item has no date and time type; a vendor item has.
    for (const auto& [cClass, cId, types] :
         {std::tuple{kCustomer, "", 4}, {kCustomer, "40", 4}, {kVendor, "60", 5}}) {
        if (QString::fromLatin1(cId).isEmpty()) openNew(cClass); else open(cClass, cId);
        EXPECT_EQ(combo("CmbCType")->count(), types) << cId;
    }
}

TEST_F(ItemEditor, FreeItemHasFixedFlagsAndThePlugInTab) {
    open(kInventory, QStringLiteral("100"));
    for (const char* flag : {"ChkbFixLength", "ChkbInput", "ChkbCheckVal", "ChkbArchive"})
        EXPECT_FALSE(check(flag)->isEnabled()) << flag;
    EXPECT_FALSE(check("ChkbFixLength")->isChecked() || check("ChkbInput")->isChecked());
    EXPECT_TRUE(check("ChkbCheckVal")->isChecked());
    EXPECT_FALSE(edit("EdtcDefaultVal")->isEnabled());
    EXPECT_FALSE(combo("CmbiDataSource")->isEnabled());
    EXPECT_EQ(w<QTabWidget>("SSTab1")->count(), 2);  // the sample plug-in's page
    // A plug-in's own field marks the item changed.
    auto* note = editor->findChild<QLineEdit*>(QStringLiteral("EdtPlugInNote"));
    ASSERT_NE(note, nullptr);
    note->setText(QStringLiteral("only in blue"));
    EXPECT_TRUE(enabled("SaveRs"));

    // A regular item of the same class: no plug-in page.
    open(kInventory, QStringLiteral("80"));
    EXPECT_EQ(w<QTabWidget>("SSTab1")->count(), 1);

    // Plug-ins handed to an editor on a regular item lose their controls on loading, and once
    // more when the editor closes; not again when it goes.
    auto counting = std::make_shared<CountingPlugIn>();
    editor = std::make_unique<itemdef::FrmZAM>();
    editor->setArchivePlugin(std::make_shared<host::PlugInCollection>(
        host::PlugInCollection{counting}));
    host::RecordSetPtr rs = itemSet(kInventory);
    for (rs->moveFirst(); rs->text(QStringLiteral("cId")) != QLatin1String("80");) rs->moveNext();
    editor->init(rs, rs->absolutePosition());
    show();
    EXPECT_EQ(counting->unloads, 1);
    key(Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    editor.reset();
    EXPECT_EQ(counting->unloads, 2);
}

TEST_F(ItemEditor, ParentChoiceLeavesOutTheItemAndItsChildren) {
    open(kHeader, QStringLiteral("6"));  // 省份, parent of 城市 (7)
    QComboBox* parents = combo("CmbcParentID");
    EXPECT_EQ(parents->findText(QStringLiteral("省份")), -1);
    EXPECT_EQ(parents->findText(QStringLiteral("城市")), -1);
    EXPECT_NE(parents->findText(QStringLiteral("合同号")), -1);

    open(kHeader, QStringLiteral("7"));
    EXPECT_EQ(combo("CmbcParentID")->currentText(), QStringLiteral("省份"));
    openNew(kHeader);
    EXPECT_NE(combo("CmbcParentID")->findText(QStringLiteral("城市")), -1);
}

TEST_F(ItemEditor, FlagsNeedANameAndFixedLengthADefaultOfThatLength) {
    openNew(kHeader);
    chooseType(itemdef::kText);
    QCheckBox* archive = check("ChkbArchive");
    archive->click();
    EXPECT_FALSE(archive->isChecked());
    EXPECT_TRUE(editor->focusWidget() == names() || names()->isAncestorOf(editor->focusWidget()));

    setName(QStringLiteral("项目经理"));
    archive->click();
    EXPECT_TRUE(archive->isChecked());

    edit("EdtiLength")->setText(QStringLiteral("4"));
    edit("EdtcDefaultVal")->setText(QStringLiteral("abc"));
    check("ChkbFixLength")->click();
    EXPECT_FALSE(check("ChkbFixLength")->isChecked());
    EXPECT_TRUE(messages().contains(
        session.pub->GetResFormatString(QStringLiteral("Q9.AA.USERDEF.FRMZAM.72_1"), {"4"})));
    edit("EdtcDefaultVal")->setText(QStringLiteral("abcd"));
    check("ChkbFixLength")->click();
    EXPECT_TRUE(check("ChkbFixLength")->isChecked());
}

TEST_F(ItemEditor, TypedDigitsAndDatesAreJudgedAsTyped) {
    // Decimal digits: at most 6, at most 8 for a batch property.
    for (const auto& [cClass, cId, typed, shown] :
         {std::tuple{kInventory, "92", Qt::Key_7, ""}, {kInventory, "92", Qt::Key_4, "4"},
          {kBatch, "141", Qt::Key_7, "7"}, {kBatch, "141", Qt::Key_9, ""}}) {
        open(cClass, cId);
        QLineEdit* digits = edit("EdtiDecimalDigits");
        digits->clear();
        QToolTip::hideText();
        QTest::keyClick(digits, typed);
        EXPECT_EQ(digits->text(), QString::fromLatin1(shown)) << cId << " " << typed;
        // A refused digit says which ones the box takes.
        EXPECT_EQ(QToolTip::text().contains(cClass == kBatch ? "8" : "6"), !*shown) << cId;
    }
    // Every way of selecting takes the whole number; a digit typed then replaces it, and the
    // save keeps it. Without a selection a second digit is refused with the reason.
    open(kInventory, QStringLiteral("92"));
    QLineEdit* digits = edit("EdtiDecimalDigits");
    digits->setFocus();
    using Gesture = std::function<void()>;
    for (const Gesture& select :
         {Gesture([&] { QTest::keyClick(digits, Qt::Key_A, Qt::ControlModifier); }),
          Gesture([&] {
              QTest::keyClick(digits, Qt::Key_End);
              QTest::keyClick(digits, Qt::Key_Home, Qt::ShiftModifier);
          }),
          Gesture([&] {
              QTest::keyClick(digits, Qt::Key_Home);
              QTest::keyClick(digits, Qt::Key_End, Qt::ShiftModifier);
          }),
          Gesture([&] { QTest::mouseDClick(digits, Qt::LeftButton); })}) {
        digits->deselect();
        select();
        EXPECT_EQ(digits->selectedText(), QStringLiteral("6"));
    }
    QTest::keyClick(digits, Qt::Key_2);
    QToolTip::hideText();
    QTest::keyClick(digits, Qt::Key_3);
    EXPECT_EQ(digits->text(), QStringLiteral("2"));
    EXPECT_TRUE(QToolTip::text().contains("1")) << QToolTip::text().toStdString();
    key(Qt::Key_F6, digits);
    EXPECT_EQ(stored("92", "iDecimalDigits"), QStringLiteral("2"));
    // The lengths take digits only and say so.
    QToolTip::hideText();
    QTest::keyClicks(edit("EdtIMaxLen"), QStringLiteral("x"));
    EXPECT_FALSE(edit("EdtIMaxLen")->text().contains('x'));
    EXPECT_EQ(QToolTip::text(), session.pub->GetResString("Pub.Edit.DigitsOnly"));

    // The default value of a date item: no date is taken back; the picker fills one in.
    open(kHeader, QStringLiteral("15"));
    QLineEdit* value = edit("EdtcDefaultVal");
    for (const QString& typed : {QStringLiteral("soon"), QStringLiteral("2026-02-30")}) {
        session.prompter->clear();
        value->clear();
        value->setFocus();
        QTest::keyClicks(value, typed);
        QTest::keyClick(value, Qt::Key_Tab);
        EXPECT_TRUE(value->text().isEmpty()) << typed.toStdString();
        EXPECT_EQ(messages(), QStringList{text("Q9.AA.USERDEF.FRMZAM.360_1")});
    }
    QTest::mouseClick(w<QToolButton>("CmdDate"), Qt::LeftButton);
    QCalendarWidget* picker = editor->datePicker();
    ASSERT_NE(picker, nullptr);
    emit picker->clicked(QDate(2026, 12, 24));
    EXPECT_EQ(value->text(), QStringLiteral("2026-12-24"));
    EXPECT_FALSE(picker->isVisible());
}

TEST_F(ItemEditor, KeysMoveBetweenItemsAndAskBeforeDroppingAnEdit) {
    open(kHeader, QStringLiteral("1"));
    const QString storedLength = stored("1", "iLength");
    // Enter moves on as Tab does.
    edit("EdtIMaxLen")->setFocus();
    QTest::keyClick(edit("EdtIMaxLen"), Qt::Key_Return);
    QLineEdit* length = edit("EdtiLength");
    EXPECT_EQ(editor->focusWidget(), length);

    for (const auto& [k, mod, id] :
         {std::tuple{Qt::Key_PageDown, Qt::NoModifier, "2"},
          {Qt::Key_PageDown, Qt::AltModifier, "1004"}, {Qt::Key_PageUp, Qt::AltModifier, "1"}}) {
        QTest::keyClick(length, k, mod);
        EXPECT_EQ(editor->state().cId, QString::fromLatin1(id));
    }
    EXPECT_TRUE(messages().isEmpty());  // moving is no change

    QTest::keyClicks(length, QStringLiteral("1"));
    session.prompter->queueAnswer(host::MsgAnswer::No);
    QTest::keyClick(length, Qt::Key_PageDown);  // asks to save: No drops the edit
    EXPECT_EQ(messages(), QStringList{text("Q9.AAARCHIVE.COMMON.savearch_ornot")});
    EXPECT_EQ(editor->state().cId, QStringLiteral("2"));
    EXPECT_EQ(stored("1", "iLength"), storedLength);
    QTest::keyClick(length, Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(ItemEditor, DataSourceAndRelatedArchive) {
    open(kHeader, QStringLiteral("8"));  // values from the person archive's names
    EXPECT_EQ(combo("CmbcRelField")->count(), 3);  // the person archive's text fields
    emit editor->relArchiveBox()->lookupReturned(std::make_shared<host::RecordSet>());
    EXPECT_TRUE(messages().contains(text("Q9.AA.ARCHIVE.FIELD.nothefield")));

    // Own values give the parent back; an archive again takes it away.
    QComboBox* parent = combo("CmbcParentID");
    pick(combo("CmbiDataSource"), combo("CmbiDataSource")->itemText(0));
    parent->setCurrentIndex(1);
    pick(combo("CmbiDataSource"), combo("CmbiDataSource")->itemText(1));
    EXPECT_FALSE(parent->isEnabled());
    EXPECT_EQ(parent->currentIndex(), 0);

    // A new item chooses its type before its data source.
    openNew(kBody);
    setName(QStringLiteral("批号"));
    session.prompter->clear();
    pick(combo("CmbiDataSource"), combo("CmbiDataSource")->itemText(1));
    EXPECT_EQ(messages(), QStringList{text("Q9.AA.ARCHIVE.FIELD.thefirstchoosedatatype")});
    EXPECT_EQ(combo("CmbiDataSource")->currentIndex(), -1);
}

TEST_F(ItemEditor, TicksTheTableFilterAndNamesTheGroupsOtherTables) {
    open(kHeader, QStringLiteral("1001"));
    controls::CheckTree* tree = editor->tree();
    controls::CheckTreeModel* model = tree->model();
    QString unticked;
    for (const QString& k : model->keys())
        if (itemdef::isTableNode(k) && !model->isTicked(k)) unticked = k;
    ASSERT_FALSE(unticked.isEmpty());

    check("ShowChecked")->click();  // only the ticked tables
    EXPECT_FALSE(tree->isShown(unticked));
    check("ShowChecked")->click();
    EXPECT_TRUE(tree->isShown(unticked));

    EXPECT_FALSE(enabled("SaveRs"));
    ASSERT_TRUE(model->setData(model->indexOf(unticked), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(enabled("SaveRs"));

    // A table of a table group ticks the group's other tables: the note beside the tree and
    // the close question name them, and a save links them all.
    fillNew(kHeader);
    model = editor->tree()->model();
    auto* note = editor->findChild<QLabel*>(QStringLiteral("LblGroupNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isVisible());
    QString dispatch, invoice;
    for (const QString& k : model->keys()) {
        if (itemdef::tableOfNode(k) == QLatin1String("SA_DispatchHead")) dispatch = k;
        if (itemdef::tableOfNode(k) == QLatin1String("SA_InvoiceHead")) invoice = k;
    }
    ASSERT_TRUE(model->setData(model->indexOf(dispatch), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(model->isTicked(invoice));
    const QString along =
        session.pub->GetResFormatString("Q9.AA.ARCHIVE.USERDEF.FrmZAM.AlsoTicks", {model->text(invoice)});
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), along);
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    key(Qt::Key_Escape);
    EXPECT_EQ(messages().value(0), text("Q9.AAARCHIVE.COMMON.savearch_ornot") + "\n" + along);
    EXPECT_EQ(links(rows("SELECT max(cast(cid as int)) FROM UserDef_Base WHERE cClass='单据头'").value(0)),
              (QStringList{"SA_DispatchHead", "SA_InvoiceHead"}));
}

// The editor runs modally as the desk runs it; F1 opens help beside it that takes keys (which
// reach it as a window, where a modal window would block them) and closes on its own.
TEST_F(ItemEditor, HelpFromTheModalEditorIsUsableBesideIt) {
    open(kHeader, QStringLiteral("1001"));
    editor->hide();
    bool looked = false;
    QTimer::singleShot(0, editor.get(), [&] {
        QTest::keyClick(edit("EdtIMaxLen"), Qt::Key_F1);
        platform::pub::HelpWindow* help = session.pub->helpWindow();
        ASSERT_NE(help, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
        EXPECT_EQ(help->topic(), QStringLiteral("UserDefExtend"));
        QWindow* window = help->windowHandle();
        QTest::keySequence(window, QKeySequence::Find);
        for (const char c : {'4', '0', '0', '0'}) QTest::keyClick(window, c);
        EXPECT_EQ(help->findBox()->text(), QStringLiteral("4000"));
        EXPECT_EQ(help->browser()->textCursor().selectedText(), QStringLiteral("4000"));
        QTest::keyClick(window, Qt::Key_Escape);
        EXPECT_FALSE(help->isVisible());
        EXPECT_TRUE(editor->isVisible());
        looked = true;
        editor->reject();
    });
    app::DialogWindowHost().showModal(editor.get());
    EXPECT_TRUE(looked);
}

TEST_F(ItemEditor, HostileNamesShowAsTheyAre) {
    for (const QString& hostile : testsupport::hostileTexts(60)) {
        SCOPED_TRACE(testsupport::traceText(hostile));
        ASSERT_TRUE(session.account.db().execParams(
            QStringLiteral("UPDATE UserDef_Base SET cItemName=?1 WHERE cId='2'"), {hostile}));
        ASSERT_TRUE(session.account.db().execParams(
            QStringLiteral("UPDATE userdef_lang SET cItemName=?1 WHERE cid='1' AND "
                           "LocaleID='en-US'"),
            {hostile}));
        sql(QStringLiteral("UPDATE UserDef_Base SET cParentID='2' WHERE cId='3'"));
        open(kHeader, QStringLiteral("3"));
        EXPECT_EQ(combo("CmbcParentID")->currentText(), hostile);
        open(kHeader, QStringLiteral("1"));
        EXPECT_EQ(names()->item(0, 2)->text(), hostile);
        EXPECT_NE(combo("CmbcParentID")->findText(hostile), -1);
    }
    // A name cell takes at most the size of cItemName.
    QTableWidget* grid = names();
    grid->setCurrentCell(0, 0);
    grid->editItem(grid->item(0, 0));
    auto* cellEditor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(cellEditor, nullptr);
    EXPECT_EQ(cellEditor->maxLength(), 60);

    // Typing in a cell, then moving on and closing with the cell still open, leaves no cell
    // editor behind for a view that no longer has it.
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    QTest::keyClicks(cellEditor, QStringLiteral("x"));
    session.prompter->queueAnswer(host::MsgAnswer::No);
    QTest::keyClick(cellEditor, Qt::Key_PageDown);
    grid->editItem(grid->item(0, 2));
    if (QWidget* focus = QApplication::focusWidget()) QTest::keyClicks(focus, QStringLiteral("y"));
    session.prompter->queueAnswer(host::MsgAnswer::No);
    editor->ButtonClick(QStringLiteral("Exit"));
    editor.reset();
    QApplication::processEvents();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.filter(QStringLiteral("commitData")).isEmpty()) << warnings.join('\n').toStdString();
}
