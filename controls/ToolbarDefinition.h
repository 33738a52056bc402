#pragma once
// The host's toolbar definitions, by id ("Archives_UserDef_List" …), read from the icons
// resource.
#include <QList>
#include <QString>

namespace controls {

struct ToolbarMenuEntry {
    QString mode;        // second text passed with the click
    QString captionKey;  // resource key of the entry's text
};

struct ToolbarButtonDef {
    bool separator = false;
    QString key;         // command key; the classic toolbar's action has it as objectName
    QString captionKey;  // "Q9.AA.TOOLBAR.<key>" unless the definition names another
    QString icon;        // resources/icons/<icon>.svg
    QString hotKey;      // shown in the tooltip; the window handles the key itself
    QString mode;        // second text passed with a click on the button
    QList<ToolbarMenuEntry> menu;
};

// The buttons of a definition; empty when the id is unknown (the id is matched ignoring case).
QList<ToolbarButtonDef> toolbarDefinition(const QString& id);
// Every id the resource defines.
QStringList toolbarDefinitionIds();

}  // namespace controls
