#include "carryover/CarryOverLog.h"

namespace carryover {
Q_LOGGING_CATEGORY(lcCarryOver, "userdef.carryover", QtWarningMsg)
}
