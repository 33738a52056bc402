#include "archive/ValueUsage.h"

#include <QStringList>

#include "archive/ArchiveLog.h"
#include "common/Globals.h"
#include "host/IClsCommon.h"
#include "host/Quote.h"
#include "itemdef/InUseProbe.h"
#include "itemdef/ItemRecord.h"

namespace archive {

namespace {

host::RecordSetPtr open(host::IClsCommon* srv, const QString& sql) {
    host::RecordSetPtr rs = srv->OpenX(sql);
    if (!rs) qCWarning(lcArchive) << "value usage:" << srv->lastError();
    return rs;
}

int count(host::IClsCommon* srv, const QString& table, const QString& column,
          const QString& value) {
    const host::RecordSetPtr rs = open(srv, ValueCountSql(table, column, value));
    if (!rs || rs->isEmpty()) return 0;
    rs->moveFirst();
    return rs->text(QStringLiteral("n")).toInt();
}

}  // namespace

int ValueUsage::total() const {
    int sum = 0;
    for (const ValueUse& t : tables) sum += t.rows;
    return sum;
}

QString ValueCountSql(const QString& table, const QString& column, const QString& value) {
    return QStringLiteral("select count(*) as n from ") + host::sqlIdent(table) +
           QStringLiteral(" where ") + host::sqlIdent(column) + QStringLiteral("=N'") +
           host::sqlValue(value) + QLatin1Char('\'');
}

ValueUsage ReadValueUsage(host::IClsCommon* srv, const QString& itemId, const QString& value) {
    ValueUsage usage;
    if (!srv || value.isEmpty()) return usage;
    const host::RecordSetPtr item =
        open(srv, QStringLiteral("select cClass,cItem,cDicDbName from UserDef_Base where cId='") +
                      host::sqlValue(itemId) + QLatin1Char('\''));
    if (!item || item->isEmpty()) return usage;
    item->moveFirst();
    const QString dicDbName = item->text(QStringLiteral("cDicDbName")).trimmed();
    const auto add = [&](const QString& table, const QString& column) {
        if (const int rows = count(srv, table, column, value); rows > 0)
            usage.tables.append({table, rows});
    };
    if (itemdef::isExtendedItem(dicDbName)) {
        const host::RecordSetPtr links =
            open(srv, QStringLiteral("select TableName from UserDefDetail where cid='") +
                          host::sqlValue(itemId) + QStringLiteral("' order by TableName"));
        if (!links) return usage;
        for (links->moveFirst(); !links->eof(); links->moveNext()) {
            const QString table = links->text(QStringLiteral("TableName")).trimmed();
            if (!table.isEmpty()) add(table + QStringLiteral("_extradefine"), dicDbName);
        }
    } else {
        const itemdef::ArchiveColumn at = itemdef::valueColumn(
            item->text(QStringLiteral("cClass")), item->text(QStringLiteral("cItem")));
        if (!at.table.isEmpty()) add(at.table, at.column);
    }
    return usage;
}

QString UsageQuestion(const QString& value, const ValueUsage& usage) {
    if (usage.tables.isEmpty()) return {};
    QStringList lines;
    for (const ValueUse& t : usage.tables)
        lines << t.table + QStringLiteral(": ") + QString::number(t.rows);
    const QStringList args = {value, QString::number(usage.total()),
                              lines.join(QLatin1Char('\n'))};
    return userdef::g_Pub ? userdef::g_Pub->GetResFormatString(
                                QStringLiteral("Q9.AA.ARCHIVE.FRMZARCHIVE.valueinuse"), args)
                          : args.join(QLatin1Char(' '));
}

bool ConfirmValueUse(const QString& itemId, const QString& value) {
    const QString question =
        UsageQuestion(value, ReadValueUsage(userdef::g_SrvDB.get(), itemId, value));
    if (question.isEmpty()) return true;
    if (!userdef::g_Pub) return false;
    return userdef::g_Pub->MsgBox(
               question, host::MsgButtons::YesNoQuestion,
               userdef::g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation"))) ==
           host::MsgAnswer::Yes;
}

}  // namespace archive
