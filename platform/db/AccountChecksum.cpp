#include "platform/db/AccountChecksum.h"

#include <QCryptographicHash>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

#include "host/RecordSet.h"
#include "platform/db/Database.h"

namespace platform::db {

namespace {

// A number in plain decimal notation without trailing zeros: "12.500000" → "12.5", 1e-07 →
// "0.0000001", "-0" → "0".
QString plainNumber(const QString& text) {
    QString t = text.trimmed();
    if (t.contains(QLatin1Char('e'), Qt::CaseInsensitive)) {
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (!ok) return text;
        t = QString::number(d, 'f', QLocale::FloatingPointShortest);
    }
    static const QRegularExpression number(QStringLiteral("^[-+]?[0-9]*(\\.[0-9]*)?$"));
    if (t.isEmpty() || !number.match(t).hasMatch()) return text;
    if (t.startsWith(QLatin1Char('+'))) t.remove(0, 1);
    if (t.contains(QLatin1Char('.'))) {
        while (t.endsWith(QLatin1Char('0'))) t.chop(1);
        if (t.endsWith(QLatin1Char('.'))) t.chop(1);
    }
    if (t.isEmpty() || t == QLatin1String("-") || t == QLatin1String("-0"))
        return QStringLiteral("0");
    return t;
}

// "yyyy-MM-dd HH:mm:ss.zzz" for a date or timestamp in any of the forms either side writes;
// other text as it is.
QString plainTimestamp(const QString& text) {
    static const QRegularExpression stamp(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d)(?:[ T](\\d\\d:\\d\\d)(:\\d\\d)?(?:\\.(\\d+))?)?$"));
    const QRegularExpressionMatch m = stamp.match(text);
    if (!m.hasMatch()) return text;
    const QString time = m.captured(2).isEmpty() ? QStringLiteral("00:00") : m.captured(2);
    const QString seconds = m.captured(3).isEmpty() ? QStringLiteral(":00") : m.captured(3);
    const QString fraction = (m.captured(4) + QStringLiteral("000")).left(3);
    return m.captured(1) + QLatin1Char(' ') + time + seconds + QLatin1Char('.') + fraction;
}

QString storedText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Double:
            return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
        case QMetaType::QByteArray:
            return QStringLiteral("x'") + QString::fromLatin1(value.toByteArray().toHex()) +
                   QLatin1Char('\'');
        default:
            return value.toString();
    }
}

}  // namespace

ValueKind valueKindOf(const QString& declaredType) {
    using namespace host::FieldType;
    switch (DeclaredType::parse(declaredType).fieldType) {
        case Integer:
        case SmallInt:
        case TinyInt:
        case BigInt:
            return ValueKind::Integer;
        case Boolean:
            return ValueKind::Boolean;
        case Numeric:
        case Currency:
            return ValueKind::Decimal;
        case Double:
            return ValueKind::Float;
        case DBTimeStamp:
            return ValueKind::DateTime;
        case Binary:
        case VarBinary:
        case LongVarBinary:
            return ValueKind::Blob;
        default:
            return ValueKind::Text;
    }
}

QString canonicalValue(const QVariant& value, ValueKind kind, bool serverText) {
    if (!value.isValid() || value.isNull()) return {};
    if (serverText) {
        const QString t = value.toString();
        switch (kind) {
            case ValueKind::Boolean:
                return t == QLatin1String("true")    ? QStringLiteral("1")
                       : t == QLatin1String("false") ? QStringLiteral("0")
                                                     : t;
            case ValueKind::Decimal:
            case ValueKind::Float:
                return plainNumber(t);
            case ValueKind::DateTime:
                return plainTimestamp(t);
            case ValueKind::Blob:  // bytea's text form is \x followed by the hex digits
                return QStringLiteral("x'") + t.mid(2) + QLatin1Char('\'');
            default:
                return t;
        }
    }
    const QString t = storedText(value);
    switch (kind) {
        case ValueKind::Decimal:
        case ValueKind::Float:
            return plainNumber(t);
        case ValueKind::DateTime:
            return plainTimestamp(t);
        case ValueKind::Blob:
            return value.typeId() == QMetaType::QByteArray
                       ? t
                       : storedText(QVariant(value.toString().toUtf8()));
        default:
            return t;
    }
}

void TableChecksum::addRow(const QStringList& canonicalValues) {
    // Each value escaped so that the row's text tells its values apart: tab between values,
    // \N for NULL.
    auto escaped = [](const QString& v) {
        if (v.isNull()) return QStringLiteral("\\N");
        QString e = v;
        e.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        e.replace(QLatin1Char('\t'), QLatin1String("\\t"));
        e.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        return e;
    };
    QStringList key, all;
    for (int k : m_key) key << escaped(canonicalValues.value(k));
    for (const QString& v : canonicalValues) all << escaped(v);
    m_rows << key.join(QLatin1Char('\t')) + QLatin1Char('\n') + all.join(QLatin1Char('\t'));
}

QString TableChecksum::checksum() const {
    QList<QByteArray> rows;
    rows.reserve(m_rows.size());
    for (const QString& r : m_rows) rows << r.toUtf8();
    std::sort(rows.begin(), rows.end());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QByteArray& r : rows) {
        hash.addData(r);
        hash.addData(QByteArrayView("\x1e", 1));
    }
    return QString::fromLatin1(hash.result().left(16).toHex());
}

QString TableChecksum::firstRowNotIn(const TableChecksum& other) const {
    QStringList mine = m_rows, theirs = other.m_rows;
    std::sort(mine.begin(), mine.end());
    std::sort(theirs.begin(), theirs.end());
    QStringList missing;
    std::set_difference(mine.begin(), mine.end(), theirs.begin(), theirs.end(),
                        std::back_inserter(missing));
    return missing.isEmpty() ? QString() : missing.first().section(QLatin1Char('\n'), 1);
}

}  // namespace platform::db
