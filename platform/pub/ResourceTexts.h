#pragma once
// The resource texts of one language: every <area>.<lang>.json of the texts resources merged
// into one key -> text table.
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace platform::pub {

// "zh-cn", "ZH-TW", "en-us" … in any case → "zh-CN", "zh-TW", "en-US"; anything else → "zh-CN".
QString normalizeLanguage(const QString& languageRegion);

class ResourceTexts {
public:
    explicit ResourceTexts(const QString& language);  // a normalised language
    QString language() const { return m_language; }
    bool contains(const QString& key) const { return m_texts.contains(key); }
    // The text of a key; the key itself when there is none (logged once per key).
    QString text(const QString& key) const;
    int count() const { return int(m_texts.size()); }
    QStringList keys() const { return m_texts.keys(); }
    // Problems found while loading (unreadable or malformed files, duplicate keys).
    QStringList loadErrors() const { return m_errors; }

private:
    QString m_language;
    QHash<QString, QString> m_texts;
    QStringList m_errors;
    mutable QSet<QString> m_reportedMissing;
};

// Replaces %1, %2 … with values[0], values[1] … in one pass (a value's own "%n" stays as it
// is); "%%" gives "%"; a placeholder without a value stays as written.
QString formatText(const QString& text, const QStringList& values);

}  // namespace platform::pub
