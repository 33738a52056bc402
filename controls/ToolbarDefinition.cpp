#include "controls/ToolbarDefinition.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

#include "resources/icons/Icons.h"

#include "controls/ControlsLog.h"

namespace controls {

namespace {

const QJsonObject& definitions() {
    static const QJsonObject all = [] {
        QFile file(resources::icons::toolbarDefinitionsPath());
        if (!file.open(QIODevice::ReadOnly)) {
            qCWarning(lcControls) << "no toolbar definitions at" << file.fileName();
            return QJsonObject();
        }
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
        if (!doc.isObject()) qCWarning(lcControls) << "toolbar definitions:" << error.errorString();
        return doc.object();
    }();
    return all;
}

ToolbarButtonDef readButton(const QJsonValue& value) {
    ToolbarButtonDef def;
    if (value.isString()) {
        def.separator = value.toString() == QLatin1String("-");
        return def;
    }
    const QJsonObject o = value.toObject();
    def.key = o.value(QLatin1String("key")).toString();
    def.captionKey = o.value(QLatin1String("caption")).toString();
    if (def.captionKey.isEmpty()) def.captionKey = QStringLiteral("Q9.AA.TOOLBAR.") + def.key;
    def.icon = o.value(QLatin1String("icon")).toString();
    def.hotKey = o.value(QLatin1String("hotkey")).toString();
    def.mode = o.value(QLatin1String("mode")).toString();
    for (const QJsonValue& entry : o.value(QLatin1String("menu")).toArray()) {
        const QJsonObject e = entry.toObject();
        def.menu.append({e.value(QLatin1String("mode")).toString(),
                         e.value(QLatin1String("caption")).toString()});
    }
    return def;
}

}  // namespace

QList<ToolbarButtonDef> toolbarDefinition(const QString& id) {
    const QJsonObject& all = definitions();
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (it.key().compare(id, Qt::CaseInsensitive) != 0 || !it.value().isArray()) continue;
        QList<ToolbarButtonDef> buttons;
        for (const QJsonValue& v : it.value().toArray()) {
            ToolbarButtonDef def = readButton(v);
            if (def.separator || !def.key.isEmpty()) buttons.append(def);
        }
        return buttons;
    }
    return {};
}

QStringList toolbarDefinitionIds() {
    QStringList ids;
    const QJsonObject& all = definitions();
    for (auto it = all.begin(); it != all.end(); ++it)
        if (it.value().isArray()) ids << it.key();
    return ids;
}

}  // namespace controls
