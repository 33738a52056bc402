#pragma once
// The sample plug-in library's root object.
#include <QObject>

#include "platform/plugins/PlugInFactory.h"

namespace sample {

class SampleFactory : public QObject, public platform::plugins::IPlugInFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID USERDEF_PLUGIN_FACTORY_IID)
    Q_INTERFACES(platform::plugins::IPlugInFactory)
public:
    std::shared_ptr<host::IPlugIn> create(const QString& key) override;
};

}  // namespace sample
