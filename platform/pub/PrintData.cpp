#include "platform/pub/PrintData.h"

#include <QDate>

#include "host/Quote.h"

namespace platform::pub {

namespace {

QString alignName(Qt::Alignment a) {
    if (a & Qt::AlignHCenter) return QStringLiteral("center");
    if (a & Qt::AlignRight) return QStringLiteral("right");
    return QStringLiteral("left");
}

QString element(const QString& name, const QString& value) {
    return QLatin1Char('<') + name + QLatin1Char('>') + host::xmlText(value) + QStringLiteral("</") +
           name + QLatin1Char('>');
}

}  // namespace

QString printData(const host::IGrid& grid, const PrintHeader& header) {
    QVector<int> cols;
    for (int c = 0; c < grid.cols(); ++c)
        if (!grid.colHidden(c) && grid.colWidth(c) > 0) cols << c;

    QString xml = QStringLiteral("<PrintData>");
    xml += element(QStringLiteral("Title"), header.title);
    xml += element(QStringLiteral("Account"), header.accountId);
    xml += element(QStringLiteral("UserId"), header.userId);
    xml += element(QStringLiteral("UserName"), header.userName);
    xml += element(QStringLiteral("Date"), QDate::currentDate().toString(Qt::ISODate));
    xml += QStringLiteral("<Columns>");
    for (int c : cols)
        xml += QStringLiteral("<Column width=\"%1\" align=\"%2\" col=\"%3\">")
                   .arg(grid.colWidth(c))
                   .arg(alignName(grid.colAlignment(c)))
                   .arg(c) +
               host::xmlText(grid.text(0, c)) + QStringLiteral("</Column>");
    xml += QStringLiteral("</Columns><Rows>");
    for (int r = 1; r < grid.rows(); ++r) {
        xml += QStringLiteral("<Row>");
        for (int c : cols) {
            QString text = grid.text(r, c);
            if (grid.isCheckColumn(c))
                text = grid.checkState(r, c) == Qt::Checked ? header.checkedText : QString();
            xml += element(QStringLiteral("Cell"), text);
        }
        xml += QStringLiteral("</Row>");
    }
    xml += QStringLiteral("</Rows></PrintData>");
    return xml;
}

QVector<host::FieldInfo> typeSizes(const host::RecordSet& fields) {
    using namespace host::FieldType;
    QVector<host::FieldInfo> out = fields.fields();
    for (host::FieldInfo& f : out) {
        if (f.definedSize > 0) continue;
        switch (f.type) {
            case Boolean: f.definedSize = 1; break;
            case TinyInt: f.definedSize = 3; break;
            case SmallInt: f.definedSize = 6; break;
            case Integer: f.definedSize = 11; break;
            case BigInt: f.definedSize = 20; break;
            case Double: case Currency: case Decimal: case Numeric: f.definedSize = 28; break;
            case Date: case DBTimeStamp: f.definedSize = 19; break;
            default: f.definedSize = 255; break;
        }
    }
    return out;
}

}  // namespace platform::pub
