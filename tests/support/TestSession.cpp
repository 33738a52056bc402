#include "tests/support/TestSession.h"

#include "common/InitAcc.h"
#include "common/Session.h"

namespace testsupport {

TestSession::TestSession(const QString& language) {
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
    userdef::Session& session = userdef::Session::current();
    session.pub = pub;
    session.srvDB = srv;
    session.login = login;
    if (!userdef::InitAcc()) m_error = QStringLiteral("InitAcc failed");
}

TestSession::~TestSession() { userdef::Session::current().reset(); }

}  // namespace testsupport
