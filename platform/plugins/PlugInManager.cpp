#include "platform/plugins/PlugInManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QPluginLoader>
#include <QSettings>
#include <optional>

#include "platform/plugins/PlugInFactory.h"

Q_LOGGING_CATEGORY(lcPlugins, "userdef.plugins", QtCriticalMsg)

namespace platform::plugins {

QString PlugInManager::defaultFolder() {
    const QString env = qEnvironmentVariable("USERDEF_PLUGINS");
    if (!env.isEmpty()) return env;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/plugins");
}

PlugInManager::PlugInManager(const QString& folder)
    : m_folder(folder.isEmpty() ? defaultFolder() : folder) {}

void PlugInManager::init(const QString& accountId, host::ILogin* login) {
    m_accountId = accountId;
    m_login = login;
    readManifests();
}

namespace {

std::optional<PlugInManifest> parseManifest(const QDir& dir, const QString& fileName) {
    QFile file(dir.filePath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcPlugins) << fileName << "cannot be read";
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (!doc.isObject()) {
        qCWarning(lcPlugins) << fileName << "is not a manifest:" << error.errorString();
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    PlugInManifest m;
    m.name = o.value(QStringLiteral("name")).toString().trimmed();
    for (const QJsonValue& k : o.value(QStringLiteral("keys")).toArray())
        if (!k.toString().trimmed().isEmpty()) m.keys << k.toString().trimmed();
    const QString library = o.value(QStringLiteral("library")).toString().trimmed();
    if (m.name.isEmpty() || m.keys.isEmpty() || library.isEmpty()) {
        qCWarning(lcPlugins) << fileName << "needs a name, keys and a library";
        return std::nullopt;
    }
    m.libraryPath = dir.filePath(library);
    m.manifestPath = dir.filePath(fileName);
    return m;
}

}  // namespace

void PlugInManager::readManifests() {
    m_manifests.clear();
    m_read = true;
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        if (auto m = parseManifest(dir, name)) m_manifests << *m;

    const QString env = qEnvironmentVariable("USERDEF_PLUGINS_ANNOUNCE");
    if (!env.isEmpty()) {
        m_announce = env != QLatin1String("0") && env.compare("false", Qt::CaseInsensitive) != 0;
    } else {
        const QSettings settings(dir.filePath(QStringLiteral("plugins.ini")), QSettings::IniFormat);
        m_announce = settings.value(QStringLiteral("announceMissing"), true).toBool();
    }
}

std::shared_ptr<host::PlugInCollection> PlugInManager::plugIns(const QString& key,
                                                               QMap<QString, QVariant>& missing) {
    if (!m_read) readManifests();
    std::shared_ptr<host::PlugInCollection> out;
    for (const PlugInManifest& m : std::as_const(m_manifests)) {
        if (!m.keys.contains(key, Qt::CaseInsensitive)) continue;
        if (!out) out = std::make_shared<host::PlugInCollection>();
        QPluginLoader loader(m.libraryPath);
        QObject* root = loader.instance();
        auto* factory = qobject_cast<IPlugInFactory*>(root);
        std::shared_ptr<host::IPlugIn> plugIn = factory ? factory->create(key) : nullptr;
        if (!plugIn) {
            qCWarning(lcPlugins) << "plug-in" << m.name << "cannot be loaded from"
                                 << m.libraryPath << ":"
                                 << (root ? QStringLiteral("no factory for the key")
                                          : loader.errorString());
            missing.insert(m.name, true);
            continue;
        }
        out->push_back(std::move(plugIn));
    }
    return out;
}

}  // namespace platform::plugins
