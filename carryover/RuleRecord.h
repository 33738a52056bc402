#pragma once
// Rule records: how a change of carry-over rules is handed to the server database service, one
// <AA_ExtendDefineMakeVouch_Set> element per rule, concatenated without a root element.
#include <QString>
#include <optional>

namespace carryover {

// The rule table and the debug copy of the last batch of rule records.
inline const QString kRuleTable = QStringLiteral("AA_ExtendDefineMakeVouch_Set");
inline const QString kRuleDebugFile = QStringLiteral("AA_ExtendDefineMakeVouch_SetXML.xml");

struct RuleRecord {
    QString cMakeVouchID;
    QString cSub_id;
    QString cType;
    QString cextendfield;  // ctargetfield is written equal to it
    QString cTableName;
    QString cTargetTable;
    bool btrans = false;
    std::optional<QString> cdesc;  // not written: the stored description stays
    std::optional<QString> guid;  // written only when set (the rule editor in modify mode)
};

// One rule record; every value escaped for XML.
QString RuleRecordXml(const RuleRecord& rule);

// Writes the debug copy of a batch of rule records (also an empty one) into the component's
// folder; false with the reason in error when it cannot be written.
bool WriteRuleDebugFile(const QString& records, QString* error = nullptr);

}  // namespace carryover
