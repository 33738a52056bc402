#pragma once
// Reading back what the print control wrote, with tools that do not share its code: pdfinfo and
// pdftotext (poppler) for PDF files, openpyxl for workbooks.
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace printtest {

inline QString run(const QString& program, const QStringList& args, int* status = nullptr) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (status) *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Pages of a PDF file as pdfinfo reads them; -1 when it cannot.
inline int pdfPages(const QString& path) {
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The text of a PDF file, pages separated by form feeds. Compatibility forms are folded (a CJK
// font may map a glyph such as 自 to its radical's code point).
inline QString pdfText(const QString& path) {
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
        .normalized(QString::NormalizationForm_KC);
}

// The text of a PDF file in the order it was drawn, without white space (so a text wrapped
// onto several lines of a cell reads as one) and with ligatures (ﬁ) spelt out.
inline QString pdfDrawnText(const QString& path) {
    const QString raw =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), path, QStringLiteral("-")})
            .remove(QRegularExpression(QStringLiteral("\\s")));
    QString text;
    for (const QChar ch : raw)
        text += ch.unicode() >= 0xFB00 && ch.unicode() <= 0xFB06
                    ? QString(ch).normalized(QString::NormalizationForm_KC)
                    : QString(ch);
    return text;
}

// Whether drawn text (pdfDrawnText) holds every character of text. The extraction gives some
// CJK characters as the radical that shares their glyph: a radical stands for any of them; and
// it loses digits the CJK font shapes inside Latin text (drawn, but without a character code):
// a digit may be missing.
inline bool pdfShows(const QString& drawn, const QString& text) {
    QString pattern;
    const QString wanted = QString(text).remove(QRegularExpression(QStringLiteral("\\s")));
    for (const QChar ch : wanted) {
        const QString exact = QRegularExpression::escape(QString(ch));
        pattern += ch.unicode() >= 0x3400 && ch.unicode() < 0xA000
                       ? QStringLiteral("(?:%1|[\\x{2E80}-\\x{2FDF}])").arg(exact)
                   : ch.isDigit() ? exact + QLatin1Char('?')
                                  : exact;
    }
    return drawn.contains(QRegularExpression(pattern));
}

// The first sheet of a workbook, one line per row, cells as Python's repr (numbers bare, texts
// quoted) joined by tabs.
inline QString xlsxRows(const QString& path) {
    const QString script = QStringLiteral(
        "import sys, openpyxl\n"
        "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
        "for row in ws.iter_rows(values_only=True):\n"
        "    sys.stdout.buffer.write(('\\t'.join(repr(v) for v in row) + '\\n').encode('utf-8'))\n");
    int status = 0;
    const QString out = run(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path}, &status);
    return status == 0 ? out : QStringLiteral("<unreadable>");
}

// The rows of the first sheet of a workbook (.xlsx, by openpyxl) or of a CSV file (UTF-8 with
// or without a byte-order mark, by Python's csv reader), cells as read: texts, numbers, null.
inline QList<QVariantList> spreadsheetRows(const QString& path) {
    const QString script = QStringLiteral(
        "import sys, json, csv, re, openpyxl\n"
        "p = sys.argv[1]\n"
        "if p.endswith('.csv'):\n"
        "    rows = list(csv.reader(open(p, encoding='utf-8-sig', newline='')))\n"
        "else:\n"
        "    rows = [list(r) for r in openpyxl.load_workbook(p).worksheets[0].iter_rows(values_only=True)]\n"
        // Texts as a spreadsheet program shows them: _xHHHH_ stands for a character.
        "    x = lambda v: re.sub('_x([0-9A-Fa-f]{4})_', lambda m: chr(int(m.group(1), 16)), v)\n"
        "    rows = [[x(v) if isinstance(v, str) else v for v in r] for r in rows]\n"
        "sys.stdout.write(json.dumps(rows))\n");
    QList<QVariantList> out;
    for (const QJsonValue& row :
         QJsonDocument::fromJson(run(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path})
                                     .toUtf8())
             .array())
        out << row.toArray().toVariantList();
    return out;
}

}  // namespace printtest
