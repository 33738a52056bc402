#include "itemdef/Numbering.h"

#include <QRegularExpression>

#include "common/Globals.h"
#include "host/Quote.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemdefLog.h"

namespace itemdef {

namespace {

const QString kExtendedLabel = QStringLiteral("扩展自定义项");

host::RecordSetPtr open(const QString& sql, QString* error) {
    if (!userdef::g_SrvDB) {
        qCWarning(lcItemdef) << "numbering without a server database service";
        if (error) *error = QStringLiteral("no server database service");
        return nullptr;
    }
    host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(sql);
    if (!rs && error) *error = userdef::g_SrvDB->lastError();
    return rs;
}

// The whole number at the start of a value, as the database's integer conversion reads it;
// nullopt for NULL or a value without one.
std::optional<qlonglong> leadingNumber(const QVariant& value) {
    if (value.isNull() || !value.isValid()) return std::nullopt;
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?\\d+)"));
    const QRegularExpressionMatch m = number.match(host::variantText(value));
    if (!m.hasMatch()) return std::nullopt;
    bool ok = false;
    const qlonglong n = m.captured(1).toLongLong(&ok);
    return ok ? std::optional<qlonglong>(n) : std::nullopt;
}

QString firstText(const host::RecordSetPtr& rs, const QString& field) {
    if (!rs || rs->isEmpty()) return {};
    rs->moveFirst();
    return rs->text(field).trimmed();
}

}  // namespace

IdRange idRange(int classPosition) {
    switch (classPosition) {
        case kHeader: return {1000, 2000, 1001};
        case kBody: return {2000, 3000, 2001};
        case kInventory: return {3000, 4000, 3001};
        case kCustomer: return {5000, 6000, 5001};
        case kContact: return {6000, 7000, 6001};
        default: return {};
    }
}

QString columnPrefix(int classPosition) {
    switch (classPosition) {
        case kHeader: return QStringLiteral("cHDefine");
        case kBody: return QStringLiteral("cBDefine");
        case kInventory: return QStringLiteral("cIDefine");
        case kCustomer: return QStringLiteral("cCDefine");
        case kContact: return QStringLiteral("cLDefine");
        default: return {};
    }
}

QString itemLabelSql(const QString& cClass) {
    return QStringLiteral(" select max( CAST ( REPLACE(citem,'扩展自定义项','')as int)) as max_int "
                          "from userdef where citem like '扩展自定义项%'  and cClass ='") +
           host::sqlValue(cClass) + QStringLiteral("' ");
}

QString itemIdSql(const IdRange& range) {
    return QStringLiteral("select MAX(cid) as maxcid from Userdef where convert(int,cID) between ") +
           QString::number(range.low) + QStringLiteral(" and ") + QString::number(range.high) +
           QStringLiteral(" ");
}

QString columnNameSql(const QString& prefix) {
    const QString quoted = host::sqlValue(prefix);
    return QStringLiteral(" select max( CAST ( REPLACE(cDicDbName,'") + quoted +
           QStringLiteral("','')as int)) as max_int,convert(char,convert(money,MAX(pubzxts)),2) as "
                          "pubzxts from UserDef_base where cDicDbName like '") +
           quoted + QStringLiteral("%' ");
}

QString rowVersionSql() {
    return QStringLiteral("select convert(char,convert(money,MAX(pubzxts)),2) as pubzxts from userdef_base ");
}

std::optional<int> NextItemLabelNumber(const QString& cClass, QString* error) {
    const host::RecordSetPtr rs = open(itemLabelSql(cClass), error);
    if (!rs) return std::nullopt;
    if (rs->isEmpty()) return 1;
    rs->moveFirst();
    const std::optional<qlonglong> max = leadingNumber(rs->value(QStringLiteral("max_int")));
    return max ? int(*max + 1) : 1;
}

QString storedItemLabel(int number) { return kExtendedLabel + QString::number(number); }

QString shownItemLabel(int number) {
    const QString prefix =
        userdef::g_Pub ? userdef::g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.FIELD.extenddefineitem"))
                       : kExtendedLabel;
    return prefix + QString::number(number);
}

bool NextItemId(const QString& cClass, QString* cId, QString* error) {
    if (cId) cId->clear();
    const IdRange range = idRange(classPosition(cClass));
    if (!range.valid()) return true;
    const host::RecordSetPtr rs = open(itemIdSql(range), error);
    if (!rs) return false;
    qlonglong next = range.first;
    if (!rs->isEmpty()) {
        rs->moveFirst();
        const QVariant max = rs->value(QStringLiteral("maxcid"));
        if (!max.isNull()) {
            const std::optional<qlonglong> n = leadingNumber(max);
            if (!n) {
                qCWarning(lcItemdef) << "largest id of range" << range.low << "is no number:" << max;
                next = range.high + 1;  // cannot number safely: treat as used up
            } else {
                next = std::max<qlonglong>(*n + 1, range.first);
            }
        }
    }
    // Beyond the upper bound lies the next class's range (or one no class numbers in, where
    // the id would be handed out again and again): refuse instead.
    if (next > range.high) {
        if (error)
            *error = userdef::g_Pub ? userdef::g_Pub->GetResString(QStringLiteral("Q9.AA.USERDEF.idrangefull"))
                                    : QStringLiteral("Q9.AA.USERDEF.idrangefull");
        return false;
    }
    if (cId) *cId = QString::number(next);
    return true;
}

bool NextColumnName(const QString& cClass, QString* name, QString* pubzxts, QString* error) {
    const QString prefix = columnPrefix(classPosition(cClass)).trimmed();
    const host::RecordSetPtr rs = open(columnNameSql(prefix), error);
    if (!rs) return false;
    std::optional<qlonglong> max;
    if (!rs->isEmpty()) {
        rs->moveFirst();
        max = leadingNumber(rs->value(QStringLiteral("max_int")));
    }
    QString version;
    if (max) {
        version = firstText(rs, QStringLiteral("pubzxts"));
    } else {
        const host::RecordSetPtr all = open(rowVersionSql(), error);
        if (!all) return false;
        version = firstText(all, QStringLiteral("pubzxts"));
    }
    if (name) *name = prefix + QString::number(max ? *max + 1 : 1);
    if (pubzxts) *pubzxts = version;
    return true;
}

}  // namespace itemdef
