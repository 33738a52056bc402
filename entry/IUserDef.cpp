#include "entry/IUserDef.h"

#include <QApplication>
#include <QDomDocument>

#include "carryover/FrmMakeVouchSet.h"
#include "common/Globals.h"
#include "common/InitAcc.h"
#include "common/ShowMsg.h"
#include "common/XmlHelpers.h"
#include "controls/LookupWindow.h"
#include "controls/RefEdit.h"
#include "entry/EntryLog.h"
#include "entry/ModalFrame.h"
#include "host/IWindowHost.h"

namespace userdef {

Q_LOGGING_CATEGORY(lcEntry, "userdef.entry", QtCriticalMsg)

namespace {

const QString kFunction = QStringLiteral("UserDef");

void showResMsg(const char* key) { ShowMsg(g_Pub->GetResString(QString::fromLatin1(key))); }

}  // namespace

IUserDef::IUserDef() = default;
IUserDef::~IUserDef() = default;

std::shared_ptr<host::IBusiness> IUserDef::Business() const { return g_Business; }

void IUserDef::setBusiness(std::shared_ptr<host::IBusiness> business) {
    g_Business = std::move(business);
}

bool IUserDef::Login(const std::shared_ptr<host::ILogin>&) { return true; }
bool IUserDef::LogOff() { return true; }
bool IUserDef::ILoginable_Login() { return true; }
bool IUserDef::ILoginable_LogOff() { return true; }

void IUserDef::ILoginable_CallFunction(const QString& cMenuId, const QString& cMenuName,
                                       const QString& cAuthId, const QString& cCmdLine) {
    ShowModeless(cMenuId, cMenuName, cAuthId, cCmdLine);
}

void IUserDef::ShowModeless(const QString&, const QString&, const QString&,
                            const QString& cCmdLine) {
    // Without a portal there is no login: the session start says so.
    const bool modal = cCmdLine.split(QLatin1Char('\t')).size() >= 2;
    if (!OpenSession(g_Business ? g_Business->GetVBclsLogin() : nullptr, !modal)) return;
    if (modal) {
        runModal();
        CloseSession();
        return;
    }
    const QString env = g_Business->CreateFormEnv(QStringLiteral("UserDef.FrmMain"), m_frm);
    g_Business->ShowForm(m_frm, QStringLiteral("AA"), QStringLiteral("FrmMain_key"), false, true,
                         env);
}

bool IUserDef::ShowRuleList() {
    if (!g_Pub || !g_Login || !g_SrvDB || !g_Business) {
        qCWarning(lcEntry) << "the rule list needs an open session in the portal";
        return false;
    }
    if (carryover::FrmMakeVouchSet::shared()) return true;  // the one list is open already
    auto* list = new carryover::FrmMakeVouchSet();
    const QString env = g_Business->CreateFormEnv(QStringLiteral("UserDef.FrmMakeVouchSet"), list);
    g_Business->ShowForm(list, QStringLiteral("AA"), QStringLiteral("FrmMakeVouchSet_key"), false,
                         true, env);
    return true;
}

void IUserDef::Show(const std::shared_ptr<host::ILogin>& oLogin, const QString& ParaXml) {
    QString classCode;
    if (!ParaXml.isEmpty()) {
        QDomDocument doc;
        if (doc.setContent(ParaXml))
            classCode = GetXmlAttr(doc.documentElement(), QStringLiteral("classcode"));
        else
            qCWarning(lcEntry) << "ParaXml does not parse:" << ParaXml;
    }
    if (!OpenSession(oLogin, false, classCode)) return;
    runModal();
    CloseSession();
}

void IUserDef::runModal() {
    host::IWindowHost* windowHost = g_Factory ? g_Factory->windowHost() : nullptr;
    if (!windowHost || !m_frm) {
        qCWarning(lcEntry) << "no window host for the modal catalogue";
        delete m_frm;
        return;
    }
    ModalFrame frame(m_frm);
    windowHost->showModal(&frame);
    // The frame owns the window and deletes it now; closing it released the catalogue's lock.
}

bool IUserDef::OpenSession(const std::shared_ptr<host::ILogin>& oLogin, bool inPortal,
                           const QString& classCode) {
    if (!g_Factory) {
        qCWarning(lcEntry) << "no host factory: the session cannot start";
        return false;
    }
    if (!g_Pub) {
        g_Pub = g_Factory->createPub();
        m_ownsServices = true;
    } else {
        m_ownsServices = false;
    }
    if (!g_Pub) {
        if (host::IWindowHost* windowHost = g_Factory->windowHost())
            windowHost->message(QStringLiteral("not find q9pub.dll"),
                                QStringLiteral("Information"));
        else
            qCWarning(lcEntry) << "not find q9pub.dll";
        return false;
    }
    if (!InitAcc()) return false;
    g_Login = oLogin;
    if (!g_Login) {
        showResMsg("Q9.AA.ARCHIVE.COMMON.nologin");
        return false;
    }
    g_SrvDB = g_Factory->createSrvDB();
    if (!g_SrvDB) {
        showResMsg("Q9.AA.ARCHIVE.COMMON.loadsrvdbfail");
        return false;
    }
    g_SrvDB->init(g_Login->ZxDbName());
    if (!g_SrvDB->Status()) {
        showResMsg("Q9.AA.ARCHIVE.COMMON.dbconnectfail");
        return false;
    }
    // The history names the window a write comes from: the modal one on top, else the active.
    g_SrvDB->setChangeSource(g_Login->cUserId(), [] {
        const QWidget* window = QApplication::activeModalWidget();
        if (!window) window = QApplication::activeWindow();
        return window ? QString::fromLatin1(window->metaObject()->className())
                            .section(QStringLiteral("::"), -1)
                      : QStringLiteral("FrmUserDef");
    });
    g_ColSet = g_Factory->createColSet();
    if (!g_ColSet) {
        showResMsg("Q9.AA.ARCHIVE.COMMON.loadrowauthsvrfail");
        return false;
    }
    g_ColSet->init(g_Login->ZxDbName(), g_Login->cUserId());
    if (g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), kFunction, 1)) return false;
    // Look-up windows open through the host's window host like every other modal window.
    controls::RefEdit::setDefaultWindowHost(g_Factory->windowHost());
    controls::LookupWindow::setTexts(
        {g_Pub->GetResString(QStringLiteral("Pub.Lookup.Title")),
         g_Pub->GetResString(QStringLiteral("Pub.Lookup.Filter")),
         g_Pub->GetResString(QStringLiteral("Pub.Lookup.Ok")),
         g_Pub->GetResString(QStringLiteral("Pub.Lookup.Cancel")),
         g_Pub->GetResString(QStringLiteral("Pub.Lookup.Button"))});
    // Made once the services exist: the window reads texts and data as it is built.
    m_frm = new CatalogueWindow(inPortal, classCode);
    return true;
}

void IUserDef::CloseSession() {
    // The catalogue released the session's lock when it closed.
    if (!m_ownsServices) return;
    Session::current().reset();
    m_ownsServices = false;
}

}  // namespace userdef
