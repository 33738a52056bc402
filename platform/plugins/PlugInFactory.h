#pragma once
// What a plug-in library exports: its Qt plug-in root object implements this factory, which
// makes one plug-in object per window that asks for it.
#include <QString>
#include <QtPlugin>
#include <memory>

#include "host/IPlugIn.h"

namespace platform::plugins {

class IPlugInFactory {
public:
    virtual ~IPlugInFactory() = default;
    // A new plug-in for a key it is registered for ("UserDef", "UserDefValue" …); null when the
    // library does not serve the key.
    virtual std::shared_ptr<host::IPlugIn> create(const QString& key) = 0;
};

}  // namespace platform::plugins

#define USERDEF_PLUGIN_FACTORY_IID "userdef.PlugInFactory/1.0"
Q_DECLARE_INTERFACE(platform::plugins::IPlugInFactory, USERDEF_PLUGIN_FACTORY_IID)
