// Saving items from the editor as a user does, read back from the account: a new extended item
// inserted then updated, record locks, table links added and dropped, numbers taken by someone
// else meanwhile, the layout captions the overwrite choice renames, deleting from editor and
// catalogue, the value archive, hostile names, and no typing lost on the way out.
#include <QApplication>
#include <QClipboard>
#include <QRegularExpression>
#include <algorithm>

#include "archive/FrmZArchive.h"
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "controls/Grid.h"
#include "controls/LookupWindow.h"
#include "controls/RefEdit.h"
#include "platform/pub/Pub.h"
#include "tests/catalogue/CatalogueFixture.h"
#include "tests/itemdef/EditorFixture.h"
#include "tests/support/HostileTexts.h"

using namespace edtest;

namespace {

// The session's server service; before each Add it lets `before` act as another administrator
// does between the editor's numbering and its write.
class RacingService : public host::IClsCommon {
public:
    explicit RacingService(std::shared_ptr<host::IClsCommon> inner) : m_inner(std::move(inner)) {}
    void init(const QString& text) override { m_inner->init(text); }
    bool Status() const override { return m_inner->Status(); }
    host::RecordSetPtr OpenX(const QString& sql) override { return m_inner->OpenX(sql); }
    bool ExecuteX(const QString& sql) override { return m_inner->ExecuteX(sql); }
    host::IConnection* m_cnn() override { return m_inner->m_cnn(); }
    QString lastError() const override { return m_inner->lastError(); }
    bool Add(const QString& xml, const QString& table, QString* error) override {
        ++adds;
        if (before) before(xml);
        return m_inner->Add(xml, table, error);
    }
    bool Modify(const QString& xml, const QString& table, QString* error) override {
        ++modifies;
        return m_inner->Modify(xml, table, error);
    }
    bool Delete(const QString& key, const QString& column, const QString& table,
                QString* error) override {
        return m_inner->Delete(key, column, table, error);
    }
    std::function<void(const QString&)> before;
    int adds = 0, modifies = 0;
    std::shared_ptr<host::IClsCommon> m_inner;
};

}  // namespace

class ItemSaveWrites : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        racing = std::make_shared<RacingService>(session.srv);
        userdef::g_SrvDB = racing;
        for (int n = 0; n < 3; ++n) {
            auto* tip = new QAction(QStringLiteral("mVouchTip%1").arg(n), &tipOwner);
            tip->setCheckable(true);
            tips << tip;
        }
    }
    // The opener's overwrite choice (-1: none checked).
    void chooseCover(int option) {
        for (int n = 0; n < 3; ++n) tips[n]->setChecked(n == option);
        editor->setCoverTips(tips);
    }
    QStringList captions(const QString& cId) {
        return rows(QStringLiteral("SELECT cLayoutId, cPart, cCaption FROM DocLayoutField "
                                   "WHERE cItemId = ? ORDER BY cLayoutId, cPart"),
                    {cId});
    }
    // Types into a name cell and leaves its editor open, as a user does before pressing a key.
    QLineEdit* typeName(const QString& text) {
        QTableWidget* g = names();
        g->setCurrentCell(0, 0);
        g->editItem(g->item(0, 0));
        auto* cell = g->viewport()->findChild<QLineEdit*>();
        EXPECT_NE(cell, nullptr);
        if (!cell) return nullptr;
        cell->selectAll();
        typeText(cell, text);
        return cell;
    }
    std::shared_ptr<RacingService> racing;
    QObject tipOwner;
    QList<QAction*> tips;
};

