#include "platform/server/ServerLog.h"

Q_LOGGING_CATEGORY(lcServer, "userdef.server", QtCriticalMsg)
