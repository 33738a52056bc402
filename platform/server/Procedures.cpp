#include "platform/server/Procedures.h"

#include <QXmlStreamReader>

#include "host/Quote.h"
#include "platform/db/Collation.h"
#include "platform/db/Database.h"
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

// The schema of the metadata database on this connection: the attached ZxMeta_<account>, or
// the connection's own database when it is the metadata database.
QString metaSchema(sql::TSqlConnection& connection) {
    const sql::ConnectionText& text = connection.connectionText();
    const QString wanted = QStringLiteral("ZxMeta_%1").arg(text.account);
    for (const QString& schema : connection.database().schemas())
        if (schema.compare(wanted, Qt::CaseInsensitive) == 0) return schema;
    if (text.catalog.startsWith(QStringLiteral("ZxMeta_"), Qt::CaseInsensitive))
        return QStringLiteral("main");
    return {};
}

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
    const QString schema = metaSchema(connection);
    if (schema.isEmpty()) {
        if (error)
            *error = QStringLiteral(
                         "AA_CreateDefineRefDesignView: the metadata database of account "
                         "%1 is not attached to this connection.")
                         .arg(connection.connectionText().account);
        return false;
    }
    db::Database& db = connection.database();
    const QString s = host::sqlIdent(schema);
    // Read and refill in one transaction, so a reference changed meanwhile is not lost.
    db::Transaction t(db);
    if (!t.ok()) {
        if (error)
            *error = QStringLiteral("AA_CreateDefineRefDesignView: cannot begin a transaction.");
        return false;
    }
    const host::RecordSetPtr refs =
        db.query(QStringLiteral(
                     "SELECT cRefID, cRefName, cParentRefid, cRefMeta FROM %1.refdesign "
                     "WHERE IsUserDefRef = 1 AND IFNULL(cParentRefid, '') <> '' ORDER BY cRefName "
                     "COLLATE %2")
                     .arg(s, QString::fromLatin1(db::kTextOrder)),
                 {}, error);
    if (!refs) return false;
    if (!db.exec(QStringLiteral("DELETE FROM %1.AA_UserDefRefDesign").arg(s), error)) return false;
    const QString insert = QStringLiteral(
                               "INSERT INTO %1.AA_UserDefRefDesign(cRefID, cRefName, cParentRefid, "
                               "cColSetKey) VALUES (?, ?, ?, ?)")
                               .arg(s);
    for (int r = 0; r < refs->recordCount(); ++r) {
        const QString key = refColSetKey(refs->at(r, 3).toString());
        if (key.isEmpty()) continue;
        if (!db.execParams(
                insert, {refs->at(r, 0).toString().trimmed(), refs->at(r, 1), refs->at(r, 2), key},
                error))
            return false;
    }
    return t.commit(error);
}

}  // namespace platform::server