TEST_F(ItemSaveWrites, NewItemIsInsertedOnceThenUpdated) {
    const int before = items();
    // A table shown under two subsystems is ticked under both and linked once.
    fillNew(kHeader, {QStringLiteral("SA_OrderHead"), QStringLiteral("PR_AdjustHeadSA&&")});
    key(Qt::Key_F6);
    EXPECT_EQ(messages(), QStringList{text("Q9.AAARCHIVE.COMMON.saveExtendDefine_OK")});
    EXPECT_EQ(items(), before + 1);
    EXPECT_EQ(stored("1005", "cClass,cItem,cDicDbName,cType,IMaxLen,iLength"),
              QStringLiteral("单据头|扩展自定义项5|cHDefine5|文本|20|10"));
    EXPECT_EQ(rows("SELECT LocaleID, cItemName FROM userdef_lang WHERE cid='1005' "
                   "ORDER BY LocaleID"),
              (QStringList{"en-US|Spec", "zh-CN|规格", "zh-TW|規格"}));
    EXPECT_EQ(links("1005"), (QStringList{"PR_AdjustHead", "SA_OrderHead"}));
    EXPECT_TRUE(hasColumn("SA_OrderHead", "cHDefine5"));
    EXPECT_TRUE(hasColumn("PR_AdjustHead", "cHDefine5"));

    // The second save updates the same row.
    setName(QStringLiteral("规格二"), 0);
    key(Qt::Key_F6);
    EXPECT_EQ(items(), before + 1);
    EXPECT_EQ(racing->adds, 1);
    EXPECT_EQ(nameOf("1005"), QStringLiteral("规格二"));
    EXPECT_EQ(links("1005"), (QStringList{"PR_AdjustHead", "SA_OrderHead"}));

    // Archive items link their archive's own table.
    for (const auto& [cClass, table] :
         {std::pair{kInventory, "inventory"}, {kContact, "crm_contact"}}) {
        fillNew(cClass);
        key(Qt::Key_F6);
        EXPECT_EQ(links(editor->state().cId).join(',').toLower(), QLatin1String(table)) << table;
    }
}

TEST_F(ItemSaveWrites, AnItemIsWrittenOnlyUnderItsOwnRecordLock) {
    open(kInventory, QStringLiteral("80"));
    setName(QStringLiteral("原产地"), 0);
    key(Qt::Key_F6);
    EXPECT_TRUE(messages().isEmpty());  // no message for a regular item
    EXPECT_EQ(nameOf("80"), QStringLiteral("原产地"));
    EXPECT_TRUE(heldElsewhere(QStringLiteral("80")));  // still locked while shown
    // Moving on hands the lock over; closing gives it back.
    editor->Operating(QStringLiteral("next"));
    EXPECT_FALSE(heldElsewhere(QStringLiteral("80")));
    editor->close();

    // Held by another administrator: the item opens read-only and nothing is written.
    ASSERT_FALSE(lockElsewhere(20, QStringLiteral("80")));
    open(kInventory, QStringLiteral("80"));
    EXPECT_TRUE(editor->isReadOnly());
    QTest::keyClicks(edit("EdtcDefaultVal"), QStringLiteral("x"));
    setName(QStringLiteral("别的名字"), 0);
    EXPECT_FALSE(editor->SaveUserDefRs(QStringLiteral("80"), 2));
    EXPECT_EQ(racing->modifies, 1);
    EXPECT_EQ(nameOf("80"), QStringLiteral("原产地"));
    // Moving on to a free record gives the fields back.
    editor->Operating(QStringLiteral("next"));
    EXPECT_FALSE(editor->isReadOnly());
}

TEST_F(ItemSaveWrites, TickingOneMoreTableAddsExactlyThatColumn) {
    open(kHeader, QStringLiteral("1003"));
    const QStringList original = links("1003");
    ASSERT_EQ(original, (QStringList{"PU_ArrivalHead", "SA_DispatchHead", "SA_InvoiceHead"}));

    tick(QStringLiteral("Mark&&ST_InboundHead"), true);
    key(Qt::Key_F6);
    EXPECT_EQ(links("1003"), original + QStringList{"ST_InboundHead"});
    EXPECT_TRUE(hasColumn("ST_InboundHead", "cHDefine3"));
    for (const QString& t : original) EXPECT_TRUE(hasColumn(t, "cHDefine3")) << t.toStdString();

    // The next save compares with what was just saved: unticking drops that one table.
    tick(QStringLiteral("Mark&&ST_InboundHead"), false);
    key(Qt::Key_F6);
    EXPECT_EQ(links("1003"), original);
    EXPECT_FALSE(hasColumn("ST_InboundHead", "cHDefine3"));
    for (const QString& t : original) EXPECT_TRUE(hasColumn(t, "cHDefine3")) << t.toStdString();

    // No table at all: refused before the server.
    for (const QString& k : editor->tree()->model()->tickedKeys())
        if (k.startsWith(QLatin1String("Mark&&"))) tick(k, false);
    session.prompter->clear();
    key(Qt::Key_F6);
    EXPECT_EQ(messages(), QStringList{text("Q9.AA.ARCHIVE.USERDEF.FrmZAM.PleaseChooseConfine")});
    EXPECT_EQ(links("1003"), original);
    EXPECT_EQ(racing->modifies, 2);
}

