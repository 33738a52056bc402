#pragma once
// The connection text of an account or metadata database:
// "Data Source=<file>;Initial Catalog=<name>;Account=<acc>;System=<file>;Meta=<file>;Language=<lang>",
// or for an account on a server "Server=<conninfo>;Initial Catalog=<name>;Account=<acc>;
// Language=<lang>" (the catalog names the schema: ZxData_<acc> → zxdata_<acc>).
#include <QString>
#include <optional>

namespace platform::sql {

struct ConnectionText {
    QString dataSource;  // absolute path of the database file the connection works in
    QString server;      // the libpq connection string of a server account's database
    QString catalog;     // its database name ("ZxData_001", "ZxMeta_001")
    QString account;     // account id ("001")
    QString systemPath;  // absolute path of zxsystem.db; empty when not given
    QString metaPath;    // absolute path of ZxMeta_<account>.db; empty when not given
    QString language = QStringLiteral("zh-CN");  // "zh-CN", "zh-TW" or "en-US"

    // Keys compare without regard to case, unknown keys are ignored; a value may stand in
    // double quotes (then "" is one quote) when it holds ';'. Null without a Data Source or a
    // Server.
    static std::optional<ConnectionText> parse(const QString& text);
    QString format() const;

    // "zh-cn", "ZH_TW", "en-us" … in the spelling the tables use; empty when not a known one.
    static QString normalLanguage(const QString& language);
};

}  // namespace platform::sql
