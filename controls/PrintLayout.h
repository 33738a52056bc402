#pragma once
// Pages of a print document on a paint device: on every page the title, the account, the user
// and the date, the column headers, as many rows as fit and "page n / m" at the foot. Columns
// are as wide as their texts; a table wider than the page is printed in smaller type (down to
// 6.5 pt) and then narrowed. Rows keep one line each (longer texts are elided), so every page
// but the last holds rowsPerPage() rows.
#include <QFont>
#include <QRectF>

#include "controls/PrintDocument.h"

class QPainter;
class QPrinter;

namespace controls {

struct PrintTexts {
    QString account = QStringLiteral("Account: %1");
    QString user = QStringLiteral("User: %1 %2");
    QString date = QStringLiteral("Date: %1");
    QString page = QStringLiteral("Page %1 / %2");
    QString rowNo = QStringLiteral("No.");
};

class PrintLayout {
public:
    PrintLayout(const PrintDocument& doc, const PrintTexts& texts, bool rowNumbers,
                const QFont& font);

    // Lays the document out on pages of `page` (device pixels, origin at the printable area)
    // at the device's resolution.
    void layout(const QSizeF& page, QPaintDevice* device);
    // Lays out on the printer's paintable area and paints every page; false when the printer
    // cannot be painted on.
    bool print(QPrinter* printer);

    // The width the columns take at the normal type size, in the device's pixels.
    qreal naturalWidth(QPaintDevice* device);

    int rowsPerPage() const { return m_rowsPerPage; }
    int pageCount() const;
    void paintPage(QPainter& painter, int page) const;  // page counts from 0

private:
    QString rowNoText(int row) const;
    void measure(QPaintDevice* device);

    const PrintDocument& m_doc;
    PrintTexts m_texts;
    bool m_rowNumbers;
    QFont m_body, m_header, m_title, m_info;
    QSizeF m_page;
    QPaintDevice* m_device = nullptr;
    qreal m_titleH = 0, m_infoH = 0, m_rowH = 0, m_footH = 0, m_pad = 0;
    QVector<qreal> m_widths;  // per printed column, the row number column first when shown
    int m_rowsPerPage = 1;
};

}  // namespace controls
