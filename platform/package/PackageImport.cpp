#include "platform/package/PackageImport.h"

#include <QHash>
#include <QRegularExpression>

#include "host/Quote.h"
#include "host/RecordSet.h"
#include "platform/db/Connection.h"
#include "platform/package/PackageAccount.h"
#include "platform/server/DocumentWriter.h"
#include "platform/server/ItemDocument.h"

namespace platform::package {

namespace {

const QString kRules = QStringLiteral("AA_ExtendDefineMakeVouch_Set");

QString element(const QString& name, const QString& value) {
    return QLatin1Char('<') + name + QLatin1Char('>') + host::xmlText(value) + QStringLiteral("</") +
           name + QLatin1Char('>');
}

QString links(const char* section, const QString& id, const QStringList& tables) {
    if (tables.isEmpty()) return {};
    QString out = QStringLiteral("<%1>").arg(QLatin1String(section));
    for (const QString& t : tables)
        out += QStringLiteral("<UserDefDetail>") + element(QStringLiteral("cId"), id) +
               element(QStringLiteral("Tablename"), t) + QStringLiteral("</UserDefDetail>");
    return out + QStringLiteral("</%1>").arg(QLatin1String(section));
}

class Importer {
public:
    Importer(db::Connection& db, server::DocumentWriter& writer, const ImportOptions& options,
             ImportResult* result)
        : m_db(db), m_writer(writer), m_options(options), m_result(result) {}

    bool run(const Package& package) {
        const PackageComparison& c = m_result->comparison;
        if (m_options.removeMissing && !removeFirst(c)) return false;
        QList<const ItemDiff*> deferred;
        for (const ItemDiff& d : c.items) {
            if (d.kind == Change::OnlyInAccount) continue;
            bool defer = false;
            if (!writeItem(package, d, &defer)) return false;
            if (defer) deferred << &d;
        }
        for (const ItemDiff* d : deferred) {
            QString parent;
            if (!resolveParent(package, *d, &parent)) return false;
            const QString xml = QStringLiteral("<Userdef>") + element(QStringLiteral("cId"), idOf(*d)) +
                                element(QStringLiteral("cParentID"), parent) + QStringLiteral("</Userdef>");
            if (!apply(d->title(), m_writer.modify(xml, QStringLiteral("Userdef"), &m_why))) return false;
        }
        for (const RuleDiff& r : c.rules) {
            if (r.kind == Change::OnlyInAccount) continue;
            QString xml = QStringLiteral("<%1>").arg(kRules);
            for (const QString& f : ruleFields()) xml += element(f, r.rule.value(f));
            if (r.kind == Change::Changed) xml += element(QStringLiteral("guid"), r.guid);
            xml += QStringLiteral("</%1>").arg(kRules);
            const bool ok = r.kind == Change::New ? m_writer.add(xml, kRules, &m_why)
                                                  : m_writer.modify(xml, kRules, &m_why);
            if (!apply(QStringLiteral("Rule ") + ruleTitle(r.rule), ok)) return false;
        }
        return true;
    }

    QString error() const { return m_error; }

private:
    bool apply(const QString& what, bool ok) {
        if (ok) {
            ++m_result->documents;
            return true;
        }
        m_error = QStringLiteral("%1: %2").arg(what, m_why);
        return false;
    }

    bool fail(const QString& what, const QString& why) {
        m_error = QStringLiteral("%1: %2").arg(what, why);
        return false;
    }

    QString idOf(const ItemDiff& d) const { return m_ids.value(d.title().toLower(), d.accountId); }

    host::RecordSetPtr query(const QString& sql, const QVariantList& params) {
        host::RecordSetPtr rs = m_db.query(sql, params, &m_why);
        if (!rs) m_error = m_why;
        return rs;
    }

