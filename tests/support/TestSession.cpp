#include "tests/support/TestSession.h"

#include "common/InitAcc.h"
#include "common/Session.h"
#include "controls/RefEdit.h"
#include "platform/filter/FilterSvr.h"
#include "platform/package/PackageService.h"
#include "platform/plugins/PlugInManager.h"

namespace testsupport {

std::shared_ptr<host::IPlugInManager> TestHostFactory::createPlugInManager() {
    return std::make_shared<platform::plugins::PlugInManager>();
}

std::shared_ptr<host::IFilterSvr> TestHostFactory::createFilter() {
    return std::make_shared<platform::filter::FilterSvr>(&windows);
}

std::shared_ptr<host::IPackages> TestHostFactory::createPackages() {
    return std::make_shared<platform::package::PackageService>();
}

TestSession::TestSession(const QString& language, TestAccount::Kind kind) : account(kind) {
    userdef::Session::current().reset();
    if (!account.ok()) {
        m_error = account.error();
        return;
    }
    prompter = std::make_shared<platform::pub::ScriptedPrompter>();
    pub = std::make_shared<platform::pub::Pub>(prompter, language);
    srv = std::make_shared<platform::server::ClsCommon>();
    srv->init(account.connectionText(language));
    if (!srv->Status()) {
        m_error = srv->lastError();
        return;
    }
    login = std::make_shared<TestLogin>(account, language, QStringLiteral("demo"), srv->m_cnn());
    pub->setLogin(*login);
    factory.pub = pub;
    userdef::Session& session = userdef::Session::current();
    session.factory = &factory;
    controls::RefEdit::setDefaultWindowHost(&factory.windows);
    session.pub = pub;
    session.srvDB = srv;
    session.login = login;
    if (!userdef::InitAcc()) m_error = QStringLiteral("InitAcc failed");
}

TestSession::~TestSession() {
    userdef::Session& session = userdef::Session::current();
    session.reset();
    if (session.factory == &factory) session.factory = nullptr;
    controls::RefEdit::setDefaultWindowHost(nullptr);
}

}  // namespace testsupport