TEST_F(ItemSaveWrites, NumbersTakenMeanwhileAreRenumberedOrRefused) {
    // Between the editor's numbering and its write, another administrator adds an item with the
    // same id and column: once, or at every attempt.
    for (const bool always : {false, true}) {
        SCOPED_TRACE(always ? "always" : "once");
        int raced = 0;
        racing->adds = 0;
        racing->before = [&](const QString& xml) {
            if (!always && raced++ > 0) return;
            QString theirs = xml;
            theirs.replace(QStringLiteral("规格"), QStringLiteral("别人的项"));
            const QString n = QRegularExpression(QStringLiteral("<cId>(\\d+)</cId>"))
                                  .match(xml)
                                  .captured(1)
                                  .right(1);
            theirs.replace(QRegularExpression(QStringLiteral("<cItem>[^<]*</cItem>")),
                           QStringLiteral("<cItem>扩展自定义项9") + n + QStringLiteral("</cItem>"));
            QString error;
            EXPECT_TRUE(racing->m_inner->Add(theirs, QStringLiteral("Userdef_base"), &error))
                << error.toStdString();
        };
        fillNew(kHeader, {QStringLiteral("SA_OrderHead")});
        const int before = items();
        key(Qt::Key_F6);
        racing->before = nullptr;
        const int mine = rows("SELECT count(*) FROM userdef_lang WHERE cItemName='规格'")
                             .value(0)
                             .toInt();
        if (!always) {
            EXPECT_EQ(racing->adds, 2);
            EXPECT_EQ(nameOf("1005"), QStringLiteral("别人的项"));
            EXPECT_EQ(nameOf("1006"), QStringLiteral("规格"));
            EXPECT_EQ(stored("1006", "cDicDbName"), QStringLiteral("cHDefine6"));
            EXPECT_EQ(links("1006"), QStringList{"SA_OrderHead"});
            EXPECT_EQ(mine, 1);
        } else {
            EXPECT_EQ(racing->adds, itemdef::kNumberingAttempts);
            EXPECT_EQ(messages().last(), text("Q9.AA.USERDEF.FrmZAM.numbertaken"));
            EXPECT_EQ(mine, 1);  // only the first run's item
            EXPECT_EQ(items(), before + itemdef::kNumberingAttempts);  // only theirs
            EXPECT_TRUE(enabled("SaveRs"));                            // the edits stay
        }
    }
}

