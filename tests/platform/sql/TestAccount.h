#pragma once
// A small account for the SQL engine's tests: system, account and metadata databases in a
// temporary folder, with the tables and columns the component's statements use and a few rows.
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "platform/sql/TSqlConnection.h"

namespace sqltest {

class TestAccount {
public:
    TestAccount();
    QString connectionText(const QString& language = QStringLiteral("zh-CN")) const;
    QString metaConnectionText() const;
    std::unique_ptr<platform::sql::TSqlConnection> connect(
        const QString& language = QStringLiteral("zh-CN")) const;
    QString dir() const { return m_dir.path(); }
    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QString m_error;
};

}  // namespace sqltest
