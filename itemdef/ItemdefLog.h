#pragma once
#include <QLoggingCategory>

namespace itemdef {
Q_DECLARE_LOGGING_CATEGORY(lcItemdef)
}
