#include "carryover/RuleStore.h"

#include "carryover/RuleRecord.h"
#include "common/Globals.h"
#include "common/XmlHelpers.h"

namespace carryover {

namespace {

bool noService(QString* error) {
    if (error) *error = QStringLiteral("no server database service");
    return false;
}

}  // namespace

bool SendRuleRecords(int mode, const QString& records, QString* error) {
    if (mode != 1 && mode != 2) return false;
    if (!userdef::g_SrvDB) return noService(error);
    if (const QString unfit = userdef::XmlUnfitMessage(records); !unfit.isEmpty()) {
        if (error) *error = unfit;
        return false;
    }
    return mode == 1 ? userdef::g_SrvDB->Add(records, kRuleTable, error)
                     : userdef::g_SrvDB->Modify(records, kRuleTable, error);
}

bool DeleteRule(const QString& guid, QString* error) {
    if (!userdef::g_SrvDB) return noService(error);
    // The service takes the key value, then the key column, then the table.
    return userdef::g_SrvDB->Delete(guid, QStringLiteral("guid"), kRuleTable, error);
}

}  // namespace carryover
