// The catalogue's printing, about box and window options.
#include <QLabel>
#include <QStatusBar>

#include "catalogue/AboutBox.h"
#include "catalogue/CatalogueLog.h"
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "common/Globals.h"
#include "common/InitToolbar.h"
#include "common/PrintCommand.h"
#include "common/ShowModal.h"
#include "common/ShowMsg.h"
#include "controls/Grid.h"
#include "controls/HostToolbar.h"
#include "controls/PrintControl.h"
#include "host/IWindowHost.h"
#include "ui_FrmUserDef.h"

namespace catalogue {

namespace {

const QString kPrintKey = QStringLiteral("UserDef");
const QString kOptionForm = QStringLiteral("userdef");

}  // namespace

void FrmUserDef::SetupPrinting() {
    m_prn = new controls::PrintControl(this);
    m_prn->setObjectName(QStringLiteral("Prn"));
}

QString FrmUserDef::WriteData(controls::Grid* grid) const {
    if (!userdef::g_Pub || !grid) return {};
    host::ILogin* login = userdef::g_Login.get();
    return userdef::g_Pub->GetData(grid, userdef::g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.userdefarch")),
                                   login ? login->cAcc_id() : QString(),
                                   login ? login->cUserId() : QString(),
                                   login ? login->cUserName() : QString());
}

void FrmUserDef::PrintAll(const QString& mode, controls::Grid* grid, controls::PrintControl* prn) {
    if (!grid || !prn) return;
    prn->hide();
    if (grid->rows() < 2) {
        userdef::ShowMsg(userdef::g_Pub ? userdef::g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.nodata"))
                                        : QString());
        return;
    }
    prn->setFont(font());
    prn->setPrintNo(ui->mPrintNo->isChecked());
    userdef::RunPrintCommand(*prn, mode, kPrintKey, WriteData(grid),
                             {{kColCounter, userdef::RowNumberField()}});
}

void FrmUserDef::ShowAbout() {
    AboutBox about(this);
    userdef::ShowModal(&about);
}

void FrmUserDef::ApplyWindowOptions() {
    ui->Stb->setVisible(ui->mStb->isChecked());
    m_host->SetDisplayStyle(ui->mText->isChecked() ? 1 : 0);
    userdef::ReRefreshZxTlb(this);
}

void FrmUserDef::WindowOption(const QString& key) {
    // The menu entry has toggled its check; the user's choice is kept for the next time.
    if (userdef::g_Pub)
        userdef::g_Pub->FrmOpt(this, key, kOptionForm, userdef::g_Login.get(),
                               userdef::g_SrvDB.get());
    ApplyWindowOptions();
    if (key.compare(QLatin1String("mStb"), Qt::CaseInsensitive) == 0 && layout())
        layout()->activate();
}

void FrmUserDef::LoadWindowOptions() {
    if (userdef::g_Pub)
        userdef::g_Pub->FrmOptInit(this, kOptionForm, userdef::g_Login.get(),
                                   userdef::g_SrvDB.get());
    ApplyWindowOptions();
}

}  // namespace catalogue
