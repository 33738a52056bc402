#pragma once
// Logging category of the server database service ("userdef.server"), off unless switched on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcServer)
