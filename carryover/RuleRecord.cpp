#include "carryover/RuleRecord.h"

#include "carryover/CarryOverLog.h"
#include "common/XmlFile.h"
#include "host/Quote.h"

namespace carryover {

namespace {

void element(QString& out, const char* name, const QString& value) {
    const QString tag = QString::fromLatin1(name);
    out += QLatin1Char('<') + tag + QLatin1Char('>') + host::xmlText(value) +
           QStringLiteral("</") + tag + QLatin1Char('>');
}

}  // namespace

QString RuleRecordXml(const RuleRecord& rule) {
    QString out = QStringLiteral("<AA_ExtendDefineMakeVouch_Set>");
    element(out, "cMakeVouchID", rule.cMakeVouchID);
    element(out, "cSub_id", rule.cSub_id);
    element(out, "cType", rule.cType);
    element(out, "cextendfield", rule.cextendfield);
    element(out, "ctargetfield", rule.cextendfield);
    element(out, "cTableName", rule.cTableName);
    element(out, "cTargetTable", rule.cTargetTable);
    element(out, "btrans", rule.btrans ? QStringLiteral("1") : QStringLiteral("0"));
    if (rule.cdesc) element(out, "cdesc", *rule.cdesc);
    if (rule.guid) element(out, "guid", *rule.guid);
    out += QStringLiteral("</AA_ExtendDefineMakeVouch_Set>");
    return out;
}

bool WriteRuleDebugFile(const QString& records, QString* error) {
    QString reason;
    if (userdef::WriteXmlFile(records, kRuleDebugFile, nullptr, &reason)) return true;
    qCWarning(lcCarryOver) << "the debug copy of the rule records was not written:" << reason;
    if (error) *error = reason;
    return false;
}

}  // namespace carryover
