// The catalogue opens the item editor: Define, Modify (F7), a double click and Add (F5).
#include <QAction>
#include <QShortcut>
#include <QTabWidget>

#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "controls/Grid.h"
#include "platform/pub/Pub.h"
#include "tests/catalogue/CatalogueFixture.h"
#include "tests/itemdef/EditorFixture.h"

using namespace edtest;

using CatalogueEditor = EditorTest;

namespace {

itemdef::FrmZAM* asEditor(QDialog* dialog) { return qobject_cast<itemdef::FrmZAM*>(dialog); }

}  // namespace

TEST_F(CatalogueEditor, DefineOpensTheSelectedItemAndKeepsTheSelection) {
    auto cat = cattest::openCatalogue();
    ASSERT_TRUE(cat->selectClass(QStringLiteral("单据头")));
    const int row = cattest::rowOfId(*cat, QStringLiteral("15"));
    cat->grid()->setCurrentRow(row);
    QString shownId;
    bool attach = true, pic = true, multi = true;
    int shownRow = 0;
    auto prompter = std::make_shared<platform::pub::ScriptedPrompter>();
    platform::pub::Pub other(prompter, QStringLiteral("zh-CN"));
    other.setLogin(*session.login);
    bool lockHeld = false;
    driveModals([&](QDialog* dialog) {
        itemdef::FrmZAM* e = asEditor(dialog);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->parentWidget(), cat.get());
        shownId = e->state().cId;
        attach = e->findChild<QCheckBox*>("chkbIsUserDefAttachFile")->isEnabled();
        pic = e->findChild<QCheckBox*>("chkbIsUserDefPic")->isEnabled();
        multi = e->findChild<QCheckBox*>("ChkbMultiSel")->isEnabled();
        shownRow = e->state().row;
        lockHeld = other.IsLockFun(session.srv.get(), session.login.get(),
                                   QStringLiteral("UserDef"), 20, true, e->state().cId);
    });
    cat->RunCommand(QStringLiteral("Define"));
    EXPECT_EQ(session.windows.shown.size(), 1);
    EXPECT_EQ(shownId, QStringLiteral("15"));
    EXPECT_EQ(shownRow, row);
    EXPECT_TRUE(lockHeld);  // the shown item is locked for others
    EXPECT_FALSE(attach);   // header rows 15 and 16 hold no attachment
    EXPECT_FALSE(pic);
    EXPECT_FALSE(multi);  // only customer and contact extended items choose several values
    EXPECT_TRUE(cat->findChildren<itemdef::FrmZAM*>().isEmpty());  // deleted after closing
    EXPECT_EQ(cat->grid()->currentRow(), row);

    cat->grid()->setCurrentRow(cattest::rowOfId(*cat, QStringLiteral("1001")));  // row 17
    cat->RunCommand(QStringLiteral("Modify"));                                   // F7
    EXPECT_EQ(session.windows.shown.size(), 2);
    EXPECT_EQ(shownId, QStringLiteral("1001"));
    EXPECT_TRUE(attach);

    // With every class listed the editor gets every item, on the same row.
    ASSERT_TRUE(cat->selectClass(QStringLiteral("r")));
    cat->grid()->setCurrentRow(cattest::rowOfId(*cat, QStringLiteral("5001")));
    cat->RunCommand(QStringLiteral("Define"));
    EXPECT_EQ(shownId, QStringLiteral("5001"));

    // The editor's record lock is gone once it closed.
    EXPECT_FALSE(other.IsLockFun(session.srv.get(), session.login.get(), QStringLiteral("UserDef"),
                                 2, true, QStringLiteral("1001")));
}

TEST_F(CatalogueEditor, DoubleClickAndHotKeyOpenTheEditor) {
    auto cat = cattest::openCatalogue();
    ASSERT_TRUE(cat->selectClass(QStringLiteral("客户")));
    const int row = cattest::rowOfId(*cat, QStringLiteral("5001"));
    cat->grid()->setCurrentRow(row);
    QString shownId;
    bool multi = false;
    driveModals([&](QDialog* dialog) {
        shownId = asEditor(dialog)->state().cId;
        multi = dialog->findChild<QCheckBox*>("ChkbMultiSel")->isEnabled();
    });
    emit cat->grid()->cellDoubleClicked(row, 2);
    EXPECT_EQ(shownId, QStringLiteral("5001"));
    EXPECT_TRUE(multi);

    shownId.clear();
    auto* f7 = cat->findChild<QShortcut*>(QStringLiteral("HotKey_Modify"));
    ASSERT_NE(f7, nullptr);
    EXPECT_EQ(f7->key(), QKeySequence(Qt::Key_F7));
    emit f7->activated();
    EXPECT_EQ(shownId, QStringLiteral("5001"));

    // A free item brings the plug-in's page.
    ASSERT_TRUE(cat->selectClass(QStringLiteral("存货")));
    cat->grid()->setCurrentRow(cattest::rowOfId(*cat, QStringLiteral("100")));
    int pages = 0;
    driveModals([&](QDialog* dialog) { pages = dialog->findChild<QTabWidget*>("SSTab1")->count(); });
    cat->RunCommand(QStringLiteral("Define"));
    EXPECT_EQ(pages, 2);
}

TEST_F(CatalogueEditor, AddOpensANewExtendedItemUnderTheAddLock) {
    auto cat = cattest::openCatalogue();
    ASSERT_TRUE(cat->selectClass(QStringLiteral("单据体")));
    auto prompter = std::make_shared<platform::pub::ScriptedPrompter>();
    platform::pub::Pub other(prompter, QStringLiteral("zh-CN"));
    other.setLogin(*session.login);
    bool addLockHeld = false;
    QString label;
    driveModals([&](QDialog* dialog) {
        itemdef::FrmZAM* e = asEditor(dialog);
        EXPECT_TRUE(e->state().adding);
        EXPECT_TRUE(e->state().cId.isEmpty());
        label = e->findChild<QLineEdit*>("EdtCItem")->text();
        addLockHeld =
            other.IsLockFun(session.srv.get(), session.login.get(), QStringLiteral("UserDef"), 11);
    });
    cat->RunCommand(QStringLiteral("Add"));
    EXPECT_EQ(session.windows.shown.size(), 1);
    EXPECT_TRUE(addLockHeld);
    EXPECT_EQ(label,
              session.pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.FIELD.extenddefineitem")) +
                  QStringLiteral("5"));
    // Released after the editor closed.
    EXPECT_FALSE(
        other.IsLockFun(session.srv.get(), session.login.get(), QStringLiteral("UserDef"), 11));
    other.IsLockFun(session.srv.get(), session.login.get(), QStringLiteral("UserDef"), -11);

    // While someone else adds, Add does nothing.
    ASSERT_FALSE(
        other.IsLockFun(session.srv.get(), session.login.get(), QStringLiteral("UserDef"), 11));
    cat->RunCommand(QStringLiteral("Add"));
    EXPECT_EQ(session.windows.shown.size(), 1);

    // Classes that take no items and the root offer no Add.
    ASSERT_TRUE(cat->selectClass(QStringLiteral("供应商")));
    cat->RunCommand(QStringLiteral("Add"));
    EXPECT_EQ(session.windows.shown.size(), 1);
}
