#pragma once
// The host's filter component: shows the filter dialog of a filter name through the window host
// and answers the condition the user put together.
#include "host/IFilterSvr.h"

namespace host {
class IWindowHost;
}

namespace platform::filter {

class FilterSvr : public host::IFilterSvr {
public:
    explicit FilterSvr(host::IWindowHost* windowHost);

    bool ShowFilter(host::ILogin* login, const QString& filterName, const QString& title,
                    const QString& moduleKey, QString& condition) override;

private:
    host::IWindowHost* m_windowHost;
};

}  // namespace platform::filter
