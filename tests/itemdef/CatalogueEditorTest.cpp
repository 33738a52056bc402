// The catalogue opens the item editor: Define and Modify on the chosen item, Add for a new one,
// each under its lock, given back when the editor closes.
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "controls/Grid.h"
#include "platform/pub/Pub.h"
#include "tests/catalogue/CatalogueFixture.h"
#include "tests/itemdef/EditorFixture.h"

using namespace edtest;

using CatalogueEditor = EditorTest;

TEST_F(CatalogueEditor, DefineOpensTheChosenItemUnderItsLockAndKeepsTheSelection) {
    auto cat = cattest::openCatalogue();
    QString shownId;
    int shownRow = 0;
    bool lockHeld = false;
    driveModals([&](QDialog* dialog) {
        auto* e = qobject_cast<itemdef::FrmZAM*>(dialog);
        ASSERT_NE(e, nullptr);
        shownId = e->state().cId;
        shownRow = e->state().row;
        lockHeld = lockElsewhere(e->state().extended ? 2 : 20, shownId);
    });
    // A regular and an extended header item, and an item with every class listed.
    for (const auto& [cClass, cId, command] : {std::tuple{"单据头", "15", "Define"},
                                               {"单据头", "1001", "Modify"},
                                               {"r", "5001", "Define"}}) {
        ASSERT_TRUE(cat->selectClass(QString::fromUtf8(cClass)));
        const int row = cattest::rowOfId(*cat, QString::fromLatin1(cId));
        cat->grid()->setCurrentRow(row);
        lockHeld = false;
        cat->RunCommand(QString::fromLatin1(command));
        EXPECT_EQ(shownId, QLatin1String(cId));
        EXPECT_EQ(shownRow, row) << cId;
        EXPECT_TRUE(lockHeld) << cId;  // the shown item is locked for others
        EXPECT_EQ(cat->grid()->currentRow(), row);
    }
    // The editor's record lock is gone once it closed.
    EXPECT_FALSE(lockElsewhere(2, QStringLiteral("1001")));
}

TEST_F(CatalogueEditor, AddOpensANewExtendedItemUnderTheAddLock) {
    auto cat = cattest::openCatalogue();
    ASSERT_TRUE(cat->selectClass(QStringLiteral("单据体")));
    bool addLockHeld = false;
    QString label;
    driveModals([&](QDialog* dialog) {
        auto* e = qobject_cast<itemdef::FrmZAM*>(dialog);
        ASSERT_NE(e, nullptr);
        EXPECT_TRUE(e->state().adding);
        label = e->findChild<QLineEdit*>("EdtCItem")->text();
        addLockHeld = lockElsewhere(11);
    });
    cat->RunCommand(QStringLiteral("Add"));
    EXPECT_EQ(session.windows.shown.size(), 1);
    EXPECT_TRUE(addLockHeld);
    EXPECT_EQ(label, text("Q9.AA.ARCHIVE.FIELD.extenddefineitem") + QStringLiteral("5"));
    // Released after the editor closed: the other administrator takes it now.
    ASSERT_FALSE(lockElsewhere(11));

    // While someone else adds, Add does nothing; nor in a class that takes no items.
    cat->RunCommand(QStringLiteral("Add"));
    lockElsewhere(-11);
    ASSERT_TRUE(cat->selectClass(QStringLiteral("供应商")));
    cat->RunCommand(QStringLiteral("Add"));
    EXPECT_EQ(session.windows.shown.size(), 1);
}

// On either kind of account: Add opens the editor, whose save writes the item and its column on
// the ticked table, and the catalogue's Delete takes both away; read through a service of its own.
class CatalogueOnAccounts : public EditorTest,
                            public ::testing::WithParamInterface<testsupport::TestAccount::Kind> {
protected:
    CatalogueOnAccounts() : EditorTest(GetParam()) {}
    QString item() {
        const host::RecordSetPtr rs = session.account.srv().OpenX(QStringLiteral(
            "select isnull(max(cItem), '-'), (select count(*) from syscolumns where id = "
            "object_id('SA_OrderHead_extradefine') and name = 'cHDefine5') from UserDef_Base "
            "where cId = '1005'"));
        EXPECT_TRUE(rs) << session.account.srv().lastError().toStdString();
        return rs ? rs->textAt(0, 0) + u'|' + rs->textAt(0, 1) : QString();
    }
};

TEST_P(CatalogueOnAccounts, AddsAnItemThroughItsEditorAndDeletesIt) {
    auto cat = cattest::openCatalogue();
    ASSERT_TRUE(cat->selectClass(kHeader));
    driveModals([&](QDialog* dialog) {
        editor.reset(qobject_cast<itemdef::FrmZAM*>(dialog));
        ASSERT_TRUE(editor);
        fillIn({QStringLiteral("SA_OrderHead")});
        key(Qt::Key_F6);
        (void)editor.release();  // the catalogue's window
    });
    cat->RunCommand(QStringLiteral("Add"));
    EXPECT_EQ(item(), QStringLiteral("扩展自定义项5|1"));
    cat->grid()->setCurrentRow(cattest::rowOfId(*cat, QStringLiteral("1005")));
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    cat->RunCommand(QStringLiteral("Delete"));
    EXPECT_EQ(item(), QStringLiteral("-|0"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, CatalogueOnAccounts,
                         ::testing::Values(testsupport::TestAccount::Kind::Embedded,
                                           testsupport::TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });
