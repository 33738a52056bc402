#include "common/Session.h"

namespace userdef {

Session& Session::current() {
    static Session session;
    return session;
}

void Session::reset() {
    plugInManager.reset();
    colSet.reset();
    srvDB.reset();
    pub.reset();
    login.reset();
    business.reset();
    names = {};
}

}  // namespace userdef
