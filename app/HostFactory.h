#pragma once
// Creates the desk's host services for the component: the public service with message boxes,
// the server database service, the column-setting service, the plug-in manager and the filter
// dialog.
#include <memory>

#include "host/IHostFactory.h"

namespace host {
class ILogin;
}
namespace platform::pub {
class IPrompter;
}

namespace app {

class HostFactory : public host::IHostFactory {
public:
    // login: the desk's login, whose language and user the public service takes. prompter:
    // how the public service asks (null: message boxes).
    HostFactory(std::shared_ptr<host::ILogin> login, host::IWindowHost* windowHost,
                std::shared_ptr<platform::pub::IPrompter> prompter = nullptr);

    std::shared_ptr<host::IPub> createPub() override;
    std::shared_ptr<host::IClsCommon> createSrvDB() override;
    std::shared_ptr<host::IColSet> createColSet() override;
    std::shared_ptr<host::IPlugInManager> createPlugInManager() override;
    std::shared_ptr<host::IFilterSvr> createFilter() override;
    std::shared_ptr<host::IPackages> createPackages() override;
    host::IWindowHost* windowHost() override { return m_windowHost; }

private:
    std::shared_ptr<host::ILogin> m_login;
    host::IWindowHost* m_windowHost;
    std::shared_ptr<platform::pub::IPrompter> m_prompter;
};

}  // namespace app
