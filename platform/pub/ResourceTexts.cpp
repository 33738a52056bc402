#include "platform/pub/ResourceTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/pub/PubLog.h"
#include "platform/sql/ConnectionText.h"
#include "resources/texts/Texts.h"

namespace platform::pub {

QString normalizeLanguage(const QString& languageRegion) {
    const QString normal = sql::ConnectionText::normalLanguage(languageRegion);
    return normal.isEmpty() ? QStringLiteral("zh-CN") : normal;  // the host's default language
}

ResourceTexts::ResourceTexts(const QString& language) : m_language(language) {
    for (const QString& path : resources::texts::files(language)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            m_errors << QStringLiteral("%1: cannot be read").arg(path);
            continue;
        }
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject()) {
            m_errors << QStringLiteral("%1: %2").arg(path, error.errorString());
            continue;
        }
        const QJsonObject object = doc.object();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (m_texts.contains(it.key()))
                m_errors << QStringLiteral("%1: key %2 is defined twice")
                                .arg(QFileInfo(path).fileName(), it.key());
            m_texts.insert(it.key(), it.value().toString());
        }
    }
    for (const QString& e : std::as_const(m_errors)) qCWarning(lcPub) << e;
}

QString ResourceTexts::text(const QString& key) const {
    const auto it = m_texts.constFind(key);
    if (it != m_texts.constEnd()) return *it;
    if (!key.isEmpty() && !m_reportedMissing.contains(key)) {
        m_reportedMissing.insert(key);
        qCWarning(lcPub) << "no text for resource key" << key << "in" << m_language;
    }
    return key;
}

QString formatText(const QString& text, const QStringList& values) {
    QString out;
    out.reserve(text.size() + 16);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('%') || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        if (text.at(i + 1) == QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        int j = i + 1;
        while (j < text.size() && text.at(j).isDigit() && j - i <= 2) ++j;
        const int n = j > i + 1 ? text.mid(i + 1, j - i - 1).toInt() : 0;
        if (n >= 1 && n <= values.size()) {
            out += values.at(n - 1);
            i = j - 1;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace platform::pub
