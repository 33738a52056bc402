#include "catalogue/RelatedArchiveNames.h"

#include <QDomDocument>
#include <QLoggingCategory>
#include <QSet>

#include "catalogue/CatalogueLog.h"
#include "catalogue/ItemListing.h"
#include "common/Globals.h"
#include "host/IClsCommon.h"
#include "host/Quote.h"
#include "host/RecordSet.h"

namespace catalogue {

namespace {

// "'a','b'", each text quoted.
QString textList(const QStringList& texts) {
    QStringList quoted;
    for (const QString& t : texts) quoted << QLatin1Char('\'') + host::sqlValue(t) + QLatin1Char('\'');
    return quoted.join(QLatin1Char(','));
}

QString folded(const QString& a, const QString& b = {}) {
    return a.toLower() + QLatin1Char('\n') + b.toLower();
}

// The reference's column dictionary key, from the first column set of its definition.
QString columnKeyOf(const QString& refMeta) {
    QDomDocument doc;
    const QDomNodeList sets = doc.setContent(refMeta)
                                  ? doc.elementsByTagName(QStringLiteral("RefColSet"))
                                  : QDomNodeList();
    return sets.isEmpty() ? QString()
                          : sets.at(0).toElement().attribute(QStringLiteral("cKey"));
}

// The statements that find the shown names of related archives and fields, in the order they
// are tried: report archives of the account, user-defined references in the account's metadata
// database, the captions of the references' columns; each for many at once.
QString reportsSql(const QStringList& archives, const QStringList& fields) {
    return QStringLiteral("select Rpt_GRPDef_Item.TableName,TableDefine,FieldName,FieldDef from "
                          "Rpt_GRPDef_Item Left Join Rpt_ItmDef On "
                          "Rpt_GRPDef_Item.TableName=Rpt_ItmDef.TableName where "
                          "Rpt_GRPDef_Item.SystemId='AS' and Rpt_GRPDef_Item.TableName in (") +
           textList(archives) + QStringLiteral(") and Rpt_ItmDef.FieldName in (") +
           textList(fields) + QStringLiteral(")");
}

QString referencesSql(const QString& accountId, const QStringList& archives) {
    const QString meta = host::sqlIdent(QStringLiteral("ZxMeta_") + accountId);
    return QStringLiteral("Select A.cRefID, A.cRefMeta,a.cRefName From ") + meta +
           QStringLiteral("..refdesign A Where '[' + a.cRefID + ']' in (") + textList(archives) +
           QStringLiteral(") and  A.IsUserDefRef=1 and isnull(a.cParentRefid,'')<>''  Order by "
                          "a.cRefName");
}

QString captionsSql(const QString& accountId, const QStringList& keys, const QStringList& fields) {
    const QString meta = host::sqlIdent(QStringLiteral("ZxMeta_") + accountId);
    return QStringLiteral("select cKey,cFld,cCaption from ") + meta +
           QStringLiteral("..AA_ColumnDic where cKey in (") + textList(keys) +
           QStringLiteral(") and cFld in (") + textList(fields) + QStringLiteral(")");
}

}  // namespace

QPair<QString, QString> RelatedArchiveNames::resolve(const QString& archive, const QString& field) {
    const QPair<QString, QString> key(archive, field);
    if (!m_cache.contains(key)) {
        prefetch({key});
        // No archive, or no service: the stored texts show, and are not asked for again.
        if (!m_cache.contains(key)) m_cache.insert(key, key);
    }
    return m_cache.value(key);
}

void RelatedArchiveNames::prefetch(const QList<QPair<QString, QString>>& pairs) {
    QList<QPair<QString, QString>> wanted;
    QSet<QPair<QString, QString>> seen;
    QStringList archives, fields;
    for (const auto& pair : pairs) {
        if (pair.first.isEmpty() || m_cache.contains(pair) || seen.contains(pair)) continue;
        seen.insert(pair);
        wanted << pair;
        if (!archives.contains(pair.first)) archives << pair.first;
        if (!fields.contains(pair.second)) fields << pair.second;
    }
    if (wanted.isEmpty()) return;
    if (!userdef::g_SrvDB) {
        qCWarning(lcCatalogue) << "related archives without a server database service";
        return;
    }
    host::IClsCommon& srv = *userdef::g_SrvDB;
    if (!m_session) m_session = userdef::SessionNames::read();

    // Report archives: the first row of each (archive, field). A read that fails finds nothing:
    // the names then show as stored.
    ++m_statements;
    const host::RecordSetPtr reports = srv.OpenX(reportsSql(archives, fields));
    QHash<QString, QPair<QString, QString>> report;  // folded (archive, field) → its two names
    for (int r = 0; reports && r < reports->recordCount(); ++r) {
        const QString key = folded(reports->textAt(r, 0), reports->textAt(r, 2));
        if (!report.contains(key)) report.insert(key, {reports->textAt(r, 1), reports->textAt(r, 3)});
    }
    QList<QPair<QString, QString>> others;
    QStringList otherArchives;
    for (const auto& pair : wanted) {
        const auto found = report.constFind(folded(pair.first, pair.second));
        if (found == report.constEnd()) {
            others << pair;
            if (!otherArchives.contains(pair.first)) otherArchives << pair.first;
            continue;
        }
        m_cache.insert(pair, {m_session->archive(pair.first, found->first),
                              m_session->archiveField(pair.first, pair.second, found->second)});
    }
    if (others.isEmpty()) return;

    // User-defined references: the first by name of each archive.
    ++m_statements;
    const host::RecordSetPtr refs = srv.OpenX(referencesSql(m_accountId, otherArchives));
    QHash<QString, QPair<QString, QString>> reference;  // folded "[id]" → name, column key
    for (int r = 0; refs && r < refs->recordCount(); ++r) {
        const QString archive = QLatin1Char('[') + refs->textAt(r, 0) + QLatin1Char(']');
        if (!reference.contains(folded(archive)))
            reference.insert(folded(archive), {refs->textAt(r, 2), columnKeyOf(refs->textAt(r, 1))});
    }
    struct Caption {
        QPair<QString, QString> pair;
        QPair<QString, QString> shown;
        QString key;
    };
    QList<Caption> captions;
    QStringList keys, captionFields;
    for (const auto& pair : others) {
        const auto found = reference.constFind(folded(pair.first));
        QPair<QString, QString> shown = pair;
        if (found == reference.constEnd()) {
            m_cache.insert(pair, shown);
            continue;
        }
        shown.first = m_session->archive(pair.first, found->first);
        if (found->second.isEmpty()) {
            qCWarning(lcCatalogue) << "reference" << pair.first << "has no column set";
            m_cache.insert(pair, shown);
            continue;
        }
        captions.append({pair, shown, found->second});
        if (!keys.contains(found->second)) keys << found->second;
        if (!captionFields.contains(pair.second)) captionFields << pair.second;
    }
    if (captions.isEmpty()) return;

    // The captions of the references' columns: the first of each (key, field).
    ++m_statements;
    const host::RecordSetPtr rs = srv.OpenX(captionsSql(m_accountId, keys, captionFields));
    QHash<QString, QString> caption;
    for (int r = 0; rs && r < rs->recordCount(); ++r)
        if (!caption.contains(folded(rs->textAt(r, 0), rs->textAt(r, 1))))
            caption.insert(folded(rs->textAt(r, 0), rs->textAt(r, 1)), rs->textAt(r, 2));
    for (Caption& c : captions) {
        const QString text = caption.value(folded(c.key, c.pair.second));
        if (!text.isEmpty()) c.shown.second = m_session->referenceColumn(c.key, c.pair.second, text);
        m_cache.insert(c.pair, c.shown);
    }
}

}  // namespace catalogue
