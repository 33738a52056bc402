#pragma once
#include <QLoggingCategory>

namespace carryover {
Q_DECLARE_LOGGING_CATEGORY(lcCarryOver)
}
