// The catalogue's printing, about box and window options.
#include <QLabel>
#include <QStatusBar>

#include "catalogue/AboutBox.h"
#include "catalogue/CatalogueLog.h"
#include "catalogue/FrmUserDef.h"
#include "common/Globals.h"
#include "common/InitToolbar.h"
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

host::IWindowHost* windowHost() {
    return userdef::g_Factory ? userdef::g_Factory->windowHost() : nullptr;
}

}  // namespace

void FrmUserDef::SetupPrinting() {
    m_prn = new controls::PrintControl(this);
    m_prn->setObjectName(QStringLiteral("Prn"));
    connect(m_prn, &controls::PrintControl::styleChanged, this, [](const QString& style) {
        if (userdef::g_Pub) userdef::g_Pub->SavePrnStyle(userdef::g_SrvDB.get(), kPrintKey, style);
    });
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
    if (!userdef::g_Pub) return;
    host::IPub& pub = *userdef::g_Pub;
    pub.HelpHide();
    const QString style = pub.GetPrnStyle(userdef::g_SrvDB.get(), kPrintKey);
    prn->setPub(&pub);
    prn->setWindowHost(windowHost());
    prn->setFont(font());
    prn->setPrintNo(ui->mPrintNo->isChecked());
    if (!prn->SetDataStyleXML(WriteData(grid), style, QStringLiteral("Default"))) {
        qCWarning(lcCatalogue) << "print data refused:" << prn->lastError();
        return;
    }
    const auto is = [&mode](const char* name) {
        return mode.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("SetUp")) {
        if (prn->PageSetup() != -1) prn->TriggerEvent(0);
    } else if (is("Print")) {
        prn->DoPrint();
    } else if (is("Preview")) {
        prn->SetOwner(prn->parentWidget());
        prn->PrintPreview();
    } else if (is("SaveFile")) {
        const controls::ExportResult result = prn->ExportToFile(QString(), QString());
        if (result.count >= 0)
            pub.PrintMsg(result.count, kPrintKey);
        else if (!result.error.isEmpty())  // a cancelled choice of file says nothing
            userdef::ShowMsg(result.error);
    } else {
        qCWarning(lcCatalogue) << "unknown print mode" << mode;
    }
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
