#pragma once
// Pages of a print document on a paint device: on every page the title, the account, the user
// and the date, the column headers, as many rows as fit and "page n / m" at the foot.
//
// Nothing is cut: columns are as wide as their texts; a table wider than the page is printed in
// smaller type (down to 6.5 pt), then its widest columns are narrowed and their texts wrap onto
// more lines; when even narrowed columns do not fit, the columns continue on further pages (each
// page of rows is printed once per group of columns, the row numbers repeated on each).
#include <QFont>
#include <QHash>
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

    // Rows of one line a page holds.
    int rowsPerPage() const { return m_rowsPerPage; }
    int pageCount() const;
    void paintPage(QPainter& painter, int page) const;  // page counts from 0

    // The laid-out table. Printed columns count from 0, the row number column first when
    // shown; a group of columns shares its pages (the row number column is in every group).
    const QFont& bodyFont() const { return m_body; }
    const QFont& headerFont() const { return m_header; }
    int columnGroups() const { return int(m_groups.size()); }
    QVector<int> groupColumns(int group) const { return m_groups.value(group); }
    // The width a printed column's texts have on its page (cell less its padding).
    qreal textWidth(int column) const { return m_widths.value(column) - 2 * m_pad; }
    // The lines a cell is printed in (row -1: the column header), trailing blanks dropped.
    QStringList cellLines(int row, int column) const;

private:
    QString rowNoText(int row) const;
    QString cellText(int row, int column) const;
    void measure(QPaintDevice* device);
    void fitColumns(qreal pageWidth);
    qreal rowHeight(int lines) const;
    QStringList wrap(const QString& text, const QFont& font, qreal width) const;

    const PrintDocument& m_doc;
    PrintTexts m_texts;
    bool m_rowNumbers;
    QFont m_body, m_header, m_title, m_info;
    QSizeF m_page;
    QPaintDevice* m_device = nullptr;
    qreal m_titleH = 0, m_infoH = 0, m_lineH = 0, m_rowH = 0, m_footH = 0, m_pad = 0;
    qreal m_headerH = 0;
    bool m_infoOneLine = true;
    QVector<qreal> m_natural;  // per printed column: the width its widest text needs
    QVector<qreal> m_snug;     // per printed column: its cells on one line, its title wrapped
    QVector<qreal> m_minimum;  // per printed column: the narrowest it is made (texts wrap)
    QVector<qreal> m_widths;   // per printed column, as laid out
    QVector<QVector<int>> m_groups;
    QVector<int> m_lines;      // per row: lines of its tallest cell
    QVector<int> m_pageStart;  // per page of rows: its first row; the row count last
    int m_rowsPerPage = 1;
};

}  // namespace controls
