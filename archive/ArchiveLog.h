#pragma once
#include <QLoggingCategory>

namespace archive {
Q_DECLARE_LOGGING_CATEGORY(lcArchive)
}
