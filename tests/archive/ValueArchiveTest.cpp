// The value archive window driven by keys, clicks and its commands on the demo account, read back
// from the database. Items: 20 (body, colours, stop flag), 101 (free item, sizes with bar codes,
// the sample plug-in), 35 (date), 6/7 (provinces, cities under them), 27 (warehouses, a related
// archive), 42 customer cCusDefine3, 80 inventory cInvDefine1, 5001 extended customer cCDefine1.
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSysInfo>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "archive/FrmZArchive.h"
#include "controls/Grid.h"
#include "controls/RefEdit.h"
#include "host/Quote.h"
#include "itemdef/ItemRecord.h"
#include "tests/catalogue/CatalogueFixture.h"
#include "tests/controls/PrintFiles.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestSession.h"

namespace {

const QStringList kColours = {QStringLiteral("红色"), QStringLiteral("蓝色"), QStringLiteral("墨绿"),
                              QStringLiteral("白色")};

class ValueArchive : public testsupport::SessionTest {
protected:
    explicit ValueArchive(testsupport::TestAccount::Kind kind = testsupport::TestAccount::Kind::Embedded)
        : SessionTest(kind) {}
    // The named items of the item's class positioned on the item, as the catalogue hands them;
    // an item without a name comes alone.
    host::RecordSetPtr itemsAt(const QString& itemId) {
        const QString columns = QStringLiteral("select ") + itemdef::kItemColumns +
                                QStringLiteral(",cItemLang from userdef where ");
        const host::RecordSetPtr items = session.srv->OpenX(
            columns + QStringLiteral("cItemName<>'' and cClass=(select cClass from UserDef_Base "
                                     "where cId='") +
            host::sqlValue(itemId) + QStringLiteral("') order by cClass ,cast(cid as int) asc,cItem ASC "));
        for (items->moveFirst(); !items->eof(); items->moveNext())
            if (items->text(QStringLiteral("cId")) == itemId) return items;
        const host::RecordSetPtr alone =
            session.srv->OpenX(columns + QStringLiteral("cId='") + host::sqlValue(itemId) + "'");
        alone->moveFirst();
        return alone;
    }
    std::unique_ptr<archive::FrmZArchive> open(const QString& itemId, bool parentDefine = false) {
        auto w = std::make_unique<archive::FrmZArchive>();
        w->setArchivePlugin(nullptr);
        w->init(itemsAt(itemId));
        w->IsHaveParentDefine(parentDefine);
        w->show();
        return w;
    }
    // Read through a service of its own, on either kind of account.
    QStringList storedValues(const QString& itemId) {
        QStringList out;
        const host::RecordSetPtr rs = session.account.srv().OpenX(
            QStringLiteral("SELECT cValue FROM Userdefine WHERE cId = '") + host::sqlValue(itemId) +
            QStringLiteral("' ORDER BY pubzxts"));
        for (int r = 0; rs && r < rs->recordCount(); ++r) out << rs->textAt(r, 0);
        return out;
    }
    // cAlias, cBarCode, cParentValue, bFreeStop of a stored value; empty when there is none.
    QStringList storedRow(const QString& itemId, const QString& value) {
        const host::RecordSetPtr rs = session.account.srv().OpenX(
            QStringLiteral("SELECT isnull(cAlias, ''), isnull(cBarCode, ''), isnull(cParentValue, ''), "
                           "isnull(bFreeStop, 0) FROM Userdefine WHERE cId = '") +
            host::sqlValue(itemId) + QStringLiteral("' AND cValue = '") + host::sqlValue(value) +
            QStringLiteral("'"));
        if (!rs || rs->isEmpty()) return {};
        return {rs->textAt(0, 0), rs->textAt(0, 1), rs->textAt(0, 2), rs->textAt(0, 3)};
    }
    void sql(const QString& statement, const QVariantList& params = {}) {
        QString error;
        ASSERT_TRUE(session.account.db().execParams(statement, params, &error)) << error.toStdString();
    }
    static QStringList gridValues(const archive::FrmZArchive& w) {
        QStringList out;
        for (int r = 1; r < w.grid()->rows(); ++r) out << w.grid()->text(r, 1);
        return out;
    }
    // As a click does: a row already current is shown again.
    static void select(archive::FrmZArchive& w, const QString& value) {
        const int row = int(gridValues(w).indexOf(value)) + 1;
        ASSERT_GE(row, 1) << value.toStdString();
        if (w.grid()->currentRow() == row)
            w.RowSelected(row);
        else
            w.grid()->setCurrentRow(row);
    }
    // Key presses carrying the text, as an input method sends them, replacing what the box holds.
    static void retype(QLineEdit* box, const QString& text) {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    static void paste(QLineEdit* box, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
    QString lastMessage() const {
        const auto* last = session.prompter->last();
        return last ? last->text : QString();
    }
    QString text(const char* key) { return session.pub->GetResString(QLatin1String(key)); }
    QString deleteQuestion(const QString& value) {
        return session.pub->GetResFormatString("Q9.AA.USERDEF.FRMZARCHIVE.597_1", {value});
    }
    QString usageQuestion(const QString& value, int rows, const QString& tables) {
        return session.pub->GetResFormatString("Q9.AA.ARCHIVE.FRMZARCHIVE.valueinuse",
                                               {value, QString::number(rows), tables});
    }
};

TEST_F(ValueArchive, ShowsTheValuesInTheirOrderAndTheBoxesOfTheItemsKind) {
    auto w = open("20");
    EXPECT_EQ(gridValues(*w), kColours);
    EXPECT_EQ(w->grid()->checkState(3, 5), Qt::Checked);  // 墨绿 is stopped
    select(*w, QStringLiteral("蓝色"));
    EXPECT_EQ(w->box("EdtcAlias")->text(), QStringLiteral("BLUE"));
    EXPECT_EQ(open("1001")->grid()->rows(), 1);  // no values: the header row only

    struct Case {
        const char* id;
        bool stopFlag, barCode;
        int tabs;  // the free item's plug-in adds one
    };
    for (const Case& c : {Case{"1", false, false, 1}, Case{"20", true, false, 1},
                          Case{"35", true, false, 1}, Case{"40", false, false, 1},
                          Case{"101", false, true, 2}}) {
        auto k = open(QString::fromLatin1(c.id));
        EXPECT_EQ(k->findChild<QCheckBox*>("chkbFreeStop")->isVisible(), c.stopFlag) << c.id;
        EXPECT_EQ(k->grid()->colHidden(5), !c.stopFlag) << c.id;
        EXPECT_EQ(k->box("EdtcBarCode")->isVisible(), c.barCode) << c.id;
        EXPECT_EQ(k->findChild<QTabWidget*>("SSTab1")->count(), c.tabs) << c.id;
    }
}

// On either kind of account: add (F5) or modify (F7) a value, type, save (F6): stored as typed,
// or refused with its message and the typing kept.
class ValueArchiveOnAccounts : public ValueArchive,
                               public ::testing::WithParamInterface<testsupport::TestAccount::Kind> {
protected:
    ValueArchiveOnAccounts() : ValueArchive(GetParam()) {}
};

TEST_P(ValueArchiveOnAccounts, SavesWhatWasTypedOrRefusesItKeepingTheTyping) {
    struct Case {
        const char* item;
        const char* modify;  // the value modified; null: a new value
        const char* value;   // null: left as it is
        const char* alias;
        const char* parent;  // item 7, with a parent definition
        const char* refusal;
    };
    const Case cases[] = {
        {"20", nullptr, "黄色", "YEL", nullptr, nullptr},
        {"20", nullptr, "灰色", "", nullptr, nullptr},  // an empty alias is not compared (白色)
        {"20", nullptr, "  ", "", nullptr, "Q9.AA.ARCHIVE.COMMON.userdefine_cvalue_notnull"},
        {"20", nullptr, "红色", "", nullptr, "Q9.AA.ARCHIVE.COMMON.userdefine_cvalue_exist"},
        {"20", nullptr, "新", "BLUE", nullptr, "Q9.AA.ARCHIVE.COMMON.userdefine_calias_exist"},
        {"20", "红色", nullptr, "CRIMSON", nullptr, nullptr},  // its own value is no clash
        {"20", "红色", "蓝色", nullptr, nullptr, "Q9.AA.ARCHIVE.COMMON.userdefine_cvalue_exist"},
        {"20", "红色", "大红", nullptr, nullptr, nullptr},
        {"35", nullptr, "明天", nullptr, nullptr, "Q9.AA.USERDEF.FRMZARCHIVE.706_1"},
        {"35", nullptr, "2023-02-29", nullptr, nullptr, "Q9.AA.USERDEF.FRMZARCHIVE.706_1"},
        {"35", nullptr, "2024-02-29", nullptr, nullptr, nullptr},
        {"7", nullptr, "温州", nullptr, "火星", "Q9.AA.USERDEF.FRMZARCHIVE.parentvalue_notvalid"},
        {"7", nullptr, "温州", nullptr, "浙江", nullptr},
    };
    for (const Case& c : cases) {
        const QString item = QString::fromLatin1(c.item), value = QString::fromUtf8(c.value);
        const std::string name = std::string(c.item) + " " + (c.modify ? c.modify : "") + " " +
                                 (c.value ? c.value : "");
        auto w = open(item, c.parent != nullptr);
        const QStringList before = storedValues(item);
        if (c.modify) select(*w, QString::fromUtf8(c.modify));
        QTest::keyClick(w->grid(), c.modify ? Qt::Key_F7 : Qt::Key_F5);
        if (c.value) retype(w->box("EdtcValue"), value);
        if (c.alias) retype(w->box("EdtcAlias"), QString::fromUtf8(c.alias));
        if (c.parent) retype(w->box("EdtcParentValue"), QString::fromUtf8(c.parent));
        session.prompter->clear();
        QTest::keyClick(w.get(), Qt::Key_F6);
        if (c.refusal) {
            EXPECT_EQ(lastMessage(), text(c.refusal)) << name;
            EXPECT_EQ(storedValues(item), before) << name;
            EXPECT_NE(w->editMode(), archive::kBrowse) << name;
            if (c.value) { EXPECT_EQ(w->box("EdtcValue")->text(), value) << name; }
            continue;
        }
        const QString stored = c.value ? value : QString::fromUtf8(c.modify);
        const QStringList row = storedRow(item, stored);
        ASSERT_FALSE(row.isEmpty()) << name << " " << lastMessage().toStdString();
        if (c.alias) { EXPECT_EQ(row[0], QString::fromUtf8(c.alias)) << name; }
        if (c.parent) { EXPECT_EQ(row[2], QString::fromUtf8(c.parent)) << name; }
        EXPECT_EQ(storedValues(item).size(), before.size() + (c.modify ? 0 : 1)) << name;
        if (c.modify && c.value) { EXPECT_FALSE(storedValues(item).contains(c.modify)) << name; }
        if (c.modify) {  // a modified value keeps its place, in the list and in the database
            EXPECT_EQ(storedValues(item).indexOf(stored), before.indexOf(c.modify)) << name;
            EXPECT_EQ(gridValues(*w), storedValues(item)) << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ValueArchiveOnAccounts,
                         ::testing::Values(testsupport::TestAccount::Kind::Embedded,
                                           testsupport::TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

// Hostile texts one after another (the window stays adding after each save, Enter in the alias
// box saves), then the delete question: No keeps, Yes removes that value only.
TEST_F(ValueArchive, HostileValuesAreSavedAndDeletedAsTyped) {
    auto w = open("20");
    QTest::keyClick(w->grid(), Qt::Key_F5);
    const QStringList hostile = testsupport::hostileTexts(w->box("EdtcValue")->maxLength());
    for (const QString& v : hostile) {
        paste(w->box("EdtcValue"), v);
        QTest::keyClick(w->box("EdtcAlias"), Qt::Key_Return);
        ASSERT_EQ(storedValues("20").size(), kColours.size() + hostile.indexOf(v) + 1)
            << testsupport::traceText(v) << " " << lastMessage().toStdString();
    }
    EXPECT_EQ(storedValues("20"), kColours + hostile);

    for (const int answer : {int(host::MsgAnswer::No), int(host::MsgAnswer::Yes)}) {
        select(*w, hostile.first());
        session.prompter->queueAnswer(answer);
        EXPECT_TRUE(w->Operating("Delete"));
        EXPECT_EQ(lastMessage(), deleteQuestion(hostile.first()));
    }
    EXPECT_EQ(storedValues("20"), kColours + hostile.mid(1));
}

// The document carries the boxes of the item, whichever tab is in front when the user saves; the
// bar code box drops what is not a letter, digit or hyphen.
TEST_F(ValueArchive, WhatWasTypedIsSavedWhicheverTabIsInFront) {
    struct Case {
        bool modify;  // S (小号, SZ01), else a new value
        const char *value, *alias, *barCodeTyped, *barCode;
    };
    for (const Case& c : {Case{false, "XXL", "特大号", "SZ 05;<", "SZ05"},
                          Case{true, "S", "小码", "SZ-11", "SZ-11"}}) {
        auto w = open("101");
        if (c.modify) select(*w, QString::fromUtf8(c.value));
        QTest::keyClick(w->grid(), c.modify ? Qt::Key_F7 : Qt::Key_F5);
        ASSERT_NE(w->editMode(), archive::kBrowse) << c.value;
        if (!c.modify) retype(w->box("EdtcValue"), QString::fromUtf8(c.value));
        retype(w->box("EdtcAlias"), QString::fromUtf8(c.alias));
        retype(w->box("EdtcBarCode"), QString::fromUtf8(c.barCodeTyped));
        QTabBar* tabs = w->findChild<QTabWidget*>("SSTab1")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());  // the plug-in's
        QTest::keyClick(w.get(), Qt::Key_F6);
        EXPECT_EQ(storedRow("101", QString::fromUtf8(c.value)).mid(0, 3),
                  (QStringList{QString::fromUtf8(c.alias), QString::fromUtf8(c.barCode), {}}))
            << c.value << " " << lastMessage().toStdString();
    }
    // A change that carries nothing to store is no success.
    QString error;
    EXPECT_FALSE(session.srv->Modify(
        QStringLiteral("<Userdefine><cId>101</cId><sValue>M</sValue></Userdefine>"),
        QStringLiteral("UserDefine"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(storedRow("101", QStringLiteral("M")).mid(0, 2),
              (QStringList{QStringLiteral("中号"), QStringLiteral("SZ02")}));
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
    const QString saveQuestion = text("Q9.AAARCHIVE.COMMON.savearch_ornot");
    for (const Case& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        const std::string name = std::string(c.modify ? "modify " : "add ") + c.typed + " move " +
                                 std::to_string(int(c.move));
        auto w = open("20");
        if (c.modify) select(*w, QStringLiteral("红色"));
        QTest::keyClick(w->grid(), c.modify ? Qt::Key_F7 : Qt::Key_F5);
        const int mode = w->editMode();
        QLineEdit* box = w->box(c.modify ? "EdtcAlias" : "EdtcValue");
        if (!typed.isEmpty()) retype(box, typed);
        session.prompter->clear();
        if (c.answer) session.prompter->queueAnswer(c.answer);
        switch (c.move) {
            case F5: QTest::keyClick(box, Qt::Key_F5); break;
            case PageDown: QTest::keyClick(box, Qt::Key_PageDown); break;
            case AltPageDown: QTest::keyClick(box, Qt::Key_PageDown, Qt::AltModifier); break;
            case ClickRow2: w->grid()->setCurrentRow(2); break;
            case Exit: w->ButtonClick(QStringLiteral("Exit")); break;
        }
        EXPECT_EQ(session.prompter->askedTexts().count(saveQuestion), c.answer ? 1 : 0) << name;
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
        retype(w->box("EdtcValue"), QStringLiteral("ok"));
        paste(w->box(c.box), c.text);
        ASSERT_EQ(w->box(c.box)->text(), c.text) << c.code;
        QTest::keyClick(w.get(), Qt::Key_F6);
        EXPECT_TRUE(lastMessage().contains(QLatin1String(c.code))) << lastMessage().toStdString();
        EXPECT_EQ(w->editMode(), archive::kAdding);
        EXPECT_EQ(w->box(c.box)->text(), c.text);
    }
    // The server refuses such a document, whoever sends it.
    for (const QString& bad : {QStringLiteral("a\x01" "b"), lone}) {
        QString error;
        EXPECT_FALSE(session.srv->Add(QStringLiteral("<Userdefine><cId>20</cId><cValue>") + bad +
                                          QStringLiteral("</cValue></Userdefine>"),
                                      QStringLiteral("UserDefine"), &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(storedValues("20"), kColours);
}

// The parent box follows the item shown, not the one the window was opened on.
TEST_F(ValueArchive, EachItemsOwnParentDecidesTheParentBox) {
    struct Case {
        const char *opened, *arrives, *value, *storedParent;
        bool parentDefine;
        Qt::Key key;
    };
    // 6 provinces (no parent) and 7 cities (parent: provinces) are neighbours.
    for (const Case& c : {Case{"6", "7", "温州", "浙江", false, Qt::Key_PageDown},
                          Case{"7", "6", "福建", "", true, Qt::Key_PageUp}}) {
        auto w = open(QString::fromLatin1(c.opened), c.parentDefine);
        QTest::keyClick(w->grid(), c.key);
        ASSERT_EQ(w->currentItemId(), QString::fromLatin1(c.arrives));
        QTest::keyClick(w->grid(), Qt::Key_F5);
        retype(w->box("EdtcValue"), QString::fromUtf8(c.value));
        retype(w->box("EdtcParentValue"), QStringLiteral("浙江"));
        QTest::keyClick(w.get(), Qt::Key_F6);
        EXPECT_EQ(storedRow(QString::fromLatin1(c.arrives), QString::fromUtf8(c.value)).value(2),
                  QString::fromUtf8(c.storedParent))
            << c.opened << " " << lastMessage().toStdString();
    }
}

TEST_F(ValueArchive, StepsThroughTheNamedItemsOfTheClass) {
    auto w = open("20");  // body items with names: 20, 27, …
    QTest::keyClick(w->grid(), Qt::Key_PageDown);
    EXPECT_EQ(w->currentItemId(), "27");
    QTest::keyClick(w->grid(), Qt::Key_PageDown, Qt::AltModifier);
    const host::RecordSetPtr items = itemsAt("20");
    items->moveLast();
    EXPECT_EQ(w->currentItemId(), items->text("cId"));
    QTest::keyClick(w->grid(), Qt::Key_PageUp, Qt::AltModifier);
    EXPECT_EQ(gridValues(*w), kColours);
    QTest::keyClick(w->grid(), Qt::Key_F1);
    EXPECT_TRUE(session.pub->helpWindow());
}

// A second session of the account is refused an item being edited and told who edits it; it
// gets the item once the edit ends, the window closes, or the window goes without closing.
TEST_P(ValueArchiveOnAccounts, AnEditedItemIsLockedForOtherSessions) {
    auto prompter = std::make_shared<platform::pub::ScriptedPrompter>();
    platform::pub::Pub other(prompter);
    testsupport::TestLogin otherLogin(session.account.connectionText(), "admin2", "zh-CN");
    other.setLogin(otherLogin);
    // True when the item is locked by someone else; else the other session takes the lock.
    const auto lockedOrTake = [&](int mode) {
        return other.IsLockFun(nullptr, &otherLogin, "UserDefine", mode, true, "20");
    };
    const auto heldElsewhere = [&] {
        prompter->clear();
        const bool held = lockedOrTake(2);
        if (!held) lockedOrTake(-2);
        return held;
    };
    auto w = open("20");
    EXPECT_FALSE(heldElsewhere());
    ASSERT_TRUE(w->Operating("Add"));
    EXPECT_TRUE(heldElsewhere());
    ASSERT_TRUE(prompter->last());
    EXPECT_EQ(prompter->last()->text,
              other.GetResFormatString("Pub.LockHeld", {"UserDefine", session.login->cUserId(),
                                                        QSysInfo::machineHostName()}));
    select(*w, QStringLiteral("红色"));  // choosing a row ends the edit
    EXPECT_FALSE(heldElsewhere());
    ASSERT_TRUE(w->Operating("Modify"));
    EXPECT_TRUE(heldElsewhere());
    w->close();
    EXPECT_FALSE(heldElsewhere());
    w = open("20");
    ASSERT_TRUE(w->Operating("Add"));
    w.reset();  // released without being closed
    EXPECT_FALSE(heldElsewhere());

    ASSERT_FALSE(lockedOrTake(2));  // held by the other session: Add does nothing
    EXPECT_FALSE(open("20")->Operating("Add"));
    EXPECT_TRUE(lastMessage().contains("admin2")) << lastMessage().toStdString();
}

TEST_F(ValueArchive, ThePlugInsNoteIsSavedWithTheValueAndShownInItsColumn) {
    auto w = open("101");
    QTest::keyClick(w->grid(), Qt::Key_F5);
    retype(w->box("EdtcValue"), QStringLiteral("XXL"));
    retype(w->findChild<QLineEdit*>("EdtPlugInNote"), QStringLiteral("extra large"));
    QTest::keyClick(w.get(), Qt::Key_F6);
    ASSERT_FALSE(storedRow("101", QStringLiteral("XXL")).isEmpty()) << lastMessage().toStdString();
    const int row = int(gridValues(*w).indexOf(QStringLiteral("XXL"))) + 1;
    EXPECT_EQ(w->grid()->text(row, w->grid()->cols() - 1), QStringLiteral("extra large"));
}

TEST_F(ValueArchive, ValuesOfARelatedArchiveAreLookedUpAndCutToTheBox) {
    auto w = open("27");  // warehouses: Warehouse.cWhName
    controls::RefEdit* box = w->lookupBox("EdtcValue");
    ASSERT_TRUE(box->isReferenceMode());
    ASSERT_TRUE(w->Operating("Add"));
    const QString longName(300, QChar(0x4ED3));
    box->setLookupRunner([&](controls::LookupWindow&) {
        return std::make_shared<host::RecordSet>(QVector<host::FieldInfo>{{QStringLiteral("cValue")}},
                                                 QVector<QVector<QVariant>>{{longName}});
    });
    box->lookup();
    EXPECT_LT(w->box("EdtcValue")->maxLength(), 300);
    EXPECT_EQ(w->box("EdtcValue")->text(), longName.left(w->box("EdtcValue")->maxLength()));
    EXPECT_EQ(lastMessage(), text("Q9.AA.USERDEF.FRMZARCHIVE.58_1"));
}

TEST_F(ValueArchive, SaveFileExportsTheValueList) {
    open("1001")->Operating("SaveFile");
    EXPECT_EQ(lastMessage(), text("Q9.AA.ARCHIVE.COMMON.nodata"));
    auto w = open("20");
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("values.csv"));
    session.windows.onModal = [&csv](QDialog* d) {
        qobject_cast<QFileDialog*>(d)->selectFile(csv);
        return int(QDialog::Accepted);
    };
    w->Operating("SaveFile");
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(file.readAll());
    for (const QString& colour : kColours) EXPECT_TRUE(written.contains(colour)) << colour.toStdString();
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("4")));

    // A workbook: row numbers are numbers, texts stay texts, the values of a date item are dates.
    auto dates = open("35");
    dates->Operating("Add");
    QTest::keyClicks(dates->box("EdtcValue"), QStringLiteral("2024-03-01"));
    dates->Operating("SaveRs");
    ASSERT_EQ(storedValues("35"), QStringList{QStringLiteral("2024-03-01")});
    for (const auto& [window, firstRow] :
         {std::pair{w.get(), QStringLiteral("1\t'红色'\t'RED'\t")},
          std::pair{dates.get(), QStringLiteral("1\tdatetime.datetime(2024, 3, 1, 0, 0)\t")}}) {
        const QString xlsx = dir.filePath(QStringLiteral("values.xlsx"));
        QFile::remove(xlsx);
        session.windows.onModal = [&xlsx](QDialog* d) {
            qobject_cast<QFileDialog*>(d)->selectFile(xlsx);
            return int(QDialog::Accepted);
        };
        window->Operating("SaveFile");
        EXPECT_TRUE(printtest::xlsxRows(xlsx).section(QLatin1Char('\n'), 1, 1).startsWith(firstRow))
            << printtest::xlsxRows(xlsx).toStdString();
    }
}

// Deleting a value that archive records hold asks first, naming how many and where (a regular
// item its archive column, an extended item every linked companion table); No keeps it.
TEST_F(ValueArchive, DeletingAUsedValueNamesItsRecordsAndGoesOnOnlyOnYes) {
    sql(QStringLiteral("UPDATE customer SET cCusDefine3='A' WHERE cCusCode IN ('C003','C004')"));
    sql(QStringLiteral("UPDATE Inventory SET cInvDefine1='江苏' WHERE cInvCode='I002'"));
    sql(QStringLiteral("UPDATE Customer_extradefine SET cCDefine1='装备制造' WHERE cCusCode='C002'"));
    // A linked table without a companion table holds nothing; the others still count.
    sql(QStringLiteral("INSERT INTO UserDefDetail(cid,TableName) VALUES('5001','NoSuchTable')"));
    struct Case {
        const char *item, *value;
        int rows;  // 0: used nowhere, the plain delete question
        const char* tables;
    };
    for (const Case& c : {Case{"42", "A", 3, "customer: 3"}, Case{"42", "C", 0, ""},
                          Case{"80", "江苏", 2, "Inventory: 2"}, Case{"80", "江", 0, ""},
                          Case{"80", "江苏' or '1'='1", 0, ""},
                          Case{"5001", "装备制造", 2, "Customer_extradefine: 2"},
                          Case{"101", "S", 0, ""}}) {
        const QString item = QString::fromLatin1(c.item), value = QString::fromUtf8(c.value);
        sql(QStringLiteral("INSERT INTO Userdefine(cId,cValue,pubzxts) SELECT ?1,?2,999 WHERE NOT "
                           "EXISTS (SELECT 1 FROM Userdefine WHERE cId=?1 AND cValue=?2)"),
            {item, value});
        const QStringList before = storedValues(item);
        auto w = open(item);
        select(*w, value);
        session.prompter->clear();
        session.prompter->queueAnswer(host::MsgAnswer::No);
        EXPECT_TRUE(w->Operating("Delete"));
        EXPECT_EQ(session.prompter->asked().size(), 1) << c.value;
        EXPECT_EQ(lastMessage(), c.rows ? usageQuestion(value, c.rows, QString::fromUtf8(c.tables))
                                        : deleteQuestion(value))
            << c.value;
        EXPECT_EQ(storedValues(item), before) << c.value;
        if (c.rows) {  // a yes/no question: nothing to cancel
            EXPECT_EQ(session.prompter->last()->buttons, 36);
            EXPECT_EQ(session.prompter->last()->title, text("Q9.AA.ARCHIVE.COMMON.exclamation"));
        }
    }
    auto w = open("42");
    select(*w, QStringLiteral("A"));
    session.prompter->clear();
    session.prompter->queueAnswer(host::MsgAnswer::Yes);  // the usage question is the only one
    EXPECT_TRUE(w->Operating("Delete"));
    EXPECT_EQ(session.prompter->asked().size(), 1);
    EXPECT_FALSE(storedValues("42").contains(QStringLiteral("A")));
}

TEST_F(ValueArchive, StoppingAUsedValueAsksAndNoKeepsItRunning) {
    // Item 20 (stop flag) made a customer item over cCusDefine3, whose records hold "蓝色".
    sql(QStringLiteral("UPDATE UserDef_Base SET cClass='客户', cItem='自定义项3' WHERE cId='20'"));
    sql(QStringLiteral("UPDATE customer SET cCusDefine3='蓝色' WHERE cCusCode IN ('C001','C002')"));
    auto w = open("20");
    auto* stop = w->findChild<QCheckBox*>("chkbFreeStop");
    select(*w, QStringLiteral("蓝色"));
    ASSERT_TRUE(w->Operating("Modify"));
    QTest::keyClick(stop, Qt::Key_Space);
    session.prompter->queueAnswer(host::MsgAnswer::No);
    EXPECT_FALSE(w->Operating("SaveRs"));
    EXPECT_EQ(lastMessage(), usageQuestion(QStringLiteral("蓝色"), 2, QStringLiteral("customer: 2")));
    EXPECT_EQ(storedRow("20", QStringLiteral("蓝色")).value(3), "0");
    EXPECT_EQ(w->editMode(), archive::kModifying);
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    EXPECT_TRUE(w->Operating("SaveRs"));
    EXPECT_EQ(storedRow("20", QStringLiteral("蓝色")).value(3), "1");

    // Saving a value already stopped, or stopping an unused one, asks nothing.
    const qsizetype asked = session.prompter->asked().size();
    select(*w, QStringLiteral("墨绿"));
    ASSERT_TRUE(w->Operating("Modify"));
    retype(w->box("EdtcAlias"), QStringLiteral("GREEN"));
    EXPECT_TRUE(w->Operating("SaveRs"));
    select(*w, QStringLiteral("白色"));
    ASSERT_TRUE(w->Operating("Modify"));
    QTest::keyClick(stop, Qt::Key_Space);
    EXPECT_TRUE(w->Operating("SaveRs"));
    EXPECT_EQ(storedRow("20", QStringLiteral("白色")).value(3), "1");
    EXPECT_EQ(session.prompter->asked().size(), asked);
}

// The catalogue's "Archive" command opens the value archive of the selected named text item
// modally, over the named items of its class, holding the shared value lock while it is open.
TEST_F(ValueArchive, TheCatalogueOpensTheSelectedNamedTextItemOnly) {
    const auto valueLocks = [&] {
        return session.account.db()
            .query("SELECT count(*) FROM zx_FunctionLock WHERE cFunction = 'UserDefine' AND iMode = 1")
            ->at(0, 0)
            .toInt();
    };
    auto w = cattest::openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据体")));
    QString shown, previous;
    int locksWhileOpen = -1;
    session.windows.onModal = [&](QDialog* dialog) {
        auto* archive = qobject_cast<archive::FrmZArchive*>(dialog);
        archive->Load();
        shown = archive->currentItemId();
        locksWhileOpen = valueLocks();
        archive->Operating("previous");
        previous = archive->currentItemId();
        return int(QDialog::Accepted);
    };
    for (const char* id : {"35", "21", "27"}) {  // a date item; a text item without a name; named
        w->grid()->setCurrentRow(cattest::rowOfId(*w, id));
        w->RunCommand("Archive");
    }
    EXPECT_EQ(session.windows.shown, QStringList{"archive::FrmZArchive"});
    EXPECT_EQ(shown, "27");
    EXPECT_EQ(previous, "20");  // 21…26 have no name
    EXPECT_EQ(locksWhileOpen, 1);
    EXPECT_EQ(valueLocks(), 0);
}

}  // namespace
