// Outside the portal the catalogue's "MakeVouchSet" command opens the batch setting modally over
// the catalogue. (Inside the portal the language sweep opens it as a portal window.)
#include <gtest/gtest.h>

#include "carryover/FrmMakeVouchMain.h"
#include "catalogue/FrmUserDef.h"
#include "tests/support/TestSession.h"

namespace {

using MakeVouchSetCommand = testsupport::SessionTest;

TEST_F(MakeVouchSetCommand, OutsideThePortalTheSettingIsModalOverTheCatalogue) {
    QWidget* parent = nullptr;
    bool byItself = false;
    session.windows.onModal = [&](QDialog* d) {
        byItself = qobject_cast<carryover::FrmMakeVouchMain*>(d)->shownByItself();
        parent = d->parentWidget();
        return int(QDialog::Rejected);
    };
    catalogue::FrmUserDef catalogue(false);
    catalogue.Load();
    ASSERT_TRUE(catalogue.selectClass(QStringLiteral("单据体")));
    catalogue.RunCommand("makevouchset");
    EXPECT_EQ(session.windows.shown, QStringList{"carryover::FrmMakeVouchMain"});
    EXPECT_TRUE(byItself);
    EXPECT_EQ(parent, &catalogue);
}

}  // namespace
