#include "controls/TableExport.h"

#include <xlsxwriter.h>

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace controls {

namespace {

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Column width in characters from twips (a character of the default font is about 105 twips).
double charsOf(int twips) { return std::clamp(twips / 105.0, 4.0, 80.0); }

QString xlsxError(lxw_error code) { return QString::fromUtf8(lxw_strerror(code)); }

// A date as the program writes and accepts them: 2024-03-01, 2024/3/1, 2024.3.1 or 20240301,
// with an optional time of day.
QDateTime dateOf(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(
        "^(\\d{4})([-/.]?)(\\d{1,2})\\2(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch()) return {};
    if (m.captured(2).isEmpty() && (m.captured(3).size() != 2 || m.captured(4).size() != 2))
        return {};
    const QDate date(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    const QTime time(m.captured(5).toInt(), m.captured(6).toInt(), m.captured(7).toInt());
    if (!date.isValid() || !time.isValid()) return {};
    return QDateTime(date, time);
}

// Width in characters: the longest text of the column, at most its field's size.
double charsOfTexts(const PrintDocument& doc, int column) {
    const PrintColumn& c = doc.columns.at(column);
    qsizetype longest = c.header.size() * 2;  // headers are mostly Chinese: two columns each
    for (const QStringList& row : doc.rows) longest = std::max(longest, row.value(column).size());
    if (c.size > 0) longest = std::min<qsizetype>(longest, std::max<qsizetype>(c.size, c.header.size() * 2));
    return std::clamp(double(longest) + 2, 4.0, 80.0);
}

}  // namespace

bool writeXlsx(const PrintDocument& doc, bool rowNumbers, const QString& rowNoHeader,
               const QString& path, QString* error) {
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go out as they are written
    lxw_workbook* book = workbook_new_opt(file.constData(), &options);
    if (!book) {
        if (error) *error = QStringLiteral("%1 cannot be created").arg(path);
        return false;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format* dateFormat = workbook_add_format(book);
    format_set_num_format(dateFormat, "yyyy-mm-dd");
    lxw_format* dateTimeFormat = workbook_add_format(book);
    format_set_num_format(dateTimeFormat, "yyyy-mm-dd hh:mm:ss");

    const int offset = rowNumbers ? 1 : 0;
    if (rowNumbers) worksheet_set_column(sheet, 0, 0, 6, nullptr);
    for (int c = 0; c < doc.columns.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c + offset), lxw_col_t(c + offset),
                             doc.columns.at(c).type == CellType::Unknown
                                 ? charsOf(doc.columns.at(c).widthTwips)
                                 : charsOfTexts(doc, c),
                             nullptr);

    lxw_error status = LXW_NO_ERROR;
    const auto note = [&status](lxw_error e) {
        if (status == LXW_NO_ERROR && e != LXW_NO_ERROR) status = e;
    };
    if (rowNumbers) note(worksheet_write_string(sheet, 0, 0, rowNoHeader.toUtf8().constData(), bold));
    for (int c = 0; c < doc.columns.size(); ++c)
        note(worksheet_write_string(sheet, 0, lxw_col_t(c + offset),
                                    doc.columns.at(c).header.toUtf8().constData(), bold));
    for (int r = 0; r < doc.rows.size() && status == LXW_NO_ERROR; ++r) {
        const lxw_row_t row = lxw_row_t(r + 1);
        if (rowNumbers) note(worksheet_write_number(sheet, row, 0, r + 1, nullptr));
        const QStringList& cells = doc.rows.at(r);
        for (int c = 0; c < doc.columns.size(); ++c) {
            const QString text = cells.value(c);
            if (text.isEmpty()) continue;
            const lxw_col_t col = lxw_col_t(c + offset);
            const PrintColumn& column = doc.columns.at(c);
            bool number = false;
            double value = 0.0;
            if (column.type == CellType::Number ||
                (column.type == CellType::Unknown && column.align & Qt::AlignRight))
                value = text.trimmed().toDouble(&number);
            const QDateTime date = column.type == CellType::Date ? dateOf(text) : QDateTime();
            if (number) {
                note(worksheet_write_number(sheet, row, col, value, nullptr));
            } else if (date.isValid()) {
                lxw_datetime when{date.date().year(), date.date().month(), date.date().day(),
                                  date.time().hour(), date.time().minute(),
                                  double(date.time().second())};
                note(worksheet_write_datetime(sheet, row, col, &when,
                                              date.time() == QTime(0, 0) ? dateFormat
                                                                         : dateTimeFormat));
            } else {
                note(worksheet_write_string(sheet, row, col, text.toUtf8().constData(), nullptr));
            }
        }
    }
    const lxw_error closed = workbook_close(book);
    if (status == LXW_NO_ERROR) status = closed;
    if (status != LXW_NO_ERROR) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, xlsxError(status));
        return false;
    }
    return true;
}

bool writeCsv(const PrintDocument& doc, bool rowNumbers, const QString& rowNoHeader,
              const QString& path, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const auto line = [&file](const QStringList& fields) {
        QStringList out;
        out.reserve(fields.size());
        for (const QString& f : fields) out << csvField(f);
        file.write(out.join(QLatin1Char(',')).toUtf8());
        file.write("\r\n");
    };
    file.write("\xEF\xBB\xBF");
    QStringList header;
    if (rowNumbers) header << rowNoHeader;
    for (const PrintColumn& c : doc.columns) header << c.header;
    line(header);
    for (int r = 0; r < doc.rows.size(); ++r) {
        QStringList fields;
        if (rowNumbers) fields << QString::number(r + 1);
        fields << doc.rows.at(r).mid(0, doc.columns.size());
        while (fields.size() < header.size()) fields << QString();
        line(fields);
    }
    if (!file.commit()) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace controls
