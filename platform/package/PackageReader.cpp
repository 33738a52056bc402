#include "platform/package/PackageReader.h"

#include <QFile>
#include <QSet>
#include <QXmlStreamReader>

namespace platform::package {

namespace {

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_xml(bytes) {}

    bool run(Package* out, QString* error) {
        *out = {};
        if (!readRoot(out) || !readBody(out)) {
            if (error) *error = m_error;
            return false;
        }
        out->sort();
        return true;
    }

private:
    bool fail(const QString& why) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The package is refused (line %1): %2").arg(m_xml.lineNumber()).arg(why);
        return false;
    }

    // The next start or end element; false at the end of the file or a parse error.
    bool next() {
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType t = m_xml.readNext();
            if (t == QXmlStreamReader::StartElement || t == QXmlStreamReader::EndElement) return true;
            if (t == QXmlStreamReader::Characters && !m_xml.isWhitespace())
                return fail(QStringLiteral("text outside of any field."));
            // Entities declared by the file could stand for anything; a package declares none.
            if (t == QXmlStreamReader::DTD)
                return fail(QStringLiteral("a package holds no document type declaration."));
        }
        if (m_xml.hasError())
            return fail(QStringLiteral("the file is not well-formed XML (%1); it may be cut "
                                       "short or damaged.")
                            .arg(m_xml.errorString()));
        return fail(QStringLiteral("the file ends too early."));
    }

    bool readRoot(Package* out) {
        if (!next()) return false;
        if (m_xml.name() != QLatin1String("UserdefPackage"))
            return fail(QStringLiteral("this is not a definition package (<UserdefPackage>)."));
        bool ok = false;
        const QString format = m_xml.attributes().value(QLatin1String("format")).toString();
        out->format = format.toInt(&ok);
        if (!ok || out->format < 1)
            return fail(QStringLiteral("the package names no format version."));
        if (out->format > kFormatVersion)
            return fail(QStringLiteral("the package was written in format %1, and this program "
                                       "reads format %2 and older. Import it with a newer "
                                       "version of the program.")
                            .arg(out->format)
                            .arg(kFormatVersion));
        const QString scope = m_xml.attributes().value(QLatin1String("scope")).toString();
        if (scope == QLatin1String("all")) out->scope.kind = PackageScope::All;
        else if (scope == QLatin1String("classes")) out->scope.kind = PackageScope::Classes;
        else if (scope == QLatin1String("items")) out->scope.kind = PackageScope::Items;
        else return fail(QStringLiteral("the scope \"%1\" is not all, classes or items.").arg(scope));
        return true;
    }

    // The element's attributes as a record of the known fields; false at an unknown one.
    bool record(const QStringList& fields, Record* out) {
        for (const QXmlStreamAttribute& a : m_xml.attributes()) {
            const QString name = a.name().toString();
            if (!fields.contains(name))
                return fail(QStringLiteral("<%1> has an unknown field %2.").arg(m_xml.name().toString(), name));
            out->insert(name, a.value().toString());
        }
        for (const QString& f : fields)
            if (isFlagField(f) && !out->value(f).isEmpty() && out->value(f) != QLatin1String("0") &&
                out->value(f) != QLatin1String("1"))
                return fail(QStringLiteral("the flag %1 is \"%2\", not 0 or 1.").arg(f, out->value(f)));
        return true;
    }

    // The end of an element that holds nothing.
    bool close() {
        if (!next()) return false;
        if (!m_xml.isEndElement())
            return fail(QStringLiteral("<%1> may hold nothing here.").arg(m_xml.name().toString()));
        return true;
    }

    bool readBody(Package* out) {
        QSet<QString> items, rules;
        bool itemsSeen = false;
        for (;;) {
            if (!next()) return false;
            if (m_xml.isEndElement()) break;  // </UserdefPackage>
            const QString name = m_xml.name().toString();
            if (name == QLatin1String("Class") && !itemsSeen) {
                Record r;
                if (!record({QStringLiteral("name")}, &r) || !close()) return false;
                out->scope.classes << r.value(QStringLiteral("name"));
            } else if (name == QLatin1String("Item")) {
                itemsSeen = true;
                PackageItem item;
                if (!record(itemFields(), &item.fields)) return false;
                if (item.cClass().trimmed().isEmpty() || item.label().trimmed().isEmpty())
                    return fail(QStringLiteral("an item without class (cClass) or label (cItem)."));
                const QString key = (item.cClass() + u'\t' + item.label()).toLower();
                if (items.contains(key))
                    return fail(QStringLiteral("the item %1 appears twice.").arg(item.title()));
                items.insert(key);
                if (!readItemBody(&item)) return false;
                out->items << item;
            } else if (name == QLatin1String("Rule")) {
                itemsSeen = true;
                Record rule;
                if (!record(ruleFields(), &rule) || !close()) return false;
                if (rule.value(QStringLiteral("cextendfield")).trimmed().isEmpty())
                    return fail(QStringLiteral("a rule names no item column (cextendfield)."));
                if (rules.contains(ruleKey(rule)))
                    return fail(QStringLiteral("the rule %1 appears twice.").arg(ruleTitle(rule)));
                rules.insert(ruleKey(rule));
                out->rules << rule;
            } else {
                return fail(QStringLiteral("unexpected element <%1>.").arg(name));
            }
        }
        // Nothing but blanks and comments may follow the root.
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement()) return fail(QStringLiteral("elements after the package's end."));
        }
        if (m_xml.hasError())
            return fail(QStringLiteral("the file is not well-formed XML (%1).").arg(m_xml.errorString()));
        return true;
    }

    bool readItemBody(PackageItem* item) {
        QSet<QString> values, tables;
        for (;;) {
            if (!next()) return false;
            if (m_xml.isEndElement()) return true;  // </Item>
            const QString name = m_xml.name().toString();
            if (name == QLatin1String("Table")) {
                Record r;
                if (!record({QStringLiteral("name")}, &r) || !close()) return false;
                const QString table = r.value(QStringLiteral("name"));
                if (table.trimmed().isEmpty() || tables.contains(table.toLower()))
                    return fail(QStringLiteral("the item %1 names a table twice or none.").arg(item->title()));
                tables.insert(table.toLower());
                item->tables << table;
            } else if (name == QLatin1String("Value")) {
                Record v;
                if (!record(valueFields(), &v) || !close()) return false;
                const QString value = v.value(QStringLiteral("cValue"));
                if (value.isEmpty())
                    return fail(QStringLiteral("a value of %1 is empty.").arg(item->title()));
                if (values.contains(value.toLower()))
                    return fail(QStringLiteral("the value \"%1\" of %2 appears twice.").arg(value, item->title()));
                values.insert(value.toLower());
                item->values << v;
            } else {
                return fail(QStringLiteral("unexpected element <%1> in the item %2.").arg(name, item->title()));
            }
        }
    }

    QXmlStreamReader m_xml;
    QString m_error;
};

}  // namespace

bool readPackage(const QByteArray& bytes, Package* out, QString* error) {
    return Reader(bytes).run(out, error);
}

bool loadPackage(const QString& path, Package* out, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("The package %1 cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    return readPackage(file.readAll(), out, error);
}

}  // namespace platform::package
