#pragma once
// Window options of each user (status bar shown, toolbar texts …), in zx_FormOption of the
// account database (created on first use): one text per user, window and option.
#include <QMap>
#include <QString>

namespace platform::db {

class Database;

// Every option stored for a user's window, option key -> value; empty on error (in `error`).
QMap<QString, QString> loadFormOptions(Database& db, const QString& userId, const QString& form,
                                       QString* error);
bool saveFormOption(Database& db, const QString& userId, const QString& form, const QString& key,
                    const QString& value, QString* error);

}  // namespace platform::db
