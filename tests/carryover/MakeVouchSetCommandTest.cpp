// The catalogue's "MakeVouchSet" command opens the batch setting: modally over the catalogue
// outside the portal, as a portal window (not owned by the catalogue) inside it.
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
    QString CreateFormEnv(const QString& windowKey, QWidget*) override { return windowKey + "#1"; }
    void ShowForm(QWidget* window, const QString& subsystem, const QString& formKey, bool modal,
                  bool activate, const QString& environment) override {
        shown = window;
        forms << QStringList{subsystem, formKey, modal ? "modal" : "modeless", activate ? "activate" : "",
                             environment}.join('|');
    }
    QStringList forms;
    QPointer<QWidget> shown;
};

using MakeVouchSetCommand = SessionTest;

TEST_F(MakeVouchSetCommand, OutsideThePortalTheSettingIsModalOverTheCatalogueInsideAPortalWindow) {
    for (const bool inPortal : {false, true}) {
        SCOPED_TRACE(inPortal);
        auto business = std::make_shared<PortalBusiness>();
        if (inPortal) userdef::g_Business = business;
        session.windows.shown.clear();
        QWidget* parent = nullptr;
        bool byItself = false;
        session.windows.onModal = [&](QDialog* d) {
            byItself = qobject_cast<carryover::FrmMakeVouchMain*>(d)->shownByItself();
            parent = d->parentWidget();
            return int(QDialog::Rejected);
        };
        {
            catalogue::FrmUserDef catalogue(inPortal);
            catalogue.Load();
            ASSERT_TRUE(catalogue.selectClass(QStringLiteral("单据体")));
            catalogue.RunCommand("makevouchset");
            if (!inPortal) {
                EXPECT_EQ(session.windows.shown, QStringList{"carryover::FrmMakeVouchMain"});
                EXPECT_TRUE(byItself);
                EXPECT_EQ(parent, &catalogue);
            }
        }
        userdef::g_Business.reset();
        if (!inPortal) continue;
        EXPECT_TRUE(session.windows.shown.isEmpty());
        EXPECT_EQ(business->forms,
                  QStringList{"AA|FrmMakeVouchMain_key|modeless|activate|UserDef.FrmMakeVouchMain#1"});
        auto* w = qobject_cast<carryover::FrmMakeVouchMain*>(business->shown.data());
        ASSERT_TRUE(w);  // outlives the catalogue
        EXPECT_FALSE(w->shownByItself());
        delete w;
    }
}

}  // namespace