TEST_F(ItemSaveWrites, CoverChoiceDecidesWhichLayoutCaptionsFollowTheName) {
    const QString bodyQ = text("Q9.AA.ARCHIVE.COMMON.startup_vouchbody_def");
    const QString vouchQ = text("Q9.AA.ARCHIVE.COMMON.1135_1");
    struct Case {
        QString cClass, cId;
        int option;
        QList<int> answers;
        QStringList asked;
        bool body, header;  // whether body and header captions take the new name
    };
    const Case cases[] = {
        {kInventory, "80", 0, {6, 6}, {bodyQ, vouchQ}, true, true},
        {kInventory, "80", 0, {7, 7}, {bodyQ, vouchQ}, false, false},
        {kInventory, "80", 0, {6, 7}, {bodyQ, vouchQ}, true, false},
        {kInventory, "80", 1, {}, {}, true, true},
        {kInventory, "80", 2, {}, {}, false, false},
        {kInventory, "80", -1, {}, {}, false, false},
        {kHeader, "1", 0, {7}, {vouchQ}, false, false},
        {kHeader, "1", 0, {6}, {vouchQ}, false, true},
        {kInventory, "3001", 0, {}, {}, false, false},  // extended items are never asked
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString name = QStringLiteral("名称%1").arg(++n);
        SCOPED_TRACE(name.toStdString());
        const QStringList before = captions(c.cId);
        QStringList expected;
        for (const QString& caption : before) {
            const bool body = caption.section('|', 1, 1) == QLatin1String("B");
            expected << ((body ? c.body : c.header) ? caption.section('|', 0, 1) + "|" + name
                                                    : caption);
        }
        open(c.cClass, c.cId);
        chooseCover(c.option);
        session.prompter->clear();
        for (int a : c.answers) session.prompter->queueAnswer(a);
        setName(name, 0);
        key(Qt::Key_F6);
        QStringList asked = messages();
        asked.removeAll(text("Q9.AAARCHIVE.COMMON.saveExtendDefine_OK"));
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(nameOf(c.cId), name);
        EXPECT_EQ(captions(c.cId), expected);
    }

    // While the editor is open the catalogue lists the saved name and stands on the item.
    auto cat = cattest::openCatalogue();
    ASSERT_TRUE(cat->selectClass(kInventory));
    cat->RunCommand(QStringLiteral("mVouchTip1"));
    cat->grid()->setCurrentRow(cattest::rowOfId(*cat, QStringLiteral("80")));
    int listedRow = -1;
    driveModals([&](QDialog* dialog) {
        auto* e = qobject_cast<itemdef::FrmZAM*>(dialog);
        ASSERT_NE(e, nullptr);
        e->findChild<QTableWidget*>(QStringLiteral("Grid"))->item(0, 0)->setText("原产国");
        ASSERT_TRUE(e->Operating(QStringLiteral("SaveRs")));
        listedRow = cat->grid()->currentRow();
    });
    cat->RunCommand(QStringLiteral("Define"));
    EXPECT_EQ(listedRow, cattest::rowOfId(*cat, QStringLiteral("80")));
    EXPECT_EQ(cat->grid()->text(listedRow, catalogue::kColItemName), QStringLiteral("原产国"));
}

TEST_F(ItemSaveWrites, DeleteFromTheEditor) {
    // A regular item is never sent to the server.
    open(kHeader, QStringLiteral("1"));
    const QString label = edit("EdtCItem")->text();
    EXPECT_FALSE(editor->Operating(QStringLiteral("Delete")));
    EXPECT_EQ(messages(),
              QStringList{text("Q9.AA.USERDEF.voucherheader") + QStringLiteral(" ") + label +
                          text("Q9.AA.ARCHIVE.USERDEF.FrmUserDef.nottodelete")});
    EXPECT_EQ(stored("1", "cId"), QStringLiteral("1"));

    // Item 1004 holds values in the payables table; the adjustment table is not checked.
    open(kHeader, QStringLiteral("1004"));
    session.prompter->clear();
    session.prompter->queueAnswers({host::MsgAnswer::Yes, host::MsgAnswer::No});
    EXPECT_FALSE(editor->Operating(QStringLiteral("Delete")));
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages().at(0), text("Q9.AA.ARCHIVE.FIELD.deleteornot"));
    const QString question = messages().at(1);
    EXPECT_TRUE(question.contains(
        session.pub->GetResFormatString(QStringLiteral("Q9.AA.USERDEF.FrmZAM.DeleteDataLine"),
                                        {QStringLiteral("应付单主表")})))
        << question.toStdString();
    EXPECT_TRUE(question.contains(text("Q9.AA.USERDEF.FrmZAM.DeleteSkipped") +
                                  QStringLiteral("\n出入库调整单主表")))
        << question.toStdString();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(links("1004").size(), 3);
    EXPECT_TRUE(hasColumn("AP_VouchHead", "cHDefine4"));

    // Yes to both: the item, its links and its columns go, the editor closes.
    session.prompter->queueAnswers({host::MsgAnswer::Yes, host::MsgAnswer::Yes});
    EXPECT_TRUE(editor->Operating(QStringLiteral("Delete")));
    EXPECT_EQ(stored("1004", "cId"), QStringLiteral("<none>"));
    EXPECT_TRUE(links("1004").isEmpty());
    EXPECT_FALSE(hasColumn("AP_VouchHead", "cHDefine4"));
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(ItemSaveWrites, DeleteFromTheCatalogue) {
    auto cat = cattest::openCatalogue();
    ASSERT_TRUE(cat->selectClass(kHeader));
    const int before = items();
    // No item chosen.
    cat->grid()->setCurrentRow(0);
    cat->RunCommand(QStringLiteral("Delete"));
    EXPECT_EQ(messages(), QStringList{text("Q9.AA.ARCHIVE.COMMON.no")});
    // A regular item.
    session.prompter->clear();
    int row = cattest::rowOfId(*cat, QStringLiteral("1"));
    cat->grid()->setCurrentRow(row);
    cat->RunCommand(QStringLiteral("Delete"));
    EXPECT_EQ(messages(),
              QStringList{cat->grid()->text(row, catalogue::kColClass) +
                          cat->grid()->text(row, catalogue::kColItem) + QStringLiteral("  ") +
                          text("Q9.AA.ARCHIVE.FIELD.nottodelete")});
    // An extended item without values: one question; No keeps it, Yes deletes it.
    session.prompter->clear();
    cat->grid()->setCurrentRow(cattest::rowOfId(*cat, QStringLiteral("1003")));
    session.prompter->queueAnswer(host::MsgAnswer::No);
    cat->RunCommand(QStringLiteral("Delete"));
    EXPECT_EQ(messages(), QStringList{text("Q9.AA.ARCHIVE.FIELD.deleteornot")});
    EXPECT_EQ(items(), before);
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    cat->RunCommand(QStringLiteral("Delete"));
    EXPECT_EQ(items(), before - 1);
    EXPECT_EQ(stored("1003", "cId"), QStringLiteral("<none>"));
    EXPECT_LE(cattest::rowOfId(*cat, QStringLiteral("1003")), 0);  // the list was refreshed
}

