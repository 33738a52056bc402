#pragma once
// Session values shared by every window of the component, from session start to session end.
#include <QString>
#include <QStringList>
#include <memory>

#include "host/IBusiness.h"
#include "host/IClsCommon.h"
#include "host/IColSet.h"
#include "host/IHostFactory.h"
#include "host/ILogin.h"
#include "host/IPub.h"

namespace userdef {

extern host::IHostFactory* g_Factory;  // set by whoever loads the component (desk, tests)
extern std::shared_ptr<host::IBusiness> g_Business;
extern std::shared_ptr<host::IPub> g_Pub;
extern std::shared_ptr<host::ILogin> g_Login;
extern std::shared_ptr<host::IClsCommon> g_SrvDB;
extern std::shared_ptr<host::IColSet> g_ColSet;
extern QString g_ClassCode;  // item id handed in by Show; consumed by the catalogue's refresh

}  // namespace userdef
