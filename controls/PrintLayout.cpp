#include "controls/PrintLayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QSet>
#include <cmath>

namespace controls {

namespace {

constexpr qreal kLineSpacing = 1.6;
constexpr qreal kBodyPoints = 9;
constexpr qreal kMinPoints = 6.5;

QFont sized(QFont font, qreal points, bool bold) {
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace

PrintLayout::PrintLayout(const PrintDocument& doc, const PrintTexts& texts, bool rowNumbers,
                         const QFont& font)
    : m_doc(doc),
      m_texts(texts),
      m_rowNumbers(rowNumbers),
      m_body(sized(font, 9, false)),
      m_header(sized(font, 9, true)),
      m_title(sized(font, 15, true)),
      m_info(sized(font, 9, false)) {}

QString PrintLayout::rowNoText(int row) const { return QString::number(row + 1); }

void PrintLayout::measure(QPaintDevice* device) {
    const QFontMetricsF body(m_body, device);
    const QFontMetricsF header(m_header, device);
    m_titleH = QFontMetricsF(m_title, device).height() * kLineSpacing;
    m_infoH = QFontMetricsF(m_info, device).height() * kLineSpacing;
    m_rowH = std::max(body.height(), header.height()) * kLineSpacing;
    m_footH = m_infoH * 1.2;
    m_pad = body.averageCharWidth() * 0.6;

    // Every column as wide as its header and its widest text (each distinct text measured once).
    m_widths.clear();
    const qreal minimum = body.averageCharWidth() * 4;
    if (m_rowNumbers) {
        const QString widest(QString::number(std::max<qsizetype>(1, m_doc.rows.size())).size(),
                             QLatin1Char('8'));
        m_widths << std::max({header.horizontalAdvance(m_texts.rowNo),
                              body.horizontalAdvance(widest), minimum}) + 2 * m_pad;
    }
    for (int c = 0; c < m_doc.columns.size(); ++c) {
        QSet<QString> seen;
        qreal widest = std::max(header.horizontalAdvance(m_doc.columns.at(c).header), minimum);
        for (const QStringList& row : m_doc.rows) {
            const QString& text = row.at(c);
            if (text.isEmpty() || seen.contains(text)) continue;
            seen.insert(text);
            widest = std::max(widest, body.horizontalAdvance(text));
        }
        // A character's width of slack: text drawn on a preview or printer device may run a
        // little wider than measured here.
        m_widths << widest + 2 * m_pad + body.averageCharWidth();
    }
}

qreal PrintLayout::naturalWidth(QPaintDevice* device) {
    measure(device);
    qreal total = 0;
    for (qreal w : m_widths) total += w;
    return total;
}

void PrintLayout::layout(const QSizeF& page, QPaintDevice* device) {
    m_page = page;
    m_device = device;
    m_body = sized(m_body, kBodyPoints, false);
    m_header = sized(m_header, kBodyPoints, true);
    qreal total = naturalWidth(device);
    if (total > page.width()) {
        // Too wide for the page: smaller type first, down to a readable size, then every
        // column narrowed in proportion (long texts elided).
        const qreal points = std::max(kMinPoints, kBodyPoints * page.width() / total);
        m_body = sized(m_body, points, false);
        m_header = sized(m_header, points, true);
        total = naturalWidth(device);
        if (total > page.width())
            for (qreal& w : m_widths) w *= page.width() / total;
    }
    // A column never takes more than half the page.
    for (qreal& w : m_widths) w = std::min(w, page.width() / 2);
    const qreal rowsHeight = page.height() - m_titleH - m_infoH - m_rowH - m_footH;
    m_rowsPerPage = std::max(1, int(std::floor(rowsHeight / m_rowH)));
}

int PrintLayout::pageCount() const {
    const int rows = int(m_doc.rows.size());
    return rows == 0 ? 1 : (rows + m_rowsPerPage - 1) / m_rowsPerPage;
}

void PrintLayout::paintPage(QPainter& p, int page) const {
    const qreal width = m_page.width();
    qreal y = 0;
    p.setPen(Qt::black);

    p.setFont(m_title);
    p.drawText(QRectF(0, y, width, m_titleH), Qt::AlignHCenter | Qt::AlignVCenter, m_doc.title);
    y += m_titleH;

    p.setFont(m_info);
    const QString who = m_texts.account.arg(m_doc.accountId) + QStringLiteral("    ") +
                        m_texts.user.arg(m_doc.userId, m_doc.userName).trimmed();
    p.drawText(QRectF(0, y, width, m_infoH), Qt::AlignLeft | Qt::AlignVCenter, who);
    p.drawText(QRectF(0, y, width, m_infoH), Qt::AlignRight | Qt::AlignVCenter,
               m_texts.date.arg(m_doc.date));
    y += m_infoH;

    const qreal line = std::max<qreal>(1.0, m_device->logicalDpiX() / 150.0);
    p.setPen(QPen(Qt::black, line * 0.6));
    const auto cell = [&](qreal x, qreal w, const QString& text, Qt::Alignment align,
                          const QFontMetricsF& fm) {
        const QRectF box(x, y, w, m_rowH);
        p.drawRect(box);
        const QRectF inner = box.adjusted(m_pad, 0, -m_pad, 0);
        p.drawText(inner, align | Qt::AlignVCenter,
                   fm.elidedText(text, Qt::ElideRight, std::max<qreal>(0, inner.width())));
    };

    // Column headers.
    p.setFont(m_header);
    const QFontMetricsF hm(m_header, m_device);
    qreal x = 0;
    qreal tableWidth = 0;
    for (qreal w : m_widths) tableWidth += w;
    p.fillRect(QRectF(0, y, tableWidth, m_rowH), QColor(0xE8, 0xE8, 0xE8));
    int col = 0;
    if (m_rowNumbers) cell(x, m_widths.at(col), m_texts.rowNo, Qt::AlignHCenter, hm), x += m_widths.at(col++);
    for (const PrintColumn& c : m_doc.columns) {
        cell(x, m_widths.at(col), c.header, Qt::AlignHCenter, hm);
        x += m_widths.at(col++);
    }
    y += m_rowH;

    // Rows of this page.
    p.setFont(m_body);
    const QFontMetricsF bm(m_body, m_device);
    const int first = page * m_rowsPerPage;
    const int last = std::min<int>(int(m_doc.rows.size()), first + m_rowsPerPage);
    for (int r = first; r < last; ++r) {
        x = 0;
        col = 0;
        if (m_rowNumbers) cell(x, m_widths.at(col), rowNoText(r), Qt::AlignRight, bm), x += m_widths.at(col++);
        const QStringList& cells = m_doc.rows.at(r);
        for (int c = 0; c < m_doc.columns.size(); ++c) {
            cell(x, m_widths.at(col), cells.value(c), m_doc.columns.at(c).align, bm);
            x += m_widths.at(col++);
        }
        y += m_rowH;
    }

    p.setFont(m_info);
    p.drawText(QRectF(0, m_page.height() - m_footH, width, m_footH),
               Qt::AlignHCenter | Qt::AlignBottom, m_texts.page.arg(page + 1).arg(pageCount()));
}

bool PrintLayout::print(QPrinter* printer) {
    const QRectF area = printer->pageLayout().paintRectPixels(printer->resolution());
    QPainter painter;
    if (!painter.begin(printer)) return false;
    layout(area.size(), printer);
    const int pages = pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0) printer->newPage();
        paintPage(painter, page);
    }
    return painter.end();
}

}  // namespace controls
