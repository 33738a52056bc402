#pragma once
#include <QLoggingCategory>

namespace controls {
Q_DECLARE_LOGGING_CATEGORY(lcControls)
}
