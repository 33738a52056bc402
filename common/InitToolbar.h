#pragma once
// Puts a window's host toolbar in place of its classic toolbar, and refreshes host toolbars
// from their classic toolbars.
#include <QString>

class QObject;
class QToolBar;
class QWidget;

namespace controls {
class HostToolbar;
}

namespace userdef {

// Builds the host toolbar from the definition listKey + "_List" (kind other than "Voucher") or
// listKey itself ("Voucher"; nothing when listKey is empty), links the classic toolbar, records
// the window object when given, shows text under the icons, hides the classic toolbar and
// shows the host toolbar where the classic one was (in its layout, or at its left, top and
// height with the window's width less six pixels).
void InitToolbar(QWidget* window, QToolBar* classic, controls::HostToolbar* host,
                 const QString& listKey, QObject* windowObject, const QString& kind);

// Mirrors every host toolbar of a window from its classic toolbar.
void ReRefreshZxTlb(QWidget* window);

}  // namespace userdef
