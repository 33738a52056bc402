#include "archive/PlugInTalk.h"

#include <QAction>

#include "common/InitToolbar.h"
#include "common/XmlHelpers.h"

namespace archive {

QString Talk(const QString& fieldName, const QWidget* valueBox) {
    if (fieldName.compare(QLatin1String("cValue"), Qt::CaseInsensitive) != 0) return {};
    return userdef::ControlValue(valueBox);
}

bool PlugInNotice(const QString& notice, QAction* saveButton, QWidget* window) {
    if (notice.toUpper() != QLatin1String("BUTTON_SAVE")) return false;
    if (saveButton) saveButton->setEnabled(true);
    userdef::ReRefreshZxTlb(window);
    return true;
}

}  // namespace archive
