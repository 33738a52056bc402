#pragma once
// Hands rule records to the server database service: mode 1 adds them, mode 2 modifies them.
#include <QString>

namespace carryover {

// True when the service took the records; false with the service's reason in error. Any mode
// but 1 and 2 fails with an empty reason.
bool SendRuleRecords(int mode, const QString& records, QString* error);

// Deletes the rule whose guid is given; false with the service's reason in error.
bool DeleteRule(const QString& guid, QString* error);

}  // namespace carryover
