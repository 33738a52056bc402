#pragma once
// The component's session: the host services and the localised name tables that every window
// shares from session start to session end. There is one per process; `reset()` ends it.
//
// The windows read the values under the component's own names (`g_Pub`, `g_SrvDB`, `g_Login`,
// `g_ColSet`, `g_Business`, `g_YesNo` …, common/Globals.h and common/NameTables.h), which are
// aliases of this object's members.
#include <QString>
#include <QStringList>
#include <memory>

#include "host/IBusiness.h"
#include "host/IClsCommon.h"
#include "host/IColSet.h"
#include "host/IHostFactory.h"
#include "host/ILogin.h"
#include "host/IPlugIn.h"
#include "host/IPub.h"

namespace userdef {

// Localised texts read by fixed position; InitAcc fills them at session start.
struct NameTables {
    QStringList yesNo;       // 0 no, 1 yes
    QStringList dataSource;  // 0, 1
    QStringList classNames;  // 0..12, pairs with classKeys()
    QStringList itemKinds;   // 0 free, 1 user-defined, 2 property, 3 extended
    QStringList dataTypes;   // 0 text, 1 date, 2 integer, 3 number, 4 date and time
};

class Session {
public:
    static Session& current();

    // Set by whoever loads the component (the desk, a test); reset() keeps it.
    host::IHostFactory* factory = nullptr;

    std::shared_ptr<host::IBusiness> business;
    std::shared_ptr<host::IPub> pub;
    std::shared_ptr<host::ILogin> login;
    std::shared_ptr<host::IClsCommon> srvDB;
    std::shared_ptr<host::IColSet> colSet;
    std::shared_ptr<host::IPlugInManager> plugInManager;  // made on the first plug-in request
    NameTables names;

    // Ends the session: drops the services and empties the name tables. The plug-in manager
    // goes first, since it holds the login.
    void reset();

private:
    Session() = default;
};

}  // namespace userdef
