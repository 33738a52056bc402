#pragma once
// Logging category of the SQL engine ("userdef.sql"), off unless switched on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSql)
