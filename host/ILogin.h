#pragma once
// The login object of the current user, read only.
#include <QString>

namespace host {

class IConnection;

class ILogin {
public:
    virtual ~ILogin() = default;
    virtual QString ZxDbName() const = 0;        // connection text of the account database
    virtual QString cUserId() const = 0;
    virtual QString cUserName() const = 0;
    virtual QString cAcc_id() const = 0;         // account id; metadata database is ZxMeta_<id>
    virtual IConnection* ZxCurrentDb() const = 0;  // open connection on the account database
    virtual QString ZxMetaName() const = 0;      // connection text of the metadata database
    virtual QString LanguageRegion() const = 0;  // "zh-cn", "zh-tw" or "en-us"
};

}  // namespace host
