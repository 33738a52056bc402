#pragma once
#include <QLoggingCategory>

namespace userdef {
Q_DECLARE_LOGGING_CATEGORY(lcEntry)
}
