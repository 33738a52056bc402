// The catalogue's "MakeVouchSet" command opens the batch setting: modally over the catalogue
// outside the portal, as a portal tab inside it; only while a document part is selected.
#include <gtest/gtest.h>

#include <QPointer>

#include "carryover/FrmMakeVouchMain.h"
#include "catalogue/FrmUserDef.h"
#include "common/Globals.h"
#include "host/IBusiness.h"
#include "tests/support/TestSession.h"

using testsupport::SessionTest;

namespace {

class PortalBusiness : public host::IBusiness {
public:
    std::shared_ptr<host::ILogin> GetVBclsLogin() override { return nullptr; }
    QString CreateFormEnv(const QString& windowKey, QWidget* window) override {
        envs << windowKey;
        return windowKey + QStringLiteral("#1");
    }
    void ShowForm(QWidget* window, const QString& subsystem, const QString& formKey, bool modal,
                  bool activate, const QString& environment) override {
        shown = window;
        forms << QStringList{subsystem, formKey, modal ? "modal" : "modeless",
                             activate ? "activate" : "", environment}.join('|');
    }
    QStringList envs, forms;
    QPointer<QWidget> shown;
};

using MakeVouchSetCommand = SessionTest;

TEST_F(MakeVouchSetCommand, OutsideThePortalTheSettingIsModalOverTheCatalogue) {
    catalogue::FrmUserDef catalogue(false);
    catalogue.Load();
    int shownByItself = -1;
    QWidget* parent = nullptr;
    session.windows.onModal = [&](QDialog* d) {
        auto* w = qobject_cast<carryover::FrmMakeVouchMain*>(d);
        shownByItself = w ? int(w->shownByItself()) : -2;
        parent = d->parentWidget();
        return int(QDialog::Rejected);
    };
    catalogue.RunCommand("MakeVouchSet");  // the root is selected: the command is off
    EXPECT_TRUE(session.windows.shown.isEmpty());

    ASSERT_TRUE(catalogue.selectClass(QStringLiteral("单据体")));
    catalogue.RunCommand("makevouchset");
    EXPECT_EQ(session.windows.shown, QStringList{"carryover::FrmMakeVouchMain"});
    EXPECT_EQ(shownByItself, 1);
    EXPECT_EQ(parent, &catalogue);
}

TEST_F(MakeVouchSetCommand, InThePortalTheSettingBecomesAPortalWindow) {
    auto business = std::make_shared<PortalBusiness>();
    userdef::g_Business = business;
    {
        catalogue::FrmUserDef catalogue(true);
        catalogue.Load();
        ASSERT_TRUE(catalogue.selectClass(QStringLiteral("单据头")));
        catalogue.RunCommand("MakeVouchSet");
    }
    EXPECT_TRUE(session.windows.shown.isEmpty());
    EXPECT_EQ(business->envs, QStringList{"UserDef.FrmMakeVouchMain"});
    EXPECT_EQ(business->forms,
              QStringList{"AA|FrmMakeVouchMain_key|modeless|activate|UserDef.FrmMakeVouchMain#1"});
    ASSERT_TRUE(business->shown);
    auto* w = qobject_cast<carryover::FrmMakeVouchMain*>(business->shown.data());
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->shownByItself());
    EXPECT_EQ(w->parentWidget(), nullptr);  // the portal owns it, not the catalogue
    delete w;
    userdef::g_Business.reset();
}

}  // namespace
