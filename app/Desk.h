#pragma once
// The desk after a login: host services, the portal and the component opened from it.
#include <QPointer>
#include <memory>

namespace host {
class IWindowHost;
}
namespace platform::pub {
class IPrompter;
}
namespace userdef {
class IUserDef;
}

namespace app {

class Login;
class PortalFrame;
class DeskBusiness;
class DialogWindowHost;
class HostFactory;

class Desk {
public:
    // Wires the host for the login and makes the portal (not shown yet). accountName is shown
    // in the portal's title. prompter and windowHost replace message boxes and exec() (tests).
    Desk(std::shared_ptr<Login> login, const QString& accountName,
         std::shared_ptr<platform::pub::IPrompter> prompter = nullptr,
         host::IWindowHost* windowHost = nullptr);
    // Ends the component's session values and closes the portal.
    ~Desk();

    PortalFrame* portal() const { return m_portal; }
    std::shared_ptr<Login> login() const { return m_login; }

    // Opens a function of the portal; "UserDef" opens the item catalogue in a tab, or brings
    // its open tab forward; "MakeVouchSet" the carry-over rule list in the catalogue's session
    // (opening the catalogue first when it is not open); "CoverSetting" the catalogue's
    // overwrite setting (the same way); "DocLayouts" the read-only document layouts; "Users"
    // the users who may log in, for an administrator of definitions; "Packages" the export,
    // comparison and import of definition packages.
    void openFunction(const QString& functionKey);

private:
    std::shared_ptr<Login> m_login;
    std::unique_ptr<DialogWindowHost> m_dialogHost;
    std::unique_ptr<HostFactory> m_factory;
    QPointer<PortalFrame> m_portal;
    std::shared_ptr<DeskBusiness> m_business;
    std::unique_ptr<userdef::IUserDef> m_userDef;
    std::shared_ptr<platform::pub::IPrompter> m_prompter;
    bool m_admin = false;
};

}  // namespace app