    bool removeFirst(const PackageComparison& c) {
        for (const RuleDiff& r : c.rules)
            if (r.kind == Change::OnlyInAccount &&
                !apply(QStringLiteral("Rule ") + ruleTitle(r.rule),
                       m_writer.remove(host::sqlValue(r.guid), QStringLiteral("guid"), kRules, &m_why)))
                return false;
        for (const ItemDiff& d : c.items) {
            if (d.kind == Change::OnlyInAccount) {
                if (!server::isExtendColumn(d.column) &&
                    !d.label.startsWith(QStringLiteral("扩展自定义项"))) {
                    m_result->notes << QStringLiteral("%1 stays: only extended items are removed.").arg(d.title());
                    continue;
                }
                if (!apply(d.title(), m_writer.remove(host::sqlValue(d.accountId), QStringLiteral("cid"),
                                                      QStringLiteral("Userdef"), &m_why)))
                    return false;
                continue;
            }
            for (const ValueDiff& v : d.values)
                if (v.kind == Change::OnlyInAccount &&
                    !apply(QStringLiteral("%1, value \"%2\"").arg(d.title(), v.value),
                           m_writer.remove(host::sqlValue(d.accountId) + QStringLiteral("' and cValue='") +
                                               host::sqlValue(v.value),
                                           QStringLiteral("cId"), QStringLiteral("Userdefine"), &m_why)))
                    return false;
        }
        return true;
    }

    // The account's number of the parent the package names; empty for none. defer when the
    // parent is an item of the package the account does not have yet.
    bool resolveParent(const Package& package, const ItemDiff& d, QString* id, bool* defer = nullptr) {
        const QString label = d.item->fields.value(QStringLiteral("cParent"));
        id->clear();
        if (label.isEmpty()) return true;
        const host::RecordSetPtr rs = query(
            QStringLiteral("SELECT \"cId\" FROM \"UserDef_Base\" WHERE \"cClass\" = ? AND \"cItem\" = ?"), {d.cClass, label});
        if (!rs) return false;
        if (!rs->isEmpty()) {
            *id = rs->textAt(0, 0);
            return true;
        }
        if (defer && package.find(d.cClass, label)) {
            *defer = true;
            return true;
        }
        return fail(d.title(), QStringLiteral("the parent \"%1\" is neither in the account nor in the package.").arg(label));
    }

    // The package's number when it is one and free, else the next free one after the class's
    // largest.
    bool numberFor(const ItemDiff& d, QString* id) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
        const QString wish = d.item->fields.value(QStringLiteral("cId")).trimmed();
        const host::RecordSetPtr taken =
            query(QStringLiteral("SELECT 1 FROM \"UserDef_Base\" WHERE \"cId\" = ?"), {wish});
        if (!taken) return false;
        if (digits.match(wish).hasMatch() && taken->isEmpty()) {
            *id = wish;
            return true;
        }
        const host::RecordSetPtr top = query(
            QStringLiteral("SELECT COALESCE((SELECT MAX(CAST(\"cId\" AS INTEGER)) FROM \"UserDef_Base\" WHERE "
                           "\"cClass\" = ?), (SELECT MAX(CAST(\"cId\" AS INTEGER)) FROM \"UserDef_Base\"), 0)"),
            {d.cClass});
        if (!top) return false;
        qlonglong next = top->at(0, 0).toLongLong() + 1;
        for (;; ++next) {
            const host::RecordSetPtr used =
                query(QStringLiteral("SELECT 1 FROM \"UserDef_Base\" WHERE \"cId\" = ?"), {QString::number(next)});
            if (!used) return false;
            if (used->isEmpty()) break;
        }
        *id = QString::number(next);
        m_result->notes << QStringLiteral("%1: the number \"%2\" is taken or no number; the item "
                                          "gets %3.")
                               .arg(d.title(), wish, *id);
        return true;
    }

    // The windows' row size: each table the item's column goes to must stay within the limit.
    bool checkRowSize(const ItemDiff& d) {
        const int width = itemBytes(d.item->fields.value(QStringLiteral("cType")),
                                    d.item->fields.value(QStringLiteral("IMaxLen")).toInt());
        for (const QString& table : d.tablesAdded) {
            const int total = rowBytes(m_db, table) + width;
            if (total > kRowSizeLimit)
                return fail(d.title(), QStringLiteral("a row of %1 would take %2 bytes with the "
                                                      "column %3, over the limit of %4.")
                                           .arg(table)
                                           .arg(total)
                                           .arg(d.column)
                                           .arg(kRowSizeLimit));
        }
        return true;
    }

