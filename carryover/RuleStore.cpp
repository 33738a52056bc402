#include "carryover/RuleStore.h"

#include "carryover/CarryOverLog.h"
#include "carryover/RuleRecord.h"
#include "common/Globals.h"

namespace carryover {

bool SendRuleRecords(int mode, const QString& records, QString* error) {
    if (mode != 1 && mode != 2) return false;
    if (!userdef::g_SrvDB) {
        if (error) *error = QStringLiteral("no server database service");
        return false;
    }
    // The service's document writes attach here.
    qCWarning(lcCarryOver) << "the server database service does not store rule records yet";
    if (error) *error = QStringLiteral("The server database service cannot store carry-over rules.");
    return false;
}

bool DeleteRule(const QString& guid, QString* error) {
    if (!userdef::g_SrvDB) {
        if (error) *error = QStringLiteral("no server database service");
        return false;
    }
    qCWarning(lcCarryOver) << "the server database service does not delete rule records yet" << guid;
    if (error) *error = QStringLiteral("The server database service cannot delete carry-over rules.");
    return false;
}

}  // namespace carryover
