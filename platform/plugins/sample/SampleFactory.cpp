#include "platform/plugins/sample/SampleFactory.h"

#include "platform/plugins/sample/SamplePlugIn.h"

namespace sample {

std::shared_ptr<host::IPlugIn> SampleFactory::create(const QString& key) {
    if (key.compare(QLatin1String("UserDef"), Qt::CaseInsensitive) == 0 ||
        key.compare(QLatin1String("UserDefValue"), Qt::CaseInsensitive) == 0)
        return std::make_shared<SamplePlugIn>();
    return nullptr;
}

}  // namespace sample