    bool writeItem(const Package& package, const ItemDiff& d, bool* defer) {
        const bool adding = d.kind == Change::New;
        QString id = d.accountId;
        if (adding && !numberFor(d, &id)) return false;
        m_ids.insert(d.title().toLower(), id);
        const bool fieldsChanged = adding || !d.fields.isEmpty() || !d.tablesAdded.isEmpty() ||
                                   (m_options.removeMissing && !d.tablesDropped.isEmpty());
        if (!d.tablesAdded.isEmpty() && !checkRowSize(d)) return false;
        if (fieldsChanged) {
            QString parent;
            if (!resolveParent(package, d, &parent, defer)) return false;
            const QString root = adding ? QStringLiteral("Userdef_base") : QStringLiteral("Userdef");
            QString xml = QLatin1Char('<') + root + QLatin1Char('>') + element(QStringLiteral("cId"), id);
            for (const QString& f : itemFields()) {
                if (f == QLatin1String("cId")) continue;
                if (f == QLatin1String("cParent")) {
                    if (!*defer) xml += element(QStringLiteral("cParentID"), parent);
                    continue;
                }
                xml += element(f, d.item->fields.value(f));
            }
            xml += links("AddUserDefDetail", id, d.tablesAdded);
            if (m_options.removeMissing) {
                QStringList dropped;
                for (const TableDrop& t : d.tablesDropped) dropped << t.table;
                xml += links("DeleteUserDefDetail", id, dropped);
            }
            xml += QStringLiteral("</") + root + QLatin1Char('>');
            const bool ok = adding ? m_writer.add(xml, root, &m_why) : m_writer.modify(xml, root, &m_why);
            if (!apply(d.title(), ok)) return false;
        }
        for (const ValueDiff& v : d.values) {
            if (v.kind == Change::OnlyInAccount) continue;
            const Record* value = nullptr;
            for (const Record& r : d.item->values)
                if (r.value(QStringLiteral("cValue")).compare(v.value, Qt::CaseInsensitive) == 0) value = &r;
            if (!value) continue;
            QString xml = QStringLiteral("<Userdefine>") + element(QStringLiteral("cId"), id);
            if (v.kind == Change::Changed) xml += element(QStringLiteral("sValue"), v.value);
            for (const QString& f : valueFields()) xml += element(f, value->value(f));
            xml += QStringLiteral("</Userdefine>");
            const bool ok = v.kind == Change::New ? m_writer.add(xml, QStringLiteral("Userdefine"), &m_why)
                                                  : m_writer.modify(xml, QStringLiteral("Userdefine"), &m_why);
            if (!apply(QStringLiteral("%1, value \"%2\"").arg(d.title(), v.value), ok)) return false;
        }
        return true;
    }

    db::Connection& m_db;
    server::DocumentWriter& m_writer;
    const ImportOptions& m_options;
    ImportResult* m_result;
    QHash<QString, QString> m_ids;  // lower-cased title → the account's number
    QString m_why, m_error;
};

}  // namespace

bool importPackage(db::Connection& db, server::DocumentWriter& writer, const Package& package,
                   const ImportOptions& options, ImportResult* result, QString* error) {
    *result = {};
    const auto refuse = [error](const QString& why) {
        if (error) *error = why + QStringLiteral("\nNothing was imported; the account is unchanged.");
        return false;
    };
    QString why;
    db::Transaction transaction(db, &why);
    if (!transaction.ok()) return refuse(why);
    if (!comparePackage(db, package, &result->comparison, &why)) return refuse(why);
    Importer importer(db, writer, options, result);
    if (!importer.run(package)) return refuse(importer.error());
    if (options.dryRun) return true;  // rolled back as the transaction ends
    if (!transaction.commit(&why)) return refuse(why);
    return true;
}

}  // namespace platform::package
