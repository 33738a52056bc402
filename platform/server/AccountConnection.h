#pragma once
// Connection texts of an account's databases below a data root (see DemoAccount's files).
#include <QString>

namespace platform::server {

// "Data Source=<ZxData_<acc>.db>;Initial Catalog=ZxData_<acc>;Account=…;System=…;Meta=…;
// Language=…", or the same for the metadata database when `meta` is set; for an account with a
// server entry "Server=<conninfo>;Initial Catalog=ZxData_<acc>;Account=…;Language=…". The language is
// normalised ("zh-cn" → "zh-CN"); an unknown one falls back to zh-CN.
QString accountConnectionText(const QString& dataRoot, const QString& accountId,
                              const QString& language, bool meta = false);

}  // namespace platform::server
