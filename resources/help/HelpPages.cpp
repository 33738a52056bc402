#include "resources/help/HelpPages.h"

#include <QDir>

namespace resources::help {

QString folder() { return QStringLiteral(":/help"); }

QString pagePath(const QString& topic, const QString& language) {
    // Topics are compared without regard to letter case, as the windows name them.
    const QString wanted = topic + QLatin1Char('.') + language + QStringLiteral(".html");
    const QDir dir(folder());
    for (const QString& name : dir.entryList(QDir::Files))
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(name);
    return {};
}

QStringList topics() {
    QStringList out;
    for (const QString& name : QDir(folder()).entryList({QStringLiteral("*.html")}, QDir::Files)) {
        const QString topic = name.section(QLatin1Char('.'), 0, 0);
        if (!out.contains(topic)) out << topic;
    }
    return out;
}

}  // namespace resources::help
