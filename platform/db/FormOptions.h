#pragma once
// Window options of each user (status bar shown, toolbar texts …), in zx_FormOption of the
// account database: one text per user, window and option.
#include <QMap>
#include <QString>

namespace platform::db {

class Connection;

// The table in the component's dialect, for the account connection to create on first use.
inline constexpr const char* kFormOptionTable =
    "CREATE TABLE zx_FormOption(cUserId nvarchar(20) NOT NULL, cForm nvarchar(60) NOT NULL, "
    "cKey nvarchar(60) NOT NULL, cValue nvarchar(200), PRIMARY KEY (cUserId, cForm, cKey))";

// Every option stored for a user's window, option key -> value; empty on error (in `error`).
QMap<QString, QString> loadFormOptions(Connection& db, const QString& userId, const QString& form,
                                       QString* error);
bool saveFormOption(Connection& db, const QString& userId, const QString& form, const QString& key,
                    const QString& value, QString* error);

}  // namespace platform::db
