#include "platform/package/PackageWriter.h"

#include <QSaveFile>

#include "host/Quote.h"

namespace platform::package {

namespace {

// ' name="value"' for each non-empty field in list order; false at the first unfit text.
bool attributes(const Record& record, const QStringList& fields, QString* line, QString* field) {
    for (const QString& f : fields) {
        const QString value = record.value(f);
        if (value.isEmpty()) continue;
        if (host::xmlUnfitAt(value) >= 0) {
            *field = f;
            return false;
        }
        *line += QLatin1Char(' ') + f + QStringLiteral("=\"") + host::xmlText(value) +
                 QLatin1Char('"');
    }
    return true;
}

}  // namespace

QByteArray writePackage(const Package& package, QString* error) {
    const auto unfit = [error](const QString& where, const QString& field) {
        if (error)
            *error = QStringLiteral("%1: the field %2 holds a character no package file can carry.")
                         .arg(where, field);
        return QByteArray();
    };
    static const char* const kScopes[] = {"all", "classes", "items"};
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    text += QStringLiteral("<UserdefPackage format=\"%1\" scope=\"%2\">\n")
                .arg(package.format)
                .arg(QLatin1String(kScopes[package.scope.kind]));
    QString field;
    if (package.scope.kind == PackageScope::Classes)
        for (const QString& cClass : package.scope.classes) {
            QString line;
            if (!attributes({{QStringLiteral("name"), cClass}}, {QStringLiteral("name")}, &line,
                            &field))
                return unfit(cClass, field);
            text += QStringLiteral("  <Class") + line + QStringLiteral("/>\n");
        }
    for (const PackageItem& item : package.items) {
        QString line;
        if (!attributes(item.fields, itemFields(), &line, &field)) return unfit(item.title(), field);
        const bool empty = item.tables.isEmpty() && item.values.isEmpty();
        text += QStringLiteral("  <Item") + line + (empty ? QStringLiteral("/>\n") : QStringLiteral(">\n"));
        if (empty) continue;
        for (const QString& table : item.tables) {
            line.clear();
            if (!attributes({{QStringLiteral("name"), table}}, {QStringLiteral("name")}, &line, &field))
                return unfit(item.title(), QStringLiteral("Table"));
            text += QStringLiteral("    <Table") + line + QStringLiteral("/>\n");
        }
        for (const Record& value : item.values) {
            line.clear();
            if (!attributes(value, valueFields(), &line, &field))
                return unfit(item.title() + QStringLiteral(", value"), field);
            text += QStringLiteral("    <Value") + line + QStringLiteral("/>\n");
        }
        text += QStringLiteral("  </Item>\n");
    }
    for (const Record& rule : package.rules) {
        QString line;
        if (!attributes(rule, ruleFields(), &line, &field))
            return unfit(QStringLiteral("Rule ") + ruleTitle(rule), field);
        text += QStringLiteral("  <Rule") + line + QStringLiteral("/>\n");
    }
    text += QStringLiteral("</UserdefPackage>\n");
    return text.toUtf8();
}

bool savePackage(const Package& package, const QString& path, QString* error) {
    const QByteArray bytes = writePackage(package, error);
    if (bytes.isEmpty()) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = QStringLiteral("The package cannot be written to %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace platform::package
