#include "tests/support/TestLogin.h"

#include "platform/sql/TSqlConnection.h"

namespace testsupport {

TestLogin::TestLogin(const TestAccount& account, const QString& language, const QString& user,
                     host::IConnection* current)
    : m_account(account.accountId()),
      m_user(user),
      m_language(language),
      m_dbName(account.connectionText(language)),
      m_metaName(account.metaConnectionText(language)),
      m_current(current) {
    if (!m_current) m_own = platform::sql::TSqlConnection::open(m_dbName, nullptr);
}

TestLogin::TestLogin(const QString& connectionText, const QString& user, const QString& language)
    : m_account(QStringLiteral("001")),
      m_user(user),
      m_language(language),
      m_dbName(connectionText),
      m_current(nullptr) {}

TestLogin::~TestLogin() = default;

QString TestLogin::cUserName() const {
    return m_user == QLatin1String("demo") ? QStringLiteral("演示管理员") : m_user;
}

host::IConnection* TestLogin::ZxCurrentDb() const {
    return m_current ? m_current : m_own.get();
}

}  // namespace testsupport
