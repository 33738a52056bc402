#pragma once
// Hot keys of a window: each key sequence runs a command text through the window's command
// entry, while the focus is anywhere in the window.
#include <QKeySequence>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

class QWidget;

namespace userdef {

using HotKeyList = QList<QPair<QKeySequence, QString>>;

// One shortcut per entry, named "HotKey_" + command.
void AddHotKeys(QWidget* window, const HotKeyList& keys,
                const std::function<void(const QString&)>& runCommand);

}  // namespace userdef
