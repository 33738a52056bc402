#pragma once
// What the print control prints and exports: the print data of a grid (the <PrintData> document
// of the public service's GetData) and the print style of a print key (page set-up).
//
// The style text:
//   <PrintStyle name="Default">
//     <Page paper="A4" orientation="portrait|landscape" left="15" top="15" right="15"
//           bottom="15"/>                         (margins in millimetres)
//   </PrintStyle>
// An empty style is the default style (A4 portrait, 15 mm margins).
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <QVector>

namespace controls {

// What an export writes a column's cells as. Unknown: numbers in right-aligned columns, else
// text.
enum class CellType { Unknown, Text, Number, Date };

struct PrintColumn {
    QString header;
    int widthTwips = 1500;
    Qt::Alignment align = Qt::AlignLeft;
    int gridColumn = -1;  // the grid column it was printed from; -1 when not known
    CellType type = CellType::Unknown;
    int size = 0;  // characters the column's field holds; 0 when not known
};

struct PrintDocument {
    QString title;
    QString accountId;
    QString userId;
    QString userName;
    QString date;  // yyyy-MM-dd
    QVector<PrintColumn> columns;
    QVector<QStringList> rows;  // one text per column

    // Reads a <PrintData> document; false (and `error` filled) when it is not one.
    static bool parse(const QString& xml, PrintDocument* out, QString* error);
};

struct PrintStyle {
    QString name = QStringLiteral("Default");
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF marginsMm{15, 15, 15, 15};

    QPageLayout pageLayout() const;
    QString toXml() const;
    // An empty text gives the default style; false (and the default style) when the text is
    // not a style document.
    static bool parse(const QString& xml, PrintStyle* out, QString* error);

    bool operator==(const PrintStyle& other) const;
};

}  // namespace controls
