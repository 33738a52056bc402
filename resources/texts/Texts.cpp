#include "resources/texts/Texts.h"

#include <QDir>

namespace resources::texts {

QString folder() { return QStringLiteral(":/texts"); }

QStringList files(const QString& language) {
    const QDir dir(folder());
    QStringList out;
    const QString suffix = QLatin1Char('.') + language + QStringLiteral(".json");
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        if (name.endsWith(suffix)) out << dir.filePath(name);
    return out;
}

}  // namespace resources::texts
