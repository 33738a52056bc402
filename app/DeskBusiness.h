#pragma once
// The portal business object the component talks to: the login, and the portal's tabs.
#include <QPointer>
#include <memory>

#include "host/IBusiness.h"

namespace app {

class PortalFrame;

class DeskBusiness : public host::IBusiness {
public:
    DeskBusiness(std::shared_ptr<host::ILogin> login, PortalFrame* portal);

    std::shared_ptr<host::ILogin> GetVBclsLogin() override { return m_login; }
    // An environment text naming the window key and a serial number; the window keeps it in
    // its property "portalEnvironment".
    QString CreateFormEnv(const QString& windowKey, QWidget* window) override;
    // Hosts the window in a portal tab (modal windows as well: the portal has no modal frame).
    void ShowForm(QWidget* window, const QString& subsystem, const QString& formKey, bool modal,
                  bool activate, const QString& environment) override;

private:
    std::shared_ptr<host::ILogin> m_login;
    QPointer<PortalFrame> m_portal;
    int m_serial = 0;
};

}  // namespace app
