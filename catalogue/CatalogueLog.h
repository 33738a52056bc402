#pragma once
#include <QLoggingCategory>

namespace catalogue {
Q_DECLARE_LOGGING_CATEGORY(lcCatalogue)
}
