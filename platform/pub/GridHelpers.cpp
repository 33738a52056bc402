#include "platform/pub/GridHelpers.h"

#include <QDomDocument>
#include <QHash>

#include "platform/pub/PubLog.h"

namespace platform::pub {

bool isNumericType(int fieldType) {
    using namespace host::FieldType;
    switch (fieldType) {
        case SmallInt: case Integer: case Double: case Currency: case Decimal: case TinyInt:
        case BigInt: case Numeric:
            return true;
        default:
            return false;
    }
}

namespace {

// Field name (lower case) -> alignment code.
QHash<QString, int> parseAlign(const QString& alignXml) {
    QHash<QString, int> out;
    if (alignXml.trimmed().isEmpty()) return out;
    QDomDocument doc;
    const auto parsed = doc.setContent(alignXml);
    if (!parsed) {
        qCWarning(lcPub) << "FormatGrid: alignment text is not XML, ignored:" << alignXml;
        return out;
    }
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        bool ok = false;
        const int code = e.text().trimmed().toInt(&ok);
        if (!ok || code < 0 || code > 2) {
            qCWarning(lcPub) << "FormatGrid: alignment of" << e.tagName() << "is not 0, 1 or 2";
            continue;
        }
        out.insert(e.tagName().toLower(), code);
    }
    return out;
}

Qt::Alignment alignmentOf(int code) {
    switch (code) {
        case 1: return Qt::AlignHCenter | Qt::AlignVCenter;
        case 2: return Qt::AlignRight | Qt::AlignVCenter;
        default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

void formatGrid(host::IGrid& grid, const host::RecordSet& fields, const QString& alignXml) {
    const QHash<QString, int> align = parseAlign(alignXml);
    for (int i = 0; i < fields.fieldCount(); ++i) {
        const int col = i + 1;
        if (col >= grid.cols()) break;
        const host::FieldInfo& f = fields.field(i);
        int code = 0;
        if (align.contains(f.name.toLower()))
            code = align.value(f.name.toLower());
        else if (isNumericType(f.type))
            code = 2;
        else if (f.type == host::FieldType::Boolean)
            code = 1;
        grid.setColAlignment(col, alignmentOf(code));
    }
}

// A caption as a label shows it may end in a colon; the header does not.
static QString bareCaption(const QString& caption) {
    QString out = caption.trimmed();
    while (out.endsWith(QLatin1Char(':')) || out.endsWith(QChar(0xFF1A))) out.chop(1);
    return out.trimmed();
}

int findRow(const host::IGrid& grid, const QString& caption, const QString& text) {
    const QString wanted = bareCaption(caption);
    int col = -1;
    for (int c = 0; c < grid.cols(); ++c)
        if (bareCaption(grid.text(0, c)).compare(wanted, Qt::CaseInsensitive) == 0) {
            col = c;
            break;
        }
    if (col < 0) return 0;
    for (int r = 1; r < grid.rows(); ++r)
        if (grid.text(r, col) == text) return r;
    return 0;
}

int findNextRow(const host::IGrid& grid, const QString& text, int after) {
    const int dataRows = grid.rows() - 1;
    if (text.isEmpty() || dataRows <= 0) return 0;
    for (int step = 1; step <= dataRows; ++step) {
        const int r = (std::max(after, 0) + step - 1) % dataRows + 1;
        for (int c = 0; c < grid.cols(); ++c) {
            if (grid.colHidden(c) || grid.colWidth(c) <= 0) continue;
            if (grid.text(r, c).contains(text, Qt::CaseInsensitive)) return r;
        }
    }
    return 0;
}

}  // namespace platform::pub
