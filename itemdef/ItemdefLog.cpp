#include "itemdef/ItemdefLog.h"

namespace itemdef {
Q_LOGGING_CATEGORY(lcItemdef, "userdef.itemdef", QtWarningMsg)
}
