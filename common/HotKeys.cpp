#include "common/HotKeys.h"

#include <QShortcut>
#include <QWidget>

namespace userdef {

void AddHotKeys(QWidget* window, const HotKeyList& keys,
                const std::function<void(const QString&)>& runCommand) {
    for (const auto& [sequence, command] : keys) {
        auto* shortcut = new QShortcut(sequence, window);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        shortcut->setObjectName(QStringLiteral("HotKey_") + command);
        QObject::connect(shortcut, &QShortcut::activated, window,
                         [runCommand, command] { runCommand(command); });
    }
}

}  // namespace userdef
