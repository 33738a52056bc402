#include "platform/sql/ConnectionText.h"

#include <QList>
#include <QPair>

namespace platform::sql {

namespace {

// Splits "key=value;key=value" honouring double-quoted values.
QList<QPair<QString, QString>> splitPairs(const QString& text) {
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        const int eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0) break;
        const QString key = text.mid(i, eq - i).trimmed();
        int j = eq + 1;
        while (j < n && text[j] == QLatin1Char(' ')) ++j;
        QString value;
        if (j < n && text[j] == QLatin1Char('"')) {
            ++j;
            while (j < n) {
                if (text[j] == QLatin1Char('"')) {
                    if (j + 1 < n && text[j + 1] == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += text[j++];
            }
            const int semi = text.indexOf(QLatin1Char(';'), j);
            i = semi < 0 ? n : semi + 1;
        } else {
            const int semi = text.indexOf(QLatin1Char(';'), j);
            value = text.mid(j, semi < 0 ? -1 : semi - j).trimmed();
            i = semi < 0 ? n : semi + 1;
        }
        if (!key.isEmpty()) pairs.append({key, value});
    }
    return pairs;
}

QString formatValue(const QString& value) {
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('"')) &&
        value.trimmed() == value)
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

QString ConnectionText::normalLanguage(const QString& language) {
    const QString l = language.trimmed().toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
    if (l == QLatin1String("zh-cn")) return QStringLiteral("zh-CN");
    if (l == QLatin1String("zh-tw")) return QStringLiteral("zh-TW");
    if (l == QLatin1String("en-us")) return QStringLiteral("en-US");
    return {};
}

std::optional<ConnectionText> ConnectionText::parse(const QString& text) {
    ConnectionText c;
    bool haveSource = false;
    for (const auto& [key, value] : splitPairs(text)) {
        const QString k = key.toLower();
        if (k == QLatin1String("data source")) {
            c.dataSource = value;
            haveSource = !value.isEmpty() || !c.server.isEmpty();
        } else if (k == QLatin1String("server")) {
            c.server = value;
            haveSource = haveSource || !value.isEmpty();
        } else if (k == QLatin1String("initial catalog")) {
            c.catalog = value;
        } else if (k == QLatin1String("account")) {
            c.account = value;
        } else if (k == QLatin1String("system")) {
            c.systemPath = value;
        } else if (k == QLatin1String("meta")) {
            c.metaPath = value;
        } else if (k == QLatin1String("language")) {
            const QString l = normalLanguage(value);
            if (!l.isEmpty()) c.language = l;
        }
    }
    if (!haveSource) return std::nullopt;
    return c;
}

QString ConnectionText::format() const {
    QString text = (server.isEmpty() ? QStringLiteral("Data Source=") + formatValue(dataSource)
                                     : QStringLiteral("Server=") + formatValue(server)) +
                   QStringLiteral(";Initial Catalog=") + formatValue(catalog) +
                   QStringLiteral(";Account=") + formatValue(account);
    if (!systemPath.isEmpty()) text += QStringLiteral(";System=") + formatValue(systemPath);
    if (!metaPath.isEmpty()) text += QStringLiteral(";Meta=") + formatValue(metaPath);
    text += QStringLiteral(";Language=") + formatValue(language);
    return text;
}

}  // namespace platform::sql
