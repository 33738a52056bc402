#include "tests/catalogue/TestSession.h"

#include <QApplication>

#include "common/Globals.h"
#include "common/InitAcc.h"

namespace cattest {

TestLogin::TestLogin(const testsupport::TestAccount& account, const QString& language,
                     platform::server::ClsCommon* connection)
    : m_dbName(account.connectionText(language)),
      m_metaName(account.metaConnectionText(language)),
      m_language(language),
      m_connection(connection) {}

host::IConnection* TestLogin::ZxCurrentDb() const {
    return m_connection ? m_connection->m_cnn() : nullptr;
}

void ensureApp() {
    static int argc = 1;
    static char name[] = "userdef_test";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
}

Session::Session(const QString& language) {
    ensureApp();
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
    login = std::make_shared<TestLogin>(account, language, srv.get());
    pub->setLogin(*login);
    userdef::g_Pub = pub;
    userdef::g_SrvDB = srv;
    userdef::g_Login = login;
    userdef::g_ClassCode.clear();
    if (!userdef::InitAcc()) m_error = QStringLiteral("InitAcc failed");
}

Session::~Session() {
    userdef::g_ClassCode.clear();
    userdef::g_Login.reset();
    userdef::g_SrvDB.reset();
    userdef::g_Pub.reset();
}

}  // namespace cattest