TEST_F(ItemSaveWrites, ArchiveFromTheEditor) {
    open(kHeader, QStringLiteral("1003"));
    QString shownItem;
    driveModals([&](QDialog* dialog) {
        auto* a = qobject_cast<archive::FrmZArchive*>(dialog);
        ASSERT_NE(a, nullptr);
        shownItem = a->currentItemId();
    });
    // Unsaved changes: No drops them before the archive opens.
    setName(QStringLiteral("改过的名字"), 0);
    session.prompter->queueAnswer(host::MsgAnswer::No);
    EXPECT_TRUE(editor->Operating(QStringLiteral("Archive")));
    EXPECT_EQ(messages(), QStringList{text("Q9.AAARCHIVE.COMMON.savearch_ornot")});
    EXPECT_EQ(shownItem, QStringLiteral("1003"));
    EXPECT_EQ(names()->item(0, 0)->text(), QStringLiteral("运输方式"));
    EXPECT_EQ(nameOf("1003"), QStringLiteral("运输方式"));
    // The value lock is released afterwards.
    EXPECT_FALSE(lockElsewhere(2, {}, QStringLiteral("UserDefine")));
}

TEST_F(ItemSaveWrites, HostileNamesAreSavedAsTyped) {
    const QStringList saved = {text("Q9.AAARCHIVE.COMMON.saveExtendDefine_OK")};
    for (const QString& hostile : testsupport::hostileTexts(60)) {
        SCOPED_TRACE(testsupport::traceText(hostile));
        open(kHeader, QStringLiteral("1003"));
        session.prompter->clear();
        setName(hostile, 0);
        setName(hostile, 2);
        key(Qt::Key_F6);
        EXPECT_EQ(messages(), saved);
        EXPECT_EQ(rows("SELECT cItemName FROM userdef_lang WHERE cid='1003' AND LocaleID IN "
                       "('zh-CN','en-US')"),
                  (QStringList{hostile, hostile}));
    }
    // A character no document can carry: the editor names it, a new item and a stored one alike,
    // and nothing is written.
    const QString lone = QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y");
    const QStringList refused = {session.pub->GetResFormatString(
        "Q9.AA.ARCHIVE.COMMON.xmltext_unfit", {QStringLiteral("x\uFFFDy"), "U+D800"})};
    for (const bool isNew : {true, false}) {
        SCOPED_TRACE(isNew ? "new" : "stored");
        if (isNew)
            fillNew(kHeader, {QStringLiteral("SA_OrderHead")});
        else
            open(kHeader, QStringLiteral("1003"));
        const int before = items();
        session.prompter->clear();
        setName(lone, 0);
        key(Qt::Key_F6);
        EXPECT_EQ(messages(), refused);
        EXPECT_EQ(items(), before);
        EXPECT_EQ(rows("SELECT count(*) FROM userdef_lang WHERE cItemName LIKE 'x%y'"),
                  QStringList{"0"});
        EXPECT_EQ(names()->item(0, 0)->text(), lone);
    }
}

