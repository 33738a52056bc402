#include "platform/pub/PubLog.h"

Q_LOGGING_CATEGORY(lcPub, "userdef.pub", QtCriticalMsg)
