#include "app/Login.h"

#include <QFileInfo>
#include <QPointer>
#include <QThread>

#include "app/DeskTexts.h"
#include "platform/db/AccountFiles.h"
#include "platform/db/AccountSafety.h"
#include "platform/server/AccountConnection.h"
#include "platform/sql/ConnectionText.h"
#include "platform/sql/TSqlConnection.h"

namespace app {

QString refusalText(const platform::db::FileCheck& check, const QString& accountId,
                    const QString& language) {
    using platform::db::FileState;
    const char* key = "Desk.Login.AccountUnreadable";
    switch (check.state) {
        case FileState::Sound: return {};
        case FileState::NotADatabase: key = "Desk.Login.AccountNotADatabase"; break;
        case FileState::Truncated: key = "Desk.Login.AccountTruncated"; break;
        case FileState::Damaged: key = "Desk.Login.AccountDamaged"; break;
        case FileState::Missing:
        case FileState::Unreadable:
            return deskText(language, QString::fromLatin1(key),
                            {check.file + QStringLiteral(": ") + check.problems.join(QStringLiteral("; "))});
    }
    // The first thing SQLite names; "userdef check" lists them all.
    QString detail;
    for (const QString& line : check.problems.join(u'\n').split(u'\n', Qt::SkipEmptyParts))
        if (!line.startsWith(QLatin1String("***"))) {
            detail = line.trimmed();
            break;
        }
    return deskText(language, QString::fromLatin1(key),
                    {accountId, QFileInfo(check.file).fileName(), detail});
}

QString checkAccountAtLogin(const QString& root, const QString& accountId,
                            const QString& language) {
    if (!platform::db::isValidAccountId(accountId)) return {};  // Login::open refuses it
    // A server keeps its own databases sound; there are no files to check.
    if (!platform::db::serverConninfo(root, accountId).isEmpty()) return {};
    if (platform::db::accountSize(root, accountId) >= kBackgroundCheckBytes) return {};
    return refusalText(platform::db::checkAccount(root, accountId, false), accountId, language);
}

void checkAccountInBackground(const QString& root, const QString& accountId,
                              const QString& language, QObject* receiver,
                              std::function<void(const QString& refusal)> done) {
    if (!platform::db::isValidAccountId(accountId) ||
        !platform::db::serverConninfo(root, accountId).isEmpty() ||
        platform::db::accountSize(root, accountId) < kBackgroundCheckBytes)
        return;
    QThread* thread = QThread::create([=, guard = QPointer<QObject>(receiver)] {
        const QString refusal = refusalText(
            platform::db::checkAccountHoldingWrites(root, accountId), accountId, language);
        if (guard)
            QMetaObject::invokeMethod(guard.data(), [done, refusal] { done(refusal); },
                                      Qt::QueuedConnection);
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

Login::~Login() = default;

host::IConnection* Login::ZxCurrentDb() const { return m_connection.get(); }

std::shared_ptr<Login> Login::open(const QString& root, const QString& accountId,
                                   const QString& userId, const QString& userName,
                                   const QString& language, QString* error) {
    if (!platform::db::isValidAccountId(accountId)) {
        if (error) *error = accountId;
        return nullptr;
    }
    // A server account's connection texts name its server; an embedded one's its files.
    std::optional<platform::sql::ConnectionText> data = platform::sql::ConnectionText::parse(
        platform::server::accountConnectionText(root, accountId, language));
    std::optional<platform::sql::ConnectionText> meta = platform::sql::ConnectionText::parse(
        platform::server::accountConnectionText(root, accountId, language, true));
    if (!data || !meta) {
        if (error) *error = accountId;
        return nullptr;
    }
    data->language = meta->language = language;
    if (data->server.isEmpty()) {
        for (const QString& file : {data->dataSource, data->metaPath, data->systemPath}) {
            if (!QFileInfo::exists(file)) {
                if (error) *error = file;
                return nullptr;
            }
        }
    }

    std::shared_ptr<Login> login(new Login);
    login->m_root = root;
    login->m_dbName = data->format();
    login->m_metaName = meta->format();
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
