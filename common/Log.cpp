#include "common/Log.h"

namespace userdef {

Q_LOGGING_CATEGORY(lcCommon, "userdef.common", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcDebugTrace, "userdef.debug", QtCriticalMsg)

void DebugTrace(const QString& text) { qCDebug(lcDebugTrace).noquote() << text; }

}  // namespace userdef
