#pragma once
// The program's own icons (":/icons/<name>.svg") and toolbar definitions
// (":/icons/toolbars.json").
#include <QIcon>
#include <QString>

namespace resources::icons {

// The icon of a name ("add", "print" …), drawn from its SVG at the usual sizes; a null icon
// when there is no such name.
QIcon icon(const QString& name);
// The path of the toolbar definitions.
QString toolbarDefinitionsPath();

}  // namespace resources::icons
