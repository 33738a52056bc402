#include "platform/server/Procedures.h"

#include <QXmlStreamReader>

#include "host/Quote.h"
#include "platform/db/Connection.h"
#include "platform/sql/TSqlConnection.h"

namespace platform::server {

namespace {

struct Entry {
    const char* name;
    bool (*procedure)(sql::TSqlConnection&, const QStringList&, QString*);
};

const Entry kProcedures[] = {
    {"AA_CreateDefineRefDesignView", &createDefineRefDesignView},
};

}  // namespace

void registerProcedures(sql::TSqlConnection& connection) {
    for (const Entry& e : kProcedures)
        connection.registerProcedure(QLatin1String(e.name), e.procedure);
}

QStringList procedureNames() {
    QStringList names;
    for (const Entry& e : kProcedures) names << QLatin1String(e.name);
    return names;
}

QString refColSetKey(const QString& refMeta) {
    QXmlStreamReader xml(refMeta);
    QString key;
    bool found = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || found) continue;
        if (xml.name().compare(QLatin1String("RefColSet"), Qt::CaseInsensitive) != 0) continue;
        found = true;
        for (const QXmlStreamAttribute& a : xml.attributes())
            if (a.name().compare(QLatin1String("cKey"), Qt::CaseInsensitive) == 0)
                key = a.value().toString().trimmed();
    }
    return xml.hasError() ? QString() : key;
}

bool createDefineRefDesignView(sql::TSqlConnection& connection, const QStringList&,
                               QString* error) {
    const QString meta = QStringLiteral("ZxMeta_%1").arg(connection.connectionText().account);
    if (connection.connectionText().account.isEmpty() || !connection.reaches(meta)) {
        if (error)
            *error = QStringLiteral(
                         "AA_CreateDefineRefDesignView: the metadata database of account "
                         "%1 is not attached to this connection.")
                         .arg(connection.connectionText().account);
        return false;
    }
    const auto failed = [&] {
        if (error) *error = connection.lastError();
        return false;
    };
    // Read and refill in one transaction, so a reference changed meanwhile is not lost.
    db::Transaction t(connection.database());
    if (!t.ok()) {
        if (error)
            *error = QStringLiteral("AA_CreateDefineRefDesignView: cannot begin a transaction.");
        return false;
    }
    const host::RecordSetPtr refs = connection.open(
        QStringLiteral("SELECT cRefID, cRefName, cParentRefid, cRefMeta FROM %1..refdesign "
                       "WHERE IsUserDefRef = 1 AND ISNULL(cParentRefid, '') <> '' ORDER BY cRefName")
            .arg(meta));
    if (!refs) return failed();
    if (!connection.execute(QStringLiteral("DELETE FROM %1..AA_UserDefRefDesign").arg(meta)))
        return failed();
    QStringList rows;
    const auto text = [](const QVariant& v) {
        return v.isNull() ? QStringLiteral("NULL")
                          : QStringLiteral("N'%1'").arg(host::sqlValue(v.toString()));
    };
    for (int r = 0; r < refs->recordCount(); ++r) {
        const QString key = refColSetKey(refs->at(r, 3).toString());
        if (key.isEmpty()) continue;
        rows << QStringLiteral("(%1, %2, %3, %4)")
                    .arg(text(refs->at(r, 0).toString().trimmed()), text(refs->at(r, 1)),
                         text(refs->at(r, 2)), text(key));
    }
    if (!rows.isEmpty() &&
        !connection.execute(QStringLiteral("INSERT INTO %1..AA_UserDefRefDesign(cRefID, cRefName, "
                                           "cParentRefid, cColSetKey) VALUES %2")
                                .arg(meta, rows.join(QStringLiteral(", ")))))
        return failed();
    return t.commit(error);
}

}  // namespace platform::server
