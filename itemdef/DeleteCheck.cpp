#include "itemdef/DeleteCheck.h"

#include <QRegularExpression>
#include <algorithm>

#include "common/Globals.h"
#include "common/SessionNames.h"
#include "host/Quote.h"
#include "itemdef/ExtendTables.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemdefLog.h"

namespace itemdef {

namespace {

QString identifier(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch() ? name : host::sqlIdent(name);
}

QString res(const QString& key, const QStringList& args = {}) {
    if (!userdef::g_Pub) return key;
    return args.isEmpty() ? userdef::g_Pub->GetResString(key)
                          : userdef::g_Pub->GetResFormatString(key, args);
}

host::RecordSetPtr open(const QString& sql) {
    host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(sql);
    if (!rs) qCWarning(lcItemdef) << "delete check:" << userdef::g_SrvDB->lastError();
    return rs;
}

}  // namespace

QString CompanionExistsSql(const QStringList& tables) {
    QStringList ids;
    for (int i = 0; i < tables.size(); ++i)
        ids << QStringLiteral("OBJECT_ID(N'") +
                   host::sqlValue(tables.at(i) + QStringLiteral("_extradefine")) +
                   QStringLiteral("') as id%1").arg(i);
    return QStringLiteral("select ") + ids.join(QLatin1Char(','));
}

QString ColumnRulesSql(const QString& column) {
    const QString col = host::sqlValue(column);
    return QStringLiteral(
               "select cMakeVouchID,cTableName,cTargetTable from AA_ExtendDefineMakeVouch_Set "
               "where cextendfield='") +
           col + QStringLiteral("' or ctargetfield='") + col +
           QStringLiteral("' order by cMakeVouchID,cTableName,cTargetTable");
}

DeleteImpact ReadDeleteImpact(const QString& cId, const QStringList& tables) {
    DeleteImpact impact;
    const auto fail = [&impact](const QString& table, const QString& why) {
        impact.failed = true;
        impact.failure = res(QStringLiteral("Q9.AA.USERDEF.FrmZAM.DataCheckFailed"), {table, why});
        return impact;
    };
    if (!userdef::g_SrvDB) return fail(cId, QString());
    const host::RecordSetPtr links = open(DeleteCheckTablesSql(cId));
    if (!links) return fail(cId, userdef::g_SrvDB->lastError());
    QString column;
    const userdef::SessionNames shownNames = userdef::SessionNames::read();
    QList<TableData> checked;  // the tables to look into, in the links' order
    for (links->moveFirst(); !links->eof(); links->moveNext()) {
        const QString table = links->text(QStringLiteral("cTableName")).trimmed();
        const QString desc = shownNames.tableLong(table, links->text(QStringLiteral("cTableDesc")));
        column = links->text(QStringLiteral("cDicDbName")).trimmed();
        if (table.isEmpty() || column.isEmpty()) continue;
        if (!tables.isEmpty() && !tables.contains(table, Qt::CaseInsensitive)) continue;
        if (flagValue(links->value(QStringLiteral("bDeleteIgnoreCheck")))) {
            impact.skipped << desc;
            continue;
        }
        checked << TableData{table, desc};
    }
    // A companion that does not exist holds nothing; those that do are read, and one row with a
    // value is enough to ask. Both in one statement each, whatever the number of tables.
    QStringList names;
    for (const TableData& t : std::as_const(checked)) names << t.table;
    if (!names.isEmpty()) {
        const host::RecordSetPtr exists = open(CompanionExistsSql(names));
        if (!exists) return fail(names.join(QLatin1Char(',')), userdef::g_SrvDB->lastError());
        exists->moveFirst();
        QList<TableData> present;
        for (int i = 0; !exists->isEmpty() && i < checked.size(); ++i)
            if (!exists->text(QStringLiteral("id%1").arg(i)).isEmpty()) present << checked.at(i);
        names.clear();
        for (const TableData& t : std::as_const(present)) names << t.table;
        if (!names.isEmpty()) {
            const host::RecordSetPtr data = open(ColumnDataSql(column, names));
            if (!data) return fail(names.join(QLatin1Char(',')), userdef::g_SrvDB->lastError());
            QList<int> holding;
            for (data->moveFirst(); !data->eof(); data->moveNext())
                holding << data->value(QStringLiteral("iTable")).toInt();
            std::sort(holding.begin(), holding.end());
            for (int i : std::as_const(holding))
                if (i >= 0 && i < present.size()) impact.withData.append(present.at(i));
        }
    }
    if (!column.isEmpty() && !impact.withData.isEmpty()) {
        if (const host::RecordSetPtr rules = open(ColumnRulesSql(column))) {
            for (rules->moveFirst(); !rules->eof(); rules->moveNext())
                impact.rules << rules->text(QStringLiteral("cMakeVouchID")) + QStringLiteral(": ") +
                                    rules->text(QStringLiteral("cTableName")) +
                                    QStringLiteral(" → ") +
                                    rules->text(QStringLiteral("cTargetTable"));
        }
    }
    return impact;
}

QString DeleteQuestion(const DeleteImpact& impact) {
    if (impact.withData.isEmpty()) return {};
    QString text = res(QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.ReferHintLeft")) +
                   impact.withData.first().desc +
                   res(QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.ReferHintRight"));
    text += QLatin1Char('\n');
    for (const TableData& t : impact.withData)
        text += QLatin1Char('\n') + res(QStringLiteral("Q9.AA.USERDEF.FrmZAM.DeleteDataLine"), {t.desc});
    if (!impact.rules.isEmpty()) {
        text += QStringLiteral("\n\n") + res(QStringLiteral("Q9.AA.USERDEF.FrmZAM.DeleteRules"));
        for (const QString& rule : impact.rules) text += QLatin1Char('\n') + rule;
    }
    if (!impact.skipped.isEmpty())
        text += QStringLiteral("\n\n") + res(QStringLiteral("Q9.AA.USERDEF.FrmZAM.DeleteSkipped")) +
                QLatin1Char('\n') + impact.skipped.join(QLatin1Char('\n'));
    return text;
}

}  // namespace itemdef
