#include "common/TextHelpers.h"

#include <QUuid>

#include "host/RecordSet.h"

namespace userdef {

QString NullToEmpty(const QVariant& value) { return host::variantText(value); }

int TruncateText(const QString& text, QString& out, int maxLength) {
    if (maxLength < 0) maxLength = 0;
    if (text.size() <= maxLength) {
        out = text;
    } else {
        int cut = maxLength;
        if (cut > 0 && text.at(cut - 1).isHighSurrogate() && text.at(cut).isLowSurrogate()) --cut;
        out = text.left(cut);
    }
    return int(text.size());
}

int TextToFlag(const QVariant& value) {
    if (value.isNull() || !value.isValid()) return 0;
    if (value.typeId() == QMetaType::Bool) return value.toBool() ? 1 : 0;
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true")) return 1;
    if (text == QLatin1String("false")) return 0;
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok && number != 0.0 ? 1 : 0;
}

QString NewGuidText(const QString& remove) {
    QString text = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    for (const QChar c : remove) text.remove(c);
    text.remove(QLatin1Char('{'));
    text.remove(QLatin1Char('}'));
    return text;
}

}  // namespace userdef
