#include "app/HostFactory.h"

#include "host/ILogin.h"
#include "platform/colset/ColSetSvr.h"
#include "platform/filter/FilterSvr.h"
#include "platform/package/PackageService.h"
#include "platform/plugins/PlugInManager.h"
#include "platform/pub/MessageBoxPrompter.h"
#include "platform/pub/Pub.h"
#include "platform/server/ClsCommon.h"

namespace app {

HostFactory::HostFactory(std::shared_ptr<host::ILogin> login, host::IWindowHost* windowHost,
                         std::shared_ptr<platform::pub::IPrompter> prompter)
    : m_login(std::move(login)), m_windowHost(windowHost), m_prompter(std::move(prompter)) {}

std::shared_ptr<host::IPub> HostFactory::createPub() {
    auto pub = std::make_shared<platform::pub::Pub>(
        m_prompter ? m_prompter : std::make_shared<platform::pub::MessageBoxPrompter>(),
        m_login ? m_login->LanguageRegion() : QStringLiteral("zh-cn"));
    if (m_login) pub->setLogin(*m_login);
    return pub;
}

std::shared_ptr<host::IClsCommon> HostFactory::createSrvDB() {
    return std::make_shared<platform::server::ClsCommon>();
}

std::shared_ptr<host::IColSet> HostFactory::createColSet() {
    return std::make_shared<platform::colset::ColSetSvr>();
}

std::shared_ptr<host::IPlugInManager> HostFactory::createPlugInManager() {
    return std::make_shared<platform::plugins::PlugInManager>();
}

std::shared_ptr<host::IFilterSvr> HostFactory::createFilter() {
    return std::make_shared<platform::filter::FilterSvr>(m_windowHost);
}

std::shared_ptr<host::IPackages> HostFactory::createPackages() {
    return std::make_shared<platform::package::PackageService>();
}

}  // namespace app
