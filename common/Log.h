#pragma once
// Logging categories of the shared helpers: "userdef.common" for soft checks and "userdef.debug"
// for the component's debug traces. Both are off unless switched on with QT_LOGGING_RULES.
#include <QLoggingCategory>

namespace userdef {

Q_DECLARE_LOGGING_CATEGORY(lcCommon)
Q_DECLARE_LOGGING_CATEGORY(lcDebugTrace)

// Writes one debug trace ("startunload" …) to the "userdef.debug" category.
void DebugTrace(const QString& text);

}  // namespace userdef
