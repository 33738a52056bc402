#include "archive/ArchiveLog.h"

namespace archive {
Q_LOGGING_CATEGORY(lcArchive, "userdef.archive", QtWarningMsg)
}
