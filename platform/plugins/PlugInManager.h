#pragma once
// The host's plug-in manager.
//
// Plug-ins are shared libraries in the plug-ins folder: USERDEF_PLUGINS when set, else
// "<folder of the executable>/plugins". Each is registered by a manifest beside it,
// "<name>.json":
//
//   { "name": "Sample notes", "keys": ["UserDef", "UserDefValue"],
//     "library": "userdef_sample_plugin" }
//
// "library" is a file name relative to the folder (the platform suffix may be left out); the
// library's Qt plug-in root object implements platform::plugins::IPlugInFactory. Keys compare
// without regard to letter case. A manifest that is not a JSON object with a name, a library
// and at least one key is skipped and logged.
//
// Whether missing plug-ins are announced: env USERDEF_PLUGINS_ANNOUNCE ("0"/"1") when set, else
// "announceMissing" (true/false) of "<plug-ins folder>/plugins.ini", else true.
#include <QString>
#include <QStringList>
#include <QVector>

#include "host/IPlugIn.h"

namespace platform::plugins {

struct PlugInManifest {
    QString name;
    QStringList keys;
    QString libraryPath;  // absolute
    QString manifestPath;
};

class PlugInManager : public host::IPlugInManager {
public:
    // An empty folder means the default (see above).
    explicit PlugInManager(const QString& folder = {});

    void init(const QString& accountId, host::ILogin* login) override;
    std::shared_ptr<host::PlugInCollection> plugIns(const QString& key,
                                                    QMap<QString, QVariant>& missing) override;
    bool announceMissing() const override { return m_announce; }

    QString folder() const { return m_folder; }
    const QVector<PlugInManifest>& manifests() const { return m_manifests; }
    QString accountId() const { return m_accountId; }

    static QString defaultFolder();

private:
    void readManifests();

    QString m_folder;
    QString m_accountId;
    host::ILogin* m_login = nullptr;
    bool m_announce = true;
    bool m_read = false;
    QVector<PlugInManifest> m_manifests;
};

}  // namespace platform::plugins
