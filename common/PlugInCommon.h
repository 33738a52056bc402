#pragma once
// The bridge to the host's plug-ins: one plug-in manager per session (Session::plugInManager).
#include <QString>
#include <memory>

#include "host/IPlugIn.h"

namespace host {
class ILogin;
}

namespace userdef {

// Asks the plug-in manager (created and initialised on first use) for the plug-ins of key and
// stores the answer in plugIns. True when it holds one or more plug-ins; when the host has
// plug-ins registered but not installed and wants them announced, says so once per plug-in.
bool LoadPlugIns(const QString& key, host::ILogin* login,
                 std::shared_ptr<host::PlugInCollection>& plugIns);

}  // namespace userdef
