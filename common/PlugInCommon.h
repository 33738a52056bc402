#pragma once
// The bridge to the host's plug-ins: one session-wide plug-in manager.
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

// Drops the plug-in manager; it holds the session's login, so the session end that releases
// the login releases it too.
void ReleasePlugInManager();

}  // namespace userdef