TEST_F(ItemSaveWrites, WhatIsStoredIsWhatTheEditorShowsLast) {
    // Item 8 takes its values from the person archive, item 27 from the warehouse archive.
    sql("UPDATE UserDef_Base SET cItemName='备注' WHERE cId IN ('2','3')");
    sql("UPDATE userdef_lang SET cItemName='备注' WHERE cid IN ('2','3') AND LocaleID='zh-CN'");
    sql("UPDATE UserDef_Base SET cItemName='' WHERE cId='6'");  // listed by its language name
    sql("UPDATE UserDef_Base SET cParentID='2' WHERE cId='1'");
    sql("UPDATE UserDef_Base SET cParentID='3' WHERE cId='2'");
    const QString rel = QStringLiteral("iDataSource,cRelArchive,cRefID,cRelField");
    struct Case {
        const char* what;
        QString cClass, cId;
        std::function<void()> act;
        QString columns, expected;
        QString refusal;  // resource key of the refusal, empty when the save goes through
    };
    const Case cases[] = {
        {"own values again", kHeader, "8",
         [&] { key(Qt::Key_Up, combo("CmbiDataSource")); }, rel, "0|||", {}},
        {"archive box cleared", kBody, "27",
         [&] {
             QLineEdit* box = editor->relArchiveBox()->lineEdit();
             box->selectAll();
             key(Qt::Key_Backspace, box);
         },
         rel, "1|Warehouse|Warehouse|cWhName", "Q9.AA.USERDEF.FRMZAM.814_1"},
        {"archive box typed over", kBody, "27",
         [&] {
             QLineEdit* box = editor->relArchiveBox()->lineEdit();
             box->selectAll();
             QTest::keyClicks(box, QStringLiteral("Person"));
         },
         rel, "1|Warehouse|Warehouse|cWhName", "Q9.AA.USERDEF.FRMZAM.814_1"},
        {"another archive from the look-up", kBody, "27",
         [&] {
             driveModals([](QDialog* d) {
                 auto* lookup = qobject_cast<controls::LookupWindow*>(d);
                 ASSERT_NE(lookup, nullptr);
                 lookup->setFilterText(QStringLiteral("职员档案"));
                 lookup->choose();
             });
             key(Qt::Key_F2, editor->relArchiveBox()->lineEdit());
             pick(combo("CmbcRelField"), QStringLiteral("职员名称"));
         },
         rel, "1|Person|Person|cPersonName", {}},
        {"number after text keeps no text lengths", kHeader, "",
         [&] {
             fillNew(kHeader, {QStringLiteral("SA_OrderHead")});
             edit("EdtcDefaultVal")->setText(QStringLiteral("abc"));
             chooseType(itemdef::kNumber);
         },
         "IMaxLen,iLength,iDecimalDigits,cDefaultVal", "||6|", {}},
        {"one of two parents of the same name", kHeader, "4",
         [&] { pick(combo("CmbcParentID"), "备注 (3)"); }, "cParentID", "3", {}},
        {"parent listed by its language name", kHeader, "7",
         [&] { QTest::keyClicks(edit("EdtcDefaultVal"), QStringLiteral("x")); }, "cParentID",
         "6", {}},
        {"parent leading back to the item", kHeader, "3",
         [&] { pick(combo("CmbcParentID"), "合同号"); }, "cParentID", "",
         "Q9.AA.USERDEF.FrmZAM.parentcycle"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.cId.isEmpty()) open(c.cClass, c.cId);
        session.prompter->clear();
        c.act();
        key(Qt::Key_F6);
        const QString id = editor->state().cId;
        EXPECT_EQ(stored(id, c.columns), c.expected);
        QStringList refusals = messages();
        refusals.removeAll(text("Q9.AAARCHIVE.COMMON.saveExtendDefine_OK"));
        if (c.refusal.isEmpty()) {
            EXPECT_TRUE(refusals.isEmpty()) << refusals.join('|').toStdString();
            EXPECT_FALSE(enabled("SaveRs"));
        } else {
            EXPECT_EQ(refusals.size(), 1);
            EXPECT_TRUE(refusals.value(0).startsWith(
                session.pub->GetResString(c.refusal).section('%', 0, 0)))
                << refusals.value(0).toStdString();
            EXPECT_TRUE(enabled("SaveRs"));  // the typing stays
        }
    }
}

