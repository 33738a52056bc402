#include "archive/ValuePrint.h"

#include "archive/ArchiveLog.h"

namespace archive {

bool PrintValueList(const QString& mode, const QString& style, const QString& data,
                    QWidget* window) {
    Q_UNUSED(style);
    Q_UNUSED(window);
    qCInfo(lcArchive) << "value list" << mode << "(" << data.size()
                      << "characters of print data): no print component is wired yet";
    return false;
}

}  // namespace archive
