// The catalogue's "Archive" command: the value archive of the selected named text item, opened
// modally over the named items of the class while the catalogue holds the shared value lock.
#include "tests/archive/ArchiveFixture.h"
#include "tests/catalogue/CatalogueFixture.h"

namespace {

using archivetest::ArchiveTest;

class CatalogueArchive : public ArchiveTest {
protected:
    int valueLocks() {
        const host::RecordSetPtr rs = session.account.db().query(QStringLiteral(
            "SELECT count(*) FROM zx_FunctionLock WHERE cFunction = 'UserDefine' AND iMode = 1"));
        return rs && !rs->isEmpty() ? rs->at(0, 0).toInt() : -1;
    }
};

TEST_F(CatalogueArchive, OpensTheSelectedItemAmongTheNamedItemsOfItsClass) {
    auto w = cattest::openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据体")));
    const int row = cattest::rowOfId(*w, "27");
    ASSERT_GT(row, 0);
    w->grid()->setCurrentRow(row);

    QString shownId;
    int position = 0;
    int locksWhileOpen = -1;
    session.windows.onModal = [&](QDialog* dialog) {
        auto* archive = qobject_cast<archive::FrmZArchive*>(dialog);
        if (!archive) return int(QDialog::Rejected);
        archive->Load();
        shownId = archive->currentItemId();
        locksWhileOpen = valueLocks();
        archive->Operating("previous");  // the item before it among named ones: 20
        position = archive->currentItemId() == "20" ? 2 : 0;
        return int(QDialog::Accepted);
    };
    w->RunCommand("Archive");
    EXPECT_EQ(session.windows.shown, QStringList{"archive::FrmZArchive"});
    EXPECT_EQ(shownId, "27");
    EXPECT_EQ(position, 2);  // rows 21…26 have no name and are not counted
    EXPECT_EQ(locksWhileOpen, 1);
    EXPECT_EQ(valueLocks(), 0);  // released after the window closed
}

TEST_F(CatalogueArchive, ItemsThatAreNotNamedTextItemsOpenNothing) {
    auto w = cattest::openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据体")));
    for (const char* id : {"35", "21"}) {  // a date item; a text item without a name
        const int row = cattest::rowOfId(*w, id);
        ASSERT_GT(row, 0) << id;
        w->grid()->setCurrentRow(row);
        w->RunCommand("Archive");
        EXPECT_TRUE(session.windows.shown.isEmpty()) << id;
        EXPECT_FALSE(cattest::hostEnabled(*w, "Archive")) << id;
    }
}

}  // namespace