TEST_F(ItemSaveWrites, LengthOfAnItemInUseIsJudgedWhenTyped) {
    sql("UPDATE UserDef_Base SET IMaxLen=30, iLength=15 WHERE cId='42'");  // customer, in use
    open(kCustomer, QStringLiteral("42"));
    QLineEdit* length = edit("EdtiLength");
    const auto type = [&](const char* value, int finish) {
        length->setFocus();
        length->selectAll();
        QTest::keyClicks(length, QString::fromLatin1(value));
        key(finish, length);
    };
    type("20", Qt::Key_Return);  // "2" on the way is no reduction
    key(Qt::Key_F6);
    EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
    EXPECT_EQ(stored("42", "iLength"), QStringLiteral("20"));
    type("5", Qt::Key_Return);   // a reduction, once typed
    EXPECT_EQ(length->text(), QStringLiteral("20"));
    EXPECT_EQ(messages(), QStringList{text("Q9.AA.USERDEF.FRMZAM.402_1")});
    type("17", Qt::Key_F6);  // saved straight away: judged by the save, against the 20 stored
    EXPECT_EQ(messages().size(), 2);
    EXPECT_EQ(stored("42", "iLength"), QStringLiteral("20"));

    // Whether an item is in use that cannot be found out protects it as in use.
    sql("ALTER TABLE customer RENAME TO customer_moved");
    open(kCustomer, QStringLiteral("41"));  // not in use, length 120
    session.prompter->clear();
    length = edit("EdtiLength");
    type("9", Qt::Key_F6);
    EXPECT_EQ(messages(), QStringList{text("Q9.AA.USERDEF.FRMZAM.402_1")});
    EXPECT_EQ(stored("41", "iLength"), QStringLiteral("120"));
}

TEST_F(ItemSaveWrites, AColumnHoldingValuesIsNeverDroppedUnasked) {
    // Item 1004 holds a value in the payables table; the adjustment table is not checked.
    const QStringList all = {"AP_VouchHead", "AR_VouchHead", "IA_AdjustHead"};
    const QString hint = text("Q9.AA.ARCHIVE.USERDEF.FrmZAM.ReferHintLeft") + "应付单主表";
    const QString failed = text("Q9.AA.USERDEF.FrmZAM.DataCheckFailed").section('%', 0, 0);
    const auto untick = [&] {
        open(kHeader, QStringLiteral("1004"));
        tick(QStringLiteral("Mark&&AP_VouchHead"), false);
        key(Qt::Key_F6);
    };
    const auto fromCatalogue = [&] {
        auto cat = cattest::openCatalogue();
        ASSERT_TRUE(cat->selectClass(kHeader));
        cat->grid()->setCurrentRow(cattest::rowOfId(*cat, QStringLiteral("1004")));
        cat->RunCommand(QStringLiteral("Delete"));
    };
    struct Case {
        const char* what;
        bool unreadable;
        std::function<void()> act;
        QList<int> answers;
        QString asked;  // start of the last message
        QStringList linked;
    };
    const Case cases[] = {
        {"untick, table unreadable", true, untick, {}, failed, all},
        {"delete in the catalogue, table unreadable", true, fromCatalogue, {6}, failed, all},
        {"untick, kept", false, untick, {7}, hint, all},
        {"untick, dropped", false, untick, {6}, hint, {"AR_VouchHead", "IA_AdjustHead"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.unreadable) {  // the companion is there but cannot be read
            sql("ALTER TABLE AP_VouchHead_extradefine RENAME TO ap_moved");
            sql("CREATE VIEW AP_VouchHead_extradefine AS SELECT cHDefine4 FROM ap_gone");
        }
        session.prompter->clear();
        for (int a : c.answers) session.prompter->queueAnswer(a);
        c.act();
        const QStringList shown = messages();
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                                [&](const QString& m) { return m.startsWith(c.asked); }))
            << shown.join('|').toStdString();
        if (c.unreadable) {
            sql("DROP VIEW AP_VouchHead_extradefine");
            sql("ALTER TABLE ap_moved RENAME TO AP_VouchHead_extradefine");
        }
        EXPECT_EQ(links("1004"), c.linked);
        EXPECT_EQ(hasColumn("AP_VouchHead", "cHDefine4"), c.linked.size() == 3);
    }
}

