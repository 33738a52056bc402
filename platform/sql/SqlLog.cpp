#include "platform/sql/SqlLog.h"

Q_LOGGING_CATEGORY(lcSql, "userdef.sql", QtCriticalMsg)
