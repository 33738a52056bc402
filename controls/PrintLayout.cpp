#include "controls/PrintLayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <cmath>

namespace controls {

namespace {

constexpr qreal kLineSpacing = 1.6;  // a row of one line is this many font heights
constexpr qreal kBodyPoints = 9;
constexpr qreal kMinPoints = 6.5;
constexpr qreal kMinColumnChars = 8;  // a narrowed column still holds this many average characters

QFont sized(QFont font, qreal points, bool bold) {
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The width of an average Latin letter or digit (a CJK font's own average is a CJK character's).
qreal charWidth(const QFontMetricsF& fm) {
    return fm.horizontalAdvance(QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyz")) / 36;
}

QString trimmedEnd(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1).isSpace()) --n;
    return text.left(n);
}

}  // namespace

PrintLayout::PrintLayout(const PrintDocument& doc, const PrintTexts& texts, bool rowNumbers,
                         const QFont& font)
    : m_doc(doc),
      m_texts(texts),
      m_rowNumbers(rowNumbers),
      m_body(sized(font, kBodyPoints, false)),
      m_header(sized(font, kBodyPoints, true)),
      m_title(sized(font, 15, true)),
      m_info(sized(font, 9, false)) {}

QString PrintLayout::rowNoText(int row) const { return QString::number(row + 1); }

QString PrintLayout::cellText(int row, int column) const {
    if (m_rowNumbers) {
        if (column == 0) return row < 0 ? m_texts.rowNo : rowNoText(row);
        --column;
    }
    if (row < 0) return m_doc.columns.value(column).header;
    return m_doc.rows.at(row).value(column);
}

void PrintLayout::measure(QPaintDevice* device) {
    m_device = device;
    const QFontMetricsF body(m_body, device);
    const QFontMetricsF header(m_header, device);
    m_lineH = std::max(body.height(), header.height());
    m_rowH = m_lineH * kLineSpacing;
    const qreal character = charWidth(body);
    m_pad = character * 0.6;

    // Every column as wide as its header and its widest text (each distinct text measured once),
    // with a character's width of slack: text drawn on a preview or printer device may run a
    // little wider than measured here.
    const int columns = int(m_doc.columns.size()) + (m_rowNumbers ? 1 : 0);
    const qreal slack = character;
    const qreal narrowest = character * 4;
    m_natural.clear();
    m_snug.clear();
    m_minimum.clear();
    for (int c = 0; c < columns; ++c) {
        QHash<QString, bool> seen;
        qreal widest = narrowest;
        if (m_rowNumbers && c == 0) {
            const QString longest(rowNoText(int(std::max<qsizetype>(1, m_doc.rows.size())) - 1).size(),
                                  QLatin1Char('8'));
            widest = std::max(widest, body.horizontalAdvance(longest));
        } else {
            for (int r = 0; r < m_doc.rows.size(); ++r) {
                const QString text = cellText(r, c);
                if (text.isEmpty() || seen.contains(text)) continue;
                seen.insert(text, true);
                widest = std::max(widest, body.horizontalAdvance(text));
            }
        }
        const qreal natural = std::max(widest, header.horizontalAdvance(cellText(-1, c))) + 2 * m_pad + slack;
        m_natural << natural;
        // Snug: the cells on one line, the header wrapped between its words.
        qreal headerWord = 0;
        for (const QString& word : cellText(-1, c).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            headerWord = std::max(headerWord, header.horizontalAdvance(word));
        m_snug << std::min(natural, std::max(widest, headerWord) + 2 * m_pad + slack);
        // Row numbers are never wrapped; other texts wrap down to a few characters a line.
        m_minimum << (m_rowNumbers && c == 0
                          ? natural
                          : std::min(m_snug.last(), character * kMinColumnChars + 2 * m_pad + slack));
    }
    m_widths = m_natural;
}

qreal PrintLayout::naturalWidth(QPaintDevice* device) {
    measure(device);
    qreal total = 0;
    for (qreal w : m_natural) total += w;
    return total;
}

void PrintLayout::fitColumns(qreal pageWidth) {
    // One group when the columns fit the page at their narrowest (their texts wrapped), else
    // groups of columns that each fit at their natural width (the row numbers in each).
    m_groups.clear();
    const int first = m_rowNumbers ? 1 : 0;
    qreal narrowest = 0;
    for (qreal w : m_minimum) narrowest += w;
    const QVector<qreal>& packed = narrowest <= pageWidth ? m_minimum : m_natural;
    const qreal fixed = m_rowNumbers ? m_minimum.value(0) : 0;
    QVector<int> group;
    qreal used = fixed;
    for (int c = first; c < m_natural.size(); ++c) {
        if (!group.isEmpty() && used + packed.at(c) > pageWidth) {
            m_groups << group;
            group.clear();
            used = fixed;
        }
        group << c;
        used += packed.at(c);
    }
    if (!group.isEmpty() || m_groups.isEmpty()) m_groups << group;
    if (m_rowNumbers)
        for (QVector<int>& g : m_groups) g.prepend(0);

    // In each group the widest columns are narrowed to one common width so that the group fills
    // the page at most: first only down to their snug width (long titles wrapped), then, when
    // that is not enough, down to their minimum (long texts wrapped too).
    for (const QVector<int>& g : m_groups) {
        qreal natural = 0, snug = 0;
        for (int c : g) natural += m_natural.at(c), snug += m_snug.at(c);
        if (natural <= pageWidth) continue;
        const QVector<qreal>& lower = snug <= pageWidth ? m_snug : m_minimum;
        const auto total = [&](qreal cap) {
            qreal sum = 0;
            for (int c : g) sum += std::max(lower.at(c), std::min(m_natural.at(c), cap));
            return sum;
        };
        qreal low = 0, high = pageWidth;
        for (int i = 0; i < 40; ++i) {
            const qreal mid = (low + high) / 2;
            (total(mid) <= pageWidth ? low : high) = mid;
        }
        for (int c : g) m_widths[c] = std::max(lower.at(c), std::min(m_natural.at(c), low));
    }
}

QStringList PrintLayout::wrap(const QString& text, const QFont& font, qreal width) const {
    QTextLayout layout(text, font, m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << trimmedEnd(text.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    return lines;
}

QStringList PrintLayout::cellLines(int row, int column) const {
    const QString text = cellText(row, column);
    const QFont& font = row < 0 ? m_header : m_body;
    const qreal width = textWidth(column);
    if (text.isEmpty() || QFontMetricsF(font, m_device).horizontalAdvance(text) <= width)
        return {text};
    // Wrapped a little inside the cell, as drawn text may run wider than measured.
    return wrap(text, font, width - charWidth(QFontMetricsF(font, m_device)) * 0.5);
}

qreal PrintLayout::rowHeight(int lines) const {
    return m_rowH + m_lineH * (std::max(1, lines) - 1);
}

void PrintLayout::layout(const QSizeF& page, QPaintDevice* device) {
    m_page = page;
    m_body = sized(m_body, kBodyPoints, false);
    m_header = sized(m_header, kBodyPoints, true);
    qreal total = naturalWidth(device);
    if (total > page.width()) {
        // Too wide for the page: smaller type first, down to a readable size.
        const qreal points = std::max(kMinPoints, kBodyPoints * page.width() / total);
        m_body = sized(m_body, points, false);
        m_header = sized(m_header, points, true);
        total = naturalWidth(device);
    }
    fitColumns(page.width());

    // Title and account line wrap on a narrow page rather than run off it.
    const QFontMetricsF title(m_title, device);
    const QFontMetricsF info(m_info, device);
    const int wrapFlags = Qt::TextWordWrap | Qt::TextWrapAnywhere;
    m_titleH = title.boundingRect(QRectF(0, 0, page.width(), page.height()),
                                  wrapFlags | Qt::AlignHCenter, m_doc.title)
                   .height() +
               title.height() * (kLineSpacing - 1);
    const QString who = m_texts.account.arg(m_doc.accountId) + QStringLiteral("    ") +
                        m_texts.user.arg(m_doc.userId, m_doc.userName).trimmed();
    const QString date = m_texts.date.arg(m_doc.date);
    m_infoOneLine = info.horizontalAdvance(who) + info.horizontalAdvance(date) +
                        charWidth(info) * 4 <= page.width();
    m_infoH = info.height() * (kLineSpacing - 1) +
              (m_infoOneLine ? info.height()
                       : info.boundingRect(QRectF(0, 0, page.width(), page.height()), wrapFlags, who)
                                 .height() + info.height());
    m_footH = info.height() * kLineSpacing * 1.2;

    // Rows as high as their tallest cell in any group; the header as its tallest title.
    int headerLines = 1;
    for (int c = 0; c < m_widths.size(); ++c)
        headerLines = std::max(headerLines, int(cellLines(-1, c).size()));
    m_headerH = rowHeight(headerLines);
    m_lines.fill(1, m_doc.rows.size());
    for (int r = 0; r < m_doc.rows.size(); ++r)
        for (int c = 0; c < m_widths.size(); ++c)
            if (m_widths.at(c) < m_natural.at(c))
                m_lines[r] = std::max(m_lines.at(r), int(cellLines(r, c).size()));

    const qreal rowsHeight = page.height() - m_titleH - m_infoH - m_headerH - m_footH;
    m_rowsPerPage = std::max(1, int(std::floor(rowsHeight / m_rowH)));
    m_pageStart = {0};
    qreal used = 0;
    for (int r = 0; r < m_doc.rows.size(); ++r) {
        const qreal h = rowHeight(m_lines.at(r));
        if (used > 0 && used + h > rowsHeight) {
            m_pageStart << r;
            used = 0;
        }
        used += h;
    }
    m_pageStart << int(m_doc.rows.size());
}

int PrintLayout::pageCount() const {
    return std::max(1, int(m_pageStart.size()) - 1) * std::max(1, int(m_groups.size()));
}

void PrintLayout::paintPage(QPainter& p, int page) const {
    const qreal width = m_page.width();
    const int groups = std::max(1, int(m_groups.size()));
    const int rowPage = page / groups;
    const QVector<int> columns = m_groups.value(page % groups);
    qreal y = 0;
    p.setPen(Qt::black);
    const int wrapFlags = Qt::TextWordWrap | Qt::TextWrapAnywhere;

    p.setFont(m_title);
    p.drawText(QRectF(0, y, width, m_titleH), wrapFlags | Qt::AlignHCenter | Qt::AlignVCenter,
               m_doc.title);
    y += m_titleH;

    p.setFont(m_info);
    const QString who = m_texts.account.arg(m_doc.accountId) + QStringLiteral("    ") +
                        m_texts.user.arg(m_doc.userId, m_doc.userName).trimmed();
    // Account and user on the left, the date on the right: on one line, or the date under them.
    p.drawText(QRectF(0, y, width, m_infoH),
               wrapFlags | Qt::AlignLeft | (m_infoOneLine ? Qt::AlignVCenter : Qt::AlignTop), who);
    p.drawText(QRectF(0, y, width, m_infoH),
               Qt::AlignRight | (m_infoOneLine ? Qt::AlignVCenter : Qt::AlignBottom),
               m_texts.date.arg(m_doc.date));
    y += m_infoH;

    const qreal line = std::max<qreal>(1.0, m_device->logicalDpiX() / 150.0);
    p.setPen(QPen(Qt::black, line * 0.6));
    const qreal top = (m_rowH - m_lineH) / 2;
    const auto cell = [&](qreal x, int column, int row, qreal height, Qt::Alignment align) {
        const QRectF box(x, y, m_widths.at(column), height);
        p.drawRect(box);
        qreal lineY = y + top;
        for (const QString& text : cellLines(row, column)) {
            p.drawText(QRectF(x + m_pad, lineY, textWidth(column), m_lineH),
                       align | Qt::AlignVCenter, text);
            lineY += m_lineH;
        }
    };
    const auto alignOf = [this](int column) -> Qt::Alignment {
        if (m_rowNumbers && column == 0) return Qt::AlignRight;
        return m_doc.columns.value(column - (m_rowNumbers ? 1 : 0)).align;
    };

    // Column headers.
    qreal tableWidth = 0;
    for (int c : columns) tableWidth += m_widths.at(c);
    p.fillRect(QRectF(0, y, tableWidth, m_headerH), QColor(0xE8, 0xE8, 0xE8));
    p.setFont(m_header);
    qreal x = 0;
    for (int c : columns) {
        cell(x, c, -1, m_headerH, Qt::AlignHCenter);
        x += m_widths.at(c);
    }
    y += m_headerH;

    // Rows of this page.
    p.setFont(m_body);
    const int first = m_pageStart.value(rowPage);
    const int last = m_pageStart.value(rowPage + 1, first);
    for (int r = first; r < last; ++r) {
        const qreal height = rowHeight(m_lines.at(r));
        x = 0;
        for (int c : columns) {
            cell(x, c, r, height, alignOf(c));
            x += m_widths.at(c);
        }
        y += height;
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
