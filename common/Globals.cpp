#include "common/Globals.h"

namespace userdef {

host::IHostFactory*& g_Factory = Session::current().factory;
std::shared_ptr<host::IBusiness>& g_Business = Session::current().business;
std::shared_ptr<host::IPub>& g_Pub = Session::current().pub;
std::shared_ptr<host::ILogin>& g_Login = Session::current().login;
std::shared_ptr<host::IClsCommon>& g_SrvDB = Session::current().srvDB;
std::shared_ptr<host::IColSet>& g_ColSet = Session::current().colSet;

}  // namespace userdef
