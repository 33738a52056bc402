#pragma once
// Creates the host's services for the component (what COM creation by name did).
// Any of them may come back null when the host cannot provide it.
#include <memory>

namespace host {

class IPub;
class IClsCommon;
class IColSet;
class IFilterSvr;
class IPackages;
class IPlugInManager;
class IWindowHost;

class IHostFactory {
public:
    virtual ~IHostFactory() = default;
    virtual std::shared_ptr<IPub> createPub() = 0;
    virtual std::shared_ptr<IClsCommon> createSrvDB() = 0;
    virtual std::shared_ptr<IColSet> createColSet() = 0;
    virtual std::shared_ptr<IPlugInManager> createPlugInManager() = 0;
    // The filter dialog; a host without one answers null.
    virtual std::shared_ptr<IFilterSvr> createFilter() { return nullptr; }
    // The package writer; a host without one answers null.
    virtual std::shared_ptr<IPackages> createPackages() { return nullptr; }
    virtual IWindowHost* windowHost() = 0;
};

}  // namespace host
