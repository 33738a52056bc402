#pragma once
// Session values shared by every window of the component, from session start to session end:
// the component's names for the members of the one Session (common/Session.h).
#include <memory>

#include "common/Session.h"

namespace userdef {

extern host::IHostFactory*& g_Factory;  // set by whoever loads the component (desk, tests)
extern std::shared_ptr<host::IBusiness>& g_Business;
extern std::shared_ptr<host::IPub>& g_Pub;
extern std::shared_ptr<host::ILogin>& g_Login;
extern std::shared_ptr<host::IClsCommon>& g_SrvDB;
extern std::shared_ptr<host::IColSet>& g_ColSet;

}  // namespace userdef
