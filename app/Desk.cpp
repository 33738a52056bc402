#include "app/Desk.h"

#include <QTabWidget>
#include <utility>

#include "app/DeskBusiness.h"
#include "app/DocLayoutsView.h"
#include "app/DeskTexts.h"
#include "app/DialogWindowHost.h"
#include "app/HostFactory.h"
#include "app/Login.h"
#include "app/PortalFrame.h"
#include "app/Users.h"
#include "app/PackagesView.h"
#include "app/UsersView.h"
#include "common/Globals.h"
#include "common/Session.h"
#include "entry/CatalogueWindow.h"
#include "entry/IUserDef.h"
#include "platform/pub/MessageBoxPrompter.h"

namespace app {

namespace {
const QString kCatalogueForm = QStringLiteral("FrmMain_key");
const QString kRuleListForm = QStringLiteral("FrmMakeVouchSet_key");
const QString kLayoutsForm = QStringLiteral("DocLayouts_key");
const QString kUsersForm = QStringLiteral("Users_key");
const QString kPackagesForm = QStringLiteral("Packages_key");
}

Desk::Desk(std::shared_ptr<Login> login, const QString& accountName,
           std::shared_ptr<platform::pub::IPrompter> prompter, host::IWindowHost* windowHost)
    : m_login(std::move(login)),
      m_dialogHost(std::make_unique<DialogWindowHost>()),
      m_factory(std::make_unique<HostFactory>(m_login, windowHost ? windowHost : m_dialogHost.get(),
                                              prompter)),
      m_portal(new PortalFrame(m_login->language())),
      m_prompter(prompter ? prompter : std::make_shared<platform::pub::MessageBoxPrompter>()),
      m_admin(isDefinitionAdmin(m_login->root(), m_login->cAcc_id(), m_login->cUserId())) {
    m_portal->offerUsers(m_admin);
    m_portal->setSession(m_login->cAcc_id(), accountName, m_login->cUserId(), m_login->cUserName());
    m_business = std::make_shared<DeskBusiness>(m_login, m_portal);
    userdef::g_Factory = m_factory.get();
    QObject::connect(m_portal, &PortalFrame::functionRequested, m_portal,
                     [this](const QString& key) { openFunction(key); });
}

Desk::~Desk() {
    delete m_portal;  // closes the hosted windows with it
    m_userDef.reset();
    // The component unloads: its session goes with the desk.
    userdef::Session& session = userdef::Session::current();
    session.reset();
    if (session.factory == m_factory.get()) session.factory = nullptr;
}

void Desk::openFunction(const QString& functionKey) {
    if (functionKey.compare(QStringLiteral("MakeVouchSet"), Qt::CaseInsensitive) == 0) {
        if (QWidget* open = m_portal->windowOf(kRuleListForm)) {
            m_portal->tabs()->setCurrentWidget(open);
            return;
        }
        // The list lives in the catalogue's session: no catalogue, no list (its start may be
        // refused, for example while another user holds the function).
        if (!m_portal->windowOf(kCatalogueForm)) openFunction(QStringLiteral("UserDef"));
        if (m_userDef && m_portal->windowOf(kCatalogueForm)) m_userDef->ShowRuleList();
        return;
    }
    // The overwrite setting and the account's history belong to the catalogue, whose own menus
    // the portal hides: they open over it, in its session.
    for (const auto& [key, command] : {std::pair{"CoverSetting", "CoverSetting"},
                                       std::pair{"History", "HistoryAll"}}) {
        if (functionKey.compare(QLatin1String(key), Qt::CaseInsensitive) != 0) continue;
        if (!m_portal->windowOf(kCatalogueForm)) openFunction(QStringLiteral("UserDef"));
        if (auto* catalogue =
                dynamic_cast<userdef::CatalogueWindow*>(m_portal->windowOf(kCatalogueForm))) {
            m_portal->tabs()->setCurrentWidget(catalogue);
            catalogue->RunCommand(QLatin1String(command));
        }
        return;
    }
    if (functionKey.compare(QStringLiteral("DocLayouts"), Qt::CaseInsensitive) == 0) {
        if (QWidget* open = m_portal->windowOf(kLayoutsForm))
            m_portal->tabs()->setCurrentWidget(open);
        else
            m_portal->hostWindow(new DocLayoutsView(m_login->ZxDbName(), m_login->language()),
                                 kLayoutsForm, true);
        return;
    }
    if (functionKey.compare(QStringLiteral("Packages"), Qt::CaseInsensitive) == 0) {
        if (QWidget* open = m_portal->windowOf(kPackagesForm))
            m_portal->tabs()->setCurrentWidget(open);
        else
            m_portal->hostWindow(new PackagesView(m_login->root(), m_login->cAcc_id(),
                                                  m_login->cUserId(), m_login->language(),
                                                  m_prompter),
                                 kPackagesForm, true);
        return;
    }
    if (functionKey.compare(QStringLiteral("Users"), Qt::CaseInsensitive) == 0) {
        if (!m_admin) {
            m_prompter->ask(deskText(m_login->language(), QStringLiteral("Desk.Users.NotAdmin")),
                            48, m_portal->windowTitle());
        } else if (QWidget* open = m_portal->windowOf(kUsersForm)) {
            m_portal->tabs()->setCurrentWidget(open);
        } else {
            m_portal->hostWindow(new UsersView(m_login->root(), m_login->cAcc_id(),
                                               m_login->language(), m_login->cUserId(), m_prompter),
                                 kUsersForm, true);
        }
        return;
    }
    if (functionKey.compare(QStringLiteral("UserDef"), Qt::CaseInsensitive) != 0) return;
    if (QWidget* open = m_portal->windowOf(kCatalogueForm)) {
        m_portal->tabs()->setCurrentWidget(open);
        return;
    }
    if (!m_userDef) m_userDef = std::make_unique<userdef::IUserDef>();
    m_userDef->setBusiness(m_business);
    m_userDef->ILoginable_Login();
    m_userDef->ILoginable_CallFunction(QStringLiteral("AA0101"), QStringLiteral("UserDef"),
                                       QString(), QString());
}

}  // namespace app
