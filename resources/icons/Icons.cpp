#include "resources/icons/Icons.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace resources::icons {

QIcon icon(const QString& name) {
    static QHash<QString, QIcon> cache;
    const auto found = cache.constFind(name);
    if (found != cache.constEnd()) return *found;

    QIcon result;
    const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
    if (QFile::exists(path)) {
        QSvgRenderer renderer(path);
        if (renderer.isValid()) {
            for (const int size : {16, 20, 24, 32, 48, 64}) {
                QPixmap pixmap(size, size);
                pixmap.fill(Qt::transparent);
                QPainter painter(&pixmap);
                renderer.render(&painter);
                painter.end();
                result.addPixmap(pixmap);
            }
        }
    }
    cache.insert(name, result);
    return result;
}

QString toolbarDefinitionsPath() { return QStringLiteral(":/icons/toolbars.json"); }

}  // namespace resources::icons
