#include "app/Login.h"

#include <QFileInfo>

#include "platform/db/AccountFiles.h"
#include "platform/sql/ConnectionText.h"
#include "platform/sql/TSqlConnection.h"

namespace app {

Login::~Login() = default;

host::IConnection* Login::ZxCurrentDb() const { return m_connection.get(); }

std::shared_ptr<Login> Login::open(const QString& root, const QString& accountId,
                                   const QString& userId, const QString& userName,
                                   const QString& language, QString* error) {
    if (!platform::db::isValidAccountId(accountId)) {
        if (error) *error = accountId;
        return nullptr;
    }
    const platform::db::AccountFiles files = platform::db::accountFiles(root, accountId);
    platform::sql::ConnectionText data;
    data.dataSource = QFileInfo(files.data).absoluteFilePath();
    data.catalog = QStringLiteral("ZxData_") + accountId;
    data.account = accountId;
    data.systemPath = QFileInfo(files.system).absoluteFilePath();
    data.metaPath = QFileInfo(files.meta).absoluteFilePath();
    data.language = language;
    for (const QString& file : {data.dataSource, data.metaPath, data.systemPath}) {
        if (!QFileInfo::exists(file)) {
            if (error) *error = file;
            return nullptr;
        }
    }
    platform::sql::ConnectionText meta = data;
    meta.dataSource = data.metaPath;
    meta.catalog = QStringLiteral("ZxMeta_") + accountId;

    std::shared_ptr<Login> login(new Login);
    login->m_dbName = data.format();
    login->m_metaName = meta.format();
    login->m_userId = userId;
    login->m_userName = userName;
    login->m_accountId = accountId;
    login->m_language = language;
    QString reason;
    login->m_connection = platform::sql::TSqlConnection::open(login->m_dbName, &reason);
    if (!login->m_connection) {
        if (error) *error = reason;
        return nullptr;
    }
    return login;
}

}  // namespace app
