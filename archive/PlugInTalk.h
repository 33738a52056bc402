#pragma once
// What the value archive answers its plug-ins.
#include <QString>

class QAction;
class QWidget;

namespace archive {

// Talk: for "cValue" (letter case ignored) the text of the value box, else empty.
QString Talk(const QString& fieldName, const QWidget* valueBox);

// PlugInNotice: "Button_SAVE" (letter case ignored) enables the save button and refreshes the
// window's host toolbar; other notices are ignored. True when the notice was understood.
bool PlugInNotice(const QString& notice, QAction* saveButton, QWidget* window);

}  // namespace archive
