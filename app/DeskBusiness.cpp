#include "app/DeskBusiness.h"

#include <QWidget>

#include "app/PortalFrame.h"
#include "common/Log.h"

namespace app {

DeskBusiness::DeskBusiness(std::shared_ptr<host::ILogin> login, PortalFrame* portal)
    : m_login(std::move(login)), m_portal(portal) {}

QString DeskBusiness::CreateFormEnv(const QString& windowKey, QWidget* window) {
    const QString env = QStringLiteral("%1#%2").arg(windowKey).arg(++m_serial);
    if (window) window->setProperty("portalEnvironment", env);
    return env;
}

void DeskBusiness::ShowForm(QWidget* window, const QString& subsystem, const QString& formKey,
                            bool modal, bool activate, const QString& environment) {
    if (!window) {
        qCWarning(userdef::lcCommon) << "ShowForm without a window:" << formKey;
        return;
    }
    userdef::DebugTrace(QStringLiteral("ShowForm %1 %2 %3").arg(subsystem, formKey, environment));
    if (!m_portal) {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        return;
    }
    m_portal->hostWindow(window, formKey, activate || modal);
    if (activate) {
        m_portal->raise();
        m_portal->activateWindow();
    }
}

}  // namespace app
