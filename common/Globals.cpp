#include "common/Globals.h"

namespace userdef {

host::IHostFactory* g_Factory = nullptr;
std::shared_ptr<host::IBusiness> g_Business;
std::shared_ptr<host::IPub> g_Pub;
std::shared_ptr<host::ILogin> g_Login;
std::shared_ptr<host::IClsCommon> g_SrvDB;
std::shared_ptr<host::IColSet> g_ColSet;
QString g_ClassCode;

}  // namespace userdef