TEST_F(ItemSaveWrites, TypingIsNeverDroppedUnasked) {
    const QString ask = text("Q9.AAARCHIVE.COMMON.savearch_ornot");
    // A name still in its cell, then Page Down: asked, saved, moved.
    open(kHeader, QStringLiteral("1003"));
    QLineEdit* cell = typeName(QStringLiteral("运输方式二"));
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    key(Qt::Key_PageDown, cell);
    EXPECT_EQ(messages().value(0), ask);
    EXPECT_EQ(nameOf("1003"), QStringLiteral("运输方式二"));
    EXPECT_EQ(editor->state().cId, QStringLiteral("1004"));

    // A name still in its cell, then the window closed: asked, saved.
    session.prompter->clear();
    typeName(QStringLiteral("结算方式二"));
    editor->close();
    EXPECT_EQ(messages().value(0), ask);
    EXPECT_EQ(nameOf("1004"), QStringLiteral("结算方式二"));
    EXPECT_FALSE(editor->isVisible());

    // Escape with changes asks; a save that fails keeps the window and the typing.
    open(kHeader, QStringLiteral("1003"));
    session.prompter->clear();
    edit("EdtIMaxLen")->clear();
    typeText(edit("EdtcDefaultVal"), QStringLiteral("陆运"));
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    key(Qt::Key_Escape);
    EXPECT_EQ(messages().value(0), ask);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(edit("EdtcDefaultVal")->text(), QStringLiteral("陆运"));
    session.prompter->queueAnswer(host::MsgAnswer::No);
    key(Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(stored("1003", "IMaxLen,cDefaultVal"), QStringLiteral("20|"));

    // Values looked at in the value archive (F8, rows walked, Escape) are no change of the
    // item: Escape closes the editor unasked. The free item brings its plug-in along.
    for (const auto& [cClass, id] : {std::pair{kHeader, "1003"}, std::pair{kInventory, "100"}}) {
        open(cClass, QString::fromLatin1(id));
        bool shown = false;
        driveModals([&](QDialog* dialog) {
            shown = true;
            for (const int k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Escape})
                QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key(k));
        });
        session.prompter->clear();
        key(Qt::Key_F8);
        EXPECT_TRUE(shown) << id;
        EXPECT_FALSE(enabled("SaveRs")) << id;
        key(Qt::Key_Escape);
        EXPECT_TRUE(messages().isEmpty()) << id << messages().join('|').toStdString();
        EXPECT_FALSE(editor->isVisible()) << id;
    }

    // Keys that only select, copy or are refused change nothing: Escape closes unasked.
    open(kHeader, QStringLiteral("1003"));
    session.prompter->clear();
    for (const char* box : {"EdtIMaxLen", "EdtcDefaultVal"}) {
        QTest::keyClick(edit(box), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit(box), Qt::Key_C, Qt::ControlModifier);
    }
    QTest::keyClick(edit("EdtIMaxLen"), Qt::Key_X);
    EXPECT_FALSE(enabled("SaveRs"));
    key(Qt::Key_Escape);
    EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
    EXPECT_FALSE(editor->isVisible());

    // A default value pasted with the mouse is a change too.
    open(kHeader, QStringLiteral("1003"));
    QApplication::clipboard()->setText(QStringLiteral("海运"));
    edit("EdtcDefaultVal")->paste();
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    editor->ButtonClick(QStringLiteral("Next"));
    EXPECT_EQ(stored("1003", "cDefaultVal"), QStringLiteral("海运"));
}
