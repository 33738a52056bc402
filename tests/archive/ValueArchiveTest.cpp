// The value archive window driven through its commands and boxes, on the demo account: item 20
// (body, colours, stop flag), 101 (free item, sizes with bar codes), 35 (date), 21 (no values).
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QTabBar>
#include <QFile>
#include <QFileDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QTest>

#include "controls/RefEdit.h"
#include "tests/archive/ArchiveFixture.h"

namespace {

using archivetest::ArchiveTest;

const QStringList kColours = {QStringLiteral("红色"), QStringLiteral("蓝色"), QStringLiteral("墨绿"),
                              QStringLiteral("白色")};

class ValueArchive : public ArchiveTest {
protected:
    QLineEdit* value(archive::FrmZArchive& w) { return w.box("EdtcValue"); }
    QLineEdit* alias(archive::FrmZArchive& w) { return w.box("EdtcAlias"); }
    // As a click does: a row already current is shown again.
    void selectRow(archive::FrmZArchive& w, int row) {
        if (w.grid()->currentRow() == row)
            w.RowSelected(row);
        else
            w.grid()->setCurrentRow(row);
    }
    // Key presses carrying the text, as an input method sends them.
    static void type(QWidget* box, const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // Types into a box, replacing what it holds.
    static void retype(QLineEdit* box, const QString& text) {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        type(box, text);
    }
    static void paste(QLineEdit* box, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
    static void clickTab(archive::FrmZArchive& w, int tab) {
        QTabBar* bar = w.findChild<QTabWidget*>("SSTab1")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    }
    // cAlias, cBarCode, cParentValue of a stored value; empty when there is no such row.
    QStringList storedRow(const QString& itemId, const QString& value) {
        const host::RecordSetPtr rs = session.account.db().query(
            QStringLiteral("SELECT cAlias, cBarCode, cParentValue FROM Userdefine "
                           "WHERE cId = ? AND cValue = ?"),
            {itemId, value});
        if (!rs || rs->isEmpty()) return {};
        return {rs->at(0, 0).toString(), rs->at(0, 1).toString(), rs->at(0, 2).toString()};
    }
    int saveQuestions() const {
        return int(session.prompter->askedTexts().count(
            session.pub->GetResString("Q9.AAARCHIVE.COMMON.savearch_ornot")));
    }
};

TEST_F(ValueArchive, ShowsTheItemAndItsValuesInTheirOrder) {
    auto w = open("20");
    EXPECT_EQ(w->currentItemId(), "20");
    EXPECT_EQ(w->box("EdtcItemName")->text(), QStringLiteral("颜色"));
    EXPECT_EQ(w->box("EdtcClass")->text(), text("Q9.AA.USERDEF.voucherbody"));
    EXPECT_EQ(w->box("EdtCType")->text(), text("Q9.AA.USERDEF.datatype_text"));
    EXPECT_EQ(gridValues(*w), kColours);
    EXPECT_EQ(w->grid()->text(0, 1), text("Q9.AA.USERDEF.cvalue"));
    EXPECT_EQ(w->grid()->text(2, 0), "2");
    EXPECT_EQ(w->grid()->checkState(3, 5), Qt::Checked);  // 墨绿 is stopped
    EXPECT_EQ(w->grid()->checkState(1, 5), Qt::Unchecked);
    EXPECT_EQ(w->valueColumnSize(), 120);
    // Browsing: nothing editable, nothing to save, a row needed for Modify and Delete.
    EXPECT_TRUE(w->box("EdtcValue")->isReadOnly());
    EXPECT_TRUE(enabled(*w, "Add"));
    EXPECT_FALSE(enabled(*w, "Modify"));
    EXPECT_FALSE(enabled(*w, "SaveRs"));

    selectRow(*w, 2);
    EXPECT_EQ(value(*w)->text(), QStringLiteral("蓝色"));
    EXPECT_EQ(alias(*w)->text(), QStringLiteral("BLUE"));
    EXPECT_TRUE(enabled(*w, "Modify"));
    EXPECT_TRUE(enabled(*w, "Delete"));
}

TEST_F(ValueArchive, AnItemWithoutValuesHasTheHeaderRowOnly) {
    auto w = open("1001");
    EXPECT_EQ(w->grid()->rows(), 1);
    EXPECT_FALSE(w->Operating("Delete"));
    w->Operating("Print");
    EXPECT_EQ(lastMessage(), text("Q9.AA.ARCHIVE.COMMON.nodata"));
}

TEST_F(ValueArchive, StopFlagOnlyForItems20To35) {
    for (const auto& [id, shown] : {std::pair{"1", false}, {"20", true}, {"35", true}, {"40", false}}) {
        auto w = open(QString::fromLatin1(id));
        auto* stop = w->findChild<QCheckBox*>("chkbFreeStop");
        EXPECT_EQ(stop->isVisibleTo(w.get()), shown) << id;
        EXPECT_EQ(w->grid()->colHidden(5), !shown) << id;
        QString doc;
        w->WriteUserDefineXML(w->currentItemId(), doc, archive::kAdding, {});
        EXPECT_EQ(doc.contains("<bFreeStop>"), shown) << id;
    }
}

TEST_F(ValueArchive, FreeItemsCarryBarCodes) {
    auto free = open("101");
    EXPECT_TRUE(free->isFreeItem());
    EXPECT_TRUE(free->box("EdtcBarCode")->isVisibleTo(free.get()));
    EXPECT_EQ(free->grid()->colWidth(3), 1700);
    EXPECT_EQ(free->grid()->text(1, 3), "SZ01");
    QString doc;
    free->WriteUserDefineXML("101", doc, archive::kAdding, {});
    EXPECT_TRUE(doc.contains("<cBarCode>"));

    auto plain = open("20");
    EXPECT_FALSE(plain->isFreeItem());
    EXPECT_FALSE(plain->box("EdtcBarCode")->isVisibleTo(plain.get()));
    EXPECT_TRUE(plain->grid()->colHidden(3));
    plain->WriteUserDefineXML("20", doc, archive::kAdding, {});
    EXPECT_FALSE(doc.contains("cBarCode"));
}

TEST_F(ValueArchive, AddSavesAndIsAtOnceReadyForTheNextValue) {
    auto w = open("20");
    ASSERT_TRUE(w->Operating("Add"));
    EXPECT_EQ(w->editMode(), archive::kAdding);
    EXPECT_FALSE(value(*w)->isReadOnly());
    EXPECT_FALSE(enabled(*w, "Add"));
    value(*w)->setText(QStringLiteral("黄色"));
    alias(*w)->setText(QStringLiteral("YEL"));
    EXPECT_TRUE(enabled(*w, "SaveRs"));
    ASSERT_TRUE(w->Operating("SaveRs")) << lastMessage().toStdString();
    EXPECT_EQ(storedValues("20"), kColours + QStringList{QStringLiteral("黄色")});
    EXPECT_EQ(gridValues(*w).last(), QStringLiteral("黄色"));
    // Continuous entry: adding again, boxes empty.
    EXPECT_EQ(w->editMode(), archive::kAdding);
    EXPECT_TRUE(value(*w)->text().isEmpty());
    value(*w)->setText(QStringLiteral("紫色"));
    QTest::keyClick(alias(*w), Qt::Key_Return);  // Enter in the alias box saves (no bar code)
    EXPECT_EQ(storedValues("20").last(), QStringLiteral("紫色"));
}

TEST_F(ValueArchive, ChecksBeforeSaving) {
    auto w = open("20");
    ASSERT_TRUE(w->Operating("Add"));
    struct Case {
        const char* value;
        const char* alias;
        const char* key;
    };
    for (const Case& c : {Case{"  ", "", "Q9.AA.ARCHIVE.COMMON.userdefine_cvalue_notnull"},
                          Case{"红色", "", "Q9.AA.ARCHIVE.COMMON.userdefine_cvalue_exist"},
                          Case{"新", "BLUE", "Q9.AA.ARCHIVE.COMMON.userdefine_calias_exist"}}) {
        value(*w)->setText(QString::fromUtf8(c.value));
        alias(*w)->setText(QString::fromUtf8(c.alias));
        EXPECT_FALSE(w->Operating("SaveRs")) << c.value;
        EXPECT_EQ(lastMessage(), text(c.key)) << c.value;
        EXPECT_EQ(w->editMode(), archive::kAdding);  // the typed data stays
        EXPECT_EQ(alias(*w)->text(), QString::fromUtf8(c.alias));
    }
    EXPECT_EQ(storedValues("20"), kColours);
    // An empty alias is not compared (白色 has none).
    value(*w)->setText(QStringLiteral("灰色"));
    alias(*w)->clear();
    EXPECT_TRUE(w->Operating("SaveRs"));
}

TEST_F(ValueArchive, ModifyKeepsItsOwnTextButNotAnotherRows) {
    auto w = open("20");
    selectRow(*w, 1);
    ASSERT_TRUE(w->Operating("Modify"));
    EXPECT_EQ(w->oldValue(), QStringLiteral("红色"));
    alias(*w)->setText(QStringLiteral("CRIMSON"));
    ASSERT_TRUE(w->Operating("SaveRs")) << lastMessage().toStdString();
    EXPECT_EQ(w->editMode(), archive::kBrowse);

    const int row = gridValues(*w).indexOf(QStringLiteral("红色")) + 1;
    selectRow(*w, row);
    ASSERT_TRUE(w->Operating("Modify"));
    value(*w)->setText(QStringLiteral("蓝色"));
    EXPECT_FALSE(w->Operating("SaveRs"));
    EXPECT_EQ(lastMessage(), text("Q9.AA.ARCHIVE.COMMON.userdefine_cvalue_exist"));
    value(*w)->setText(QStringLiteral("大红"));
    ASSERT_TRUE(w->Operating("SaveRs")) << lastMessage().toStdString();
    QStringList expected = kColours;
    expected.removeOne(QStringLiteral("红色"));
    EXPECT_EQ(storedValues("20").size(), 4);
    EXPECT_TRUE(storedValues("20").contains(QStringLiteral("大红")));
    EXPECT_FALSE(storedValues("20").contains(QStringLiteral("红色")));
}

TEST_F(ValueArchive, DateItemsTakeDatesOnly) {
    auto w = open("35");
    ASSERT_TRUE(w->Operating("Add"));
    value(*w)->setText(QStringLiteral("明天"));
    EXPECT_FALSE(w->Operating("SaveRs"));
    EXPECT_EQ(lastMessage(), text("Q9.AA.USERDEF.FRMZARCHIVE.706_1"));
    value(*w)->setText(QStringLiteral("2024-02-29"));
    EXPECT_TRUE(w->Operating("SaveRs"));
    EXPECT_EQ(storedValues("35"), QStringList{QStringLiteral("2024-02-29")});
}

TEST_F(ValueArchive, DeleteAsksAndRemovesThatValueOnly) {
    auto w = open("20");
    selectRow(*w, 2);
    session.prompter->queueAnswer(host::MsgAnswer::No);
    EXPECT_TRUE(w->Operating("Delete"));
    EXPECT_EQ(lastMessage(), session.pub->GetResFormatString("Q9.AA.USERDEF.FRMZARCHIVE.597_1",
                                                             {QStringLiteral("蓝色")}));
    EXPECT_EQ(storedValues("20"), kColours);

    selectRow(*w, 2);
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    EXPECT_TRUE(w->Operating("Delete"));
    QStringList expected = kColours;
    expected.removeAt(1);
    EXPECT_EQ(storedValues("20"), expected);
    EXPECT_EQ(gridValues(*w), expected);
}

TEST_F(ValueArchive, HostileValuesAreSavedAndDeletedAsTyped) {
    auto w = open("20");
    const QStringList hostile = {QStringLiteral("x' or '1'='1"), QStringLiteral("a -- b; c"),
                                 QStringLiteral("<a & b>]]>"),
                                 QString::fromUtf8("\xF0\x9F\x98\x80\xF0\xA0\x80\x8B")};
    for (const QString& v : hostile) {
        ASSERT_TRUE(w->Operating("Add") || w->editMode() == archive::kAdding);
        value(*w)->setText(v);
        ASSERT_TRUE(w->Operating("SaveRs")) << v.toStdString() << lastMessage().toStdString();
    }
    EXPECT_EQ(storedValues("20"), kColours + hostile);
    selectRow(*w, gridValues(*w).indexOf(hostile.first()) + 1);
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    ASSERT_TRUE(w->Operating("Delete"));
    EXPECT_EQ(storedValues("20"), kColours + hostile.mid(1));
}

TEST_F(ValueArchive, StepsThroughTheNamedItemsOfTheClass) {
    auto w = open("20");  // body items with names: 20, 27, 31, 2001 …
    EXPECT_FALSE(enabled(*w, "First"));
    EXPECT_FALSE(enabled(*w, "Previous"));
    w->Operating("next");
    EXPECT_EQ(w->currentItemId(), "27");
    EXPECT_EQ(w->box("EdtcItemName")->text(), QStringLiteral("仓库"));
    EXPECT_TRUE(enabled(*w, "First"));
    const host::RecordSetPtr items = itemsAt("20");
    items->moveLast();
    const QString last = items->text("cId");
    items->movePrevious();
    const QString beforeLast = items->text("cId");
    w->Operating("last");
    EXPECT_EQ(w->currentItemId(), last);
    EXPECT_FALSE(enabled(*w, "Next"));
    EXPECT_FALSE(enabled(*w, "Last"));
    EXPECT_EQ(w->grid()->rows(), 1);
    QTest::keyClick(w->grid(), Qt::Key_PageUp);  // Page Up: previous
    EXPECT_EQ(w->currentItemId(), beforeLast);
    QTest::keyClick(w->grid(), Qt::Key_PageUp, Qt::AltModifier);  // Alt+Page Up: first
    EXPECT_EQ(w->currentItemId(), "20");
    EXPECT_EQ(gridValues(*w), kColours);
}

TEST_F(ValueArchive, AnEditedItemIsLockedForOtherSessions) {
    platform::pub::Pub other(std::make_shared<platform::pub::ScriptedPrompter>());
    other.setLogin(*session.login);
    const auto heldElsewhere = [&] {
        const bool held = other.IsLockFun(session.srv.get(), session.login.get(), "UserDefine", 2,
                                          true, "20");
        if (!held) other.IsLockFun(session.srv.get(), session.login.get(), "UserDefine", -2, true, "20");
        return held;
    };
    auto w = open("20");
    EXPECT_FALSE(heldElsewhere());
    ASSERT_TRUE(w->Operating("Add"));
    EXPECT_TRUE(heldElsewhere());
    selectRow(*w, 1);  // choosing a row ends the edit
    EXPECT_FALSE(heldElsewhere());

    ASSERT_TRUE(w->Operating("Modify"));
    EXPECT_TRUE(heldElsewhere());
    w->close();
    EXPECT_FALSE(heldElsewhere());

    // Held by the other session: Add does nothing.
    ASSERT_FALSE(other.IsLockFun(session.srv.get(), session.login.get(), "UserDefine", 2, true, "20"));
    auto second = open("20");
    EXPECT_FALSE(second->Operating("Add"));
    EXPECT_EQ(second->editMode(), archive::kBrowse);
}

TEST_F(ValueArchive, FreeItemPlugInAddsItsTabAndColumn) {
    auto w = open("101");
    auto* tabs = w->findChild<QTabWidget*>("SSTab1");
    ASSERT_EQ(tabs->count(), 2);
    const int noteCol = w->grid()->cols() - 1;
    EXPECT_EQ(w->grid()->text(0, noteCol), QStringLiteral("备注 / Note"));

    ASSERT_TRUE(w->Operating("Add"));
    value(*w)->setText(QStringLiteral("XXL"));
    auto* note = tabs->widget(1)->findChild<QLineEdit*>("EdtPlugInNote");
    ASSERT_NE(note, nullptr);
    note->setText(QStringLiteral("extra large"));
    EXPECT_TRUE(enabled(*w, "SaveRs"));
    ASSERT_TRUE(w->Operating("SaveRs")) << lastMessage().toStdString();
    // The plug-in kept the note under the new value and shows it in its column.
    const int row = gridValues(*w).indexOf(QStringLiteral("XXL")) + 1;
    EXPECT_EQ(w->grid()->text(row, w->grid()->cols() - 1), QStringLiteral("extra large"));

    auto plain = open("20");
    EXPECT_EQ(plain->findChild<QTabWidget*>("SSTab1")->count(), 1);
}

TEST_F(ValueArchive, ParentValuesComeFromTheParentItem) {
    auto w = open("7", true);  // cities under provinces (item 6)
    controls::RefEdit* parent = w->lookupBox("EdtcParentValue");
    ASSERT_TRUE(parent->isReferenceMode());
    const host::RecordSetPtr offered = parent->loadRows();
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->recordCount(), 4);
    ASSERT_TRUE(w->Operating("Add"));
    EXPECT_FALSE(parent->isReadOnly());
    value(*w)->setText(QStringLiteral("温州"));
    w->box("EdtcParentValue")->setText(QStringLiteral("火星"));
    EXPECT_FALSE(w->Operating("SaveRs"));
    EXPECT_EQ(lastMessage(), text("Q9.AA.USERDEF.FRMZARCHIVE.parentvalue_notvalid"));
    w->box("EdtcParentValue")->setText(QStringLiteral("浙江"));
    ASSERT_TRUE(w->Operating("SaveRs")) << lastMessage().toStdString();
    const host::RecordSetPtr row = session.account.db().query(
        "SELECT cParentValue FROM Userdefine WHERE cId='7' AND cValue='温州'");
    ASSERT_TRUE(row && !row->isEmpty());
    EXPECT_EQ(row->at(0, 0).toString(), QStringLiteral("浙江"));

    // Without a parent definition the box stays read-only while editing.
    auto plain = open("7", false);
    ASSERT_TRUE(plain->Operating("Add"));
    EXPECT_TRUE(plain->lookupBox("EdtcParentValue")->isReadOnly());
}

TEST_F(ValueArchive, ValuesOfARelatedArchiveAreLookedUpAndCutToTheBox) {
    auto w = open("27");  // warehouses: Warehouse.cWhName
    controls::RefEdit* box = w->lookupBox("EdtcValue");
    ASSERT_TRUE(box->isReferenceMode());
    const host::RecordSetPtr offered = box->loadRows();
    ASSERT_TRUE(offered) << box->lastError().toStdString();
    EXPECT_GT(offered->recordCount(), 0);

    ASSERT_TRUE(w->Operating("Add"));
    const QString longName(300, QChar(0x4ED3));
    box->setLookupRunner([&](controls::LookupWindow&) {
        return std::make_shared<host::RecordSet>(
            QVector<host::FieldInfo>{{QStringLiteral("cValue")}},
            QVector<QVector<QVariant>>{{longName}});
    });
    box->lookup();
    EXPECT_EQ(value(*w)->text(), longName.left(value(*w)->maxLength()));
    EXPECT_LT(value(*w)->maxLength(), 300);
    EXPECT_EQ(lastMessage(), text("Q9.AA.USERDEF.FRMZARCHIVE.58_1"));

    auto own = open("20");  // no related archive: a plain box
    EXPECT_FALSE(own->lookupBox("EdtcValue")->isReferenceMode());
}

// The document carries the boxes of the item, whichever tab is in front when the user saves.
TEST_F(ValueArchive, WhatWasTypedIsSavedWhicheverTabIsInFront) {
    struct Case {
        bool modify;  // row 1 (S, 小号, SZ01), else a new value
        const char* value;
        const char* alias;
        const char* barCode;
    };
    for (const Case& c : {Case{false, "XXL", "特大号", "SZ05"}, Case{true, "S", "小码", "SZ11"}}) {
        auto w = open("101");
        w->show();
        if (c.modify) selectRow(*w, 1);
        QTest::keyClick(w->grid(), c.modify ? Qt::Key_F7 : Qt::Key_F5);
        ASSERT_NE(w->editMode(), archive::kBrowse) << c.value;
        if (!c.modify) type(value(*w), QString::fromUtf8(c.value));
        retype(alias(*w), QString::fromUtf8(c.alias));
        retype(w->box("EdtcBarCode"), QString::fromUtf8(c.barCode));
        clickTab(*w, 1);  // the plug-in's tab
        QTest::keyClick(w.get(), Qt::Key_F6);
        EXPECT_EQ(storedRow("101", QString::fromUtf8(c.value)),
                  (QStringList{QString::fromUtf8(c.alias), QString::fromUtf8(c.barCode), {}}))
            << c.value << " " << lastMessage().toStdString();
    }
    // A change that carries nothing to store is no success.
    QString error;
    EXPECT_FALSE(session.srv->Modify(
        QStringLiteral("<Userdefine><cId>101</cId><sValue>M</sValue></Userdefine>"),
        QStringLiteral("UserDefine"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(storedRow("101", QStringLiteral("M")),
              (QStringList{QStringLiteral("中号"), QStringLiteral("SZ02"), {}}));
}

// Every move that ends an edit asks before it drops what the user typed, and only then.
TEST_F(ValueArchive, MovesAskBeforeDroppingTyping) {
    enum Move { F5, PageDown, AltPageDown, ClickRow2, Exit };
    struct Case {
        bool modify;        // the alias of 红色, else a new value
        const char* typed;  // "" types nothing
        Move move;
        int answer;         // 0: no question
        bool stored;        // the typing is in the database
        bool stays;         // same item, same edit, typing in its box
    };
    constexpr int Yes = host::MsgAnswer::Yes, No = host::MsgAnswer::No,
                  Cancel = host::MsgAnswer::Cancel;
    const Case cases[] = {
        {true, "A1", F5, Cancel, false, true},      {true, "A2", F5, Yes, true, false},
        {true, "A3", F5, No, false, false},         {true, "", F5, 0, false, false},
        {false, "V4", PageDown, Cancel, false, true}, {false, "V5", PageDown, Yes, true, false},
        {false, "V6", PageDown, No, false, false},  {false, "", PageDown, 0, false, false},
        {false, "V7", AltPageDown, Yes, true, false}, {true, "A8", ClickRow2, Cancel, false, true},
        {false, "V9", ClickRow2, Yes, true, false}, {false, "V10", Exit, Cancel, false, true},
        {true, "", Exit, 0, false, false},
        // The save behind Yes fails (the alias of 蓝色): nothing moves, nothing is lost.
        {true, "BLUE", PageDown, Yes, false, true},
    };
    for (const Case& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        const std::string name = std::string(c.modify ? "modify " : "add ") + c.typed + " move " +
                                 std::to_string(int(c.move));
        auto w = open("20");
        w->show();
        if (c.modify) selectRow(*w, int(gridValues(*w).indexOf(QStringLiteral("红色"))) + 1);
        QTest::keyClick(w->grid(), c.modify ? Qt::Key_F7 : Qt::Key_F5);
        const int mode = w->editMode();
        QLineEdit* box = c.modify ? alias(*w) : value(*w);
        if (!typed.isEmpty()) retype(box, typed);
        session.prompter->clear();
        if (c.answer) session.prompter->queueAnswer(c.answer);
        switch (c.move) {
            case F5: QTest::keyClick(box, Qt::Key_F5); break;
            case PageDown: QTest::keyClick(box, Qt::Key_PageDown); break;
            case AltPageDown: QTest::keyClick(box, Qt::Key_PageDown, Qt::AltModifier); break;
            case ClickRow2: selectRow(*w, 2); break;
            case Exit: w->ButtonClick(QStringLiteral("Exit")); break;
        }
        EXPECT_EQ(saveQuestions(), c.answer ? 1 : 0) << name;
        const bool stored = c.modify ? storedRow("20", QStringLiteral("红色")).value(0) == typed
                                     : storedValues("20").contains(typed);
        EXPECT_EQ(stored, c.stored && !typed.isEmpty()) << name;
        const bool stays = w->isVisible() && w->currentItemId() == "20" &&
                           w->editMode() == mode && box->text() == typed;
        EXPECT_EQ(stays, c.stays) << name;
    }
}

// Text that no XML document can carry is refused with a message, and the typing stays.
TEST_F(ValueArchive, UnfitCharactersAreRefusedAndKept) {
    auto w = open("20");
    w->show();
    QTest::keyClick(w->grid(), Qt::Key_F5);
    const QString lone = QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y");
    struct Case {
        const char* box;
        QString text;
        const char* code;
    };
    for (const Case& c : {Case{"EdtcValue", QStringLiteral("a\x01" "b"), "U+0001"},
                          Case{"EdtcValue", lone, "U+D800"},
                          Case{"EdtcAlias", QStringLiteral("\x1f"), "U+001F"}}) {
        retype(value(*w), QStringLiteral("ok"));
        paste(w->box(c.box), c.text);
        ASSERT_EQ(w->box(c.box)->text(), c.text) << c.code;
        QTest::keyClick(w.get(), Qt::Key_F6);
        EXPECT_TRUE(lastMessage().contains(QLatin1String(c.code))) << lastMessage().toStdString();
        EXPECT_EQ(w->editMode(), archive::kAdding);
        EXPECT_EQ(w->box(c.box)->text(), c.text);
    }
    EXPECT_EQ(storedValues("20"), kColours);
    // The server refuses such a document, whoever sends it.
    for (const QString& bad : {QStringLiteral("a\x01" "b"), lone}) {
        QString error;
        EXPECT_FALSE(session.srv->Add(
            QStringLiteral("<Userdefine><cId>20</cId><cValue>") + bad +
                QStringLiteral("</cValue></Userdefine>"),
            QStringLiteral("UserDefine"), &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(storedValues("20"), kColours);
}

// The parent box follows the item shown, not the one the window was opened on.
TEST_F(ValueArchive, EachItemsOwnParentDecidesTheParentBox) {
    struct Case {
        const char* opened;
        bool parentDefine;
        Qt::Key key;
        const char* arrives;
        const char* value;
        const char* storedParent;
    };
    // 6 provinces (no parent) and 7 cities (parent: provinces) are neighbours.
    for (const Case& c : {Case{"6", false, Qt::Key_PageDown, "7", "温州", "浙江"},
                          Case{"7", true, Qt::Key_PageUp, "6", "福建", ""}}) {
        auto w = open(QString::fromLatin1(c.opened), c.parentDefine);
        w->show();
        QTest::keyClick(w->grid(), c.key);
        ASSERT_EQ(w->currentItemId(), QString::fromLatin1(c.arrives));
        QTest::keyClick(w->grid(), Qt::Key_F5);
        type(value(*w), QString::fromUtf8(c.value));
        type(w->box("EdtcParentValue"), QStringLiteral("浙江"));
        QTest::keyClick(w.get(), Qt::Key_F6);
        EXPECT_EQ(storedRow(QString::fromLatin1(c.arrives), QString::fromUtf8(c.value)).value(2),
                  QString::fromUtf8(c.storedParent))
            << c.opened << " " << lastMessage().toStdString();
    }
}

}  // namespace

namespace {

TEST_F(ValueArchive, ThePrintCommandsPreviewAndExportTheValueList) {
    auto w = open("20");
    int previewPages = -1;
    session.windows.onModal = [&previewPages](QDialog* d) {
        auto* preview = d->findChild<QPrintPreviewWidget*>();
        preview->updatePreview();
        previewPages = preview->pageCount();
        return int(QDialog::Rejected);
    };
    w->Operating("Preview");
    EXPECT_EQ(session.windows.shown.last(), QStringLiteral("QPrintPreviewDialog"));
    EXPECT_EQ(previewPages, 1);

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("values.csv"));
    session.windows.onModal = [&csv](QDialog* d) {
        qobject_cast<QFileDialog*>(d)->selectFile(csv);
        return int(QDialog::Accepted);
    };
    w->Operating("SaveFile");
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& colour : kColours) EXPECT_TRUE(text.contains(colour)) << colour.toStdString();
    ASSERT_NE(session.prompter->last(), nullptr);
    EXPECT_TRUE(session.prompter->last()->text.contains(QStringLiteral("4")));
}

}  // namespace
