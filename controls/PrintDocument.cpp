#include "controls/PrintDocument.h"

#include <QDomDocument>

#include "host/Quote.h"

namespace controls {

namespace {

Qt::Alignment alignOf(const QString& name) {
    if (name.compare(QLatin1String("center"), Qt::CaseInsensitive) == 0) return Qt::AlignHCenter;
    if (name.compare(QLatin1String("right"), Qt::CaseInsensitive) == 0) return Qt::AlignRight;
    return Qt::AlignLeft;
}

QString childText(const QDomElement& parent, const char* name) {
    return parent.firstChildElement(QLatin1String(name)).text();
}

QString paperName(QPageSize::PageSizeId id) { return QPageSize::key(id); }

QPageSize::PageSizeId paperOf(const QString& key) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto size = static_cast<QPageSize::PageSizeId>(id);
        if (QPageSize::key(size).compare(key, Qt::CaseInsensitive) == 0) return size;
    }
    return QPageSize::A4;
}

}  // namespace

bool PrintDocument::parse(const QString& xml, PrintDocument* out, QString* error) {
    QDomDocument doc;
    QString message;
    int line = 0;
    if (!doc.setContent(xml, &message, &line)) {
        if (error)
            *error = QStringLiteral("the print data is not readable (line %1: %2)")
                         .arg(line)
                         .arg(message);
        return false;
    }
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("PrintData")) {
        if (error) *error = QStringLiteral("the print data has no <PrintData> element");
        return false;
    }
    PrintDocument d;
    d.title = childText(root, "Title");
    d.accountId = childText(root, "Account");
    d.userId = childText(root, "UserId");
    d.userName = childText(root, "UserName");
    d.date = childText(root, "Date");
    const QDomElement columns = root.firstChildElement(QStringLiteral("Columns"));
    for (QDomElement c = columns.firstChildElement(QStringLiteral("Column")); !c.isNull();
         c = c.nextSiblingElement(QStringLiteral("Column"))) {
        PrintColumn col;
        col.header = c.text();
        bool ok = false;
        const int width = c.attribute(QStringLiteral("width")).toInt(&ok);
        if (ok && width > 0) col.widthTwips = width;
        col.align = alignOf(c.attribute(QStringLiteral("align")));
        col.gridColumn = c.attribute(QStringLiteral("col"), QStringLiteral("-1")).toInt();
        d.columns << col;
    }
    const QDomElement rows = root.firstChildElement(QStringLiteral("Rows"));
    for (QDomElement r = rows.firstChildElement(QStringLiteral("Row")); !r.isNull();
         r = r.nextSiblingElement(QStringLiteral("Row"))) {
        QStringList cells;
        for (QDomElement c = r.firstChildElement(QStringLiteral("Cell")); !c.isNull();
             c = c.nextSiblingElement(QStringLiteral("Cell")))
            cells << c.text();
        while (cells.size() < d.columns.size()) cells << QString();
        d.rows << cells;
    }
    *out = std::move(d);
    return true;
}

QPageLayout PrintStyle::pageLayout() const {
    return QPageLayout(QPageSize(paper), orientation, marginsMm, QPageLayout::Millimeter);
}

QString PrintStyle::toXml() const {
    const auto mm = [](qreal v) { return QString::number(v, 'f', 1); };
    return QStringLiteral("<PrintStyle name=\"%1\"><Page paper=\"%2\" orientation=\"%3\" "
                          "left=\"%4\" top=\"%5\" right=\"%6\" bottom=\"%7\"/></PrintStyle>")
        .arg(host::xmlText(name), host::xmlText(paperName(paper)),
             orientation == QPageLayout::Landscape ? QStringLiteral("landscape")
                                                   : QStringLiteral("portrait"),
             mm(marginsMm.left()), mm(marginsMm.top()), mm(marginsMm.right()),
             mm(marginsMm.bottom()));
}

bool PrintStyle::parse(const QString& xml, PrintStyle* out, QString* error) {
    *out = PrintStyle();
    if (xml.trimmed().isEmpty()) return true;
    QDomDocument doc;
    if (!doc.setContent(xml) || doc.documentElement().tagName() != QLatin1String("PrintStyle")) {
        if (error) *error = QStringLiteral("the print style is not a <PrintStyle> document");
        return false;
    }
    const QDomElement root = doc.documentElement();
    PrintStyle s;
    if (root.hasAttribute(QStringLiteral("name"))) s.name = root.attribute(QStringLiteral("name"));
    const QDomElement page = root.firstChildElement(QStringLiteral("Page"));
    if (!page.isNull()) {
        s.paper = paperOf(page.attribute(QStringLiteral("paper"), QStringLiteral("A4")));
        s.orientation = page.attribute(QStringLiteral("orientation"))
                                    .compare(QLatin1String("landscape"), Qt::CaseInsensitive) == 0
                            ? QPageLayout::Landscape
                            : QPageLayout::Portrait;
        const auto margin = [&page](const char* name, qreal fallback) {
            bool ok = false;
            const qreal v = page.attribute(QLatin1String(name)).toDouble(&ok);
            return ok && v >= 0 && v < 100 ? v : fallback;
        };
        s.marginsMm = QMarginsF(margin("left", 15), margin("top", 15), margin("right", 15),
                                margin("bottom", 15));
    }
    *out = s;
    return true;
}

bool PrintStyle::operator==(const PrintStyle& other) const {
    const auto near = [](qreal a, qreal b) { return qAbs(a - b) < 0.05; };
    return paper == other.paper && orientation == other.orientation &&
           near(marginsMm.left(), other.marginsMm.left()) &&
           near(marginsMm.top(), other.marginsMm.top()) &&
           near(marginsMm.right(), other.marginsMm.right()) &&
           near(marginsMm.bottom(), other.marginsMm.bottom());
}

}  // namespace controls
