// The print control: pages of the right count and content in a PDF, workbooks and CSV files a
// spreadsheet reads back, page set-up kept in the style text, and every dialog answered without
// blocking.
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include "controls/PrintControl.h"
#include "host/IWindowHost.h"
#include "host/Quote.h"
#include "tests/controls/PrintFiles.h"

using controls::PrintControl;
using namespace printtest;

namespace {

// Answers every dialog with a function of the test and records what was shown.
class AnsweringHost : public host::IWindowHost {
public:
    std::function<int(QDialog*)> answer = [](QDialog*) { return int(QDialog::Rejected); };
    QStringList shown;
    int showModal(QDialog* dialog) override {
        shown << QString::fromLatin1(dialog->metaObject()->className());
        return answer(dialog);
    }
    void message(const QString&, const QString&) override {}
};

QString cell(const QString& text) {
    return QStringLiteral("<Cell>") + host::xmlText(text) + QStringLiteral("</Cell>");
}

// A document of `rows` rows: an item number, a name (Chinese) and an amount (right-aligned).
QString printData(int rows, const QString& title = QStringLiteral("自定义项档案")) {
    QString xml = QStringLiteral("<PrintData><Title>") + host::xmlText(title) +
                  QStringLiteral("</Title><Account>001</Account><UserId>demo</UserId>"
                                 "<UserName>演示</UserName><Date>2026-12-06</Date><Columns>"
                                 "<Column width=\"1200\" align=\"left\">编号</Column>"
                                 "<Column width=\"3000\" align=\"left\">名称</Column>"
                                 "<Column width=\"1500\" align=\"right\">Amount</Column>"
                                 "</Columns><Rows>");
    for (int r = 1; r <= rows; ++r)
        xml += QStringLiteral("<Row>") + cell(QStringLiteral("A%1").arg(r)) +
               cell(QStringLiteral("项目 %1").arg(r)) + cell(QString::number(r * 1.5)) +
               QStringLiteral("</Row>");
    return xml + QStringLiteral("</Rows></PrintData>");
}

class PrintControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        prn.setWindowHost(&host);
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    AnsweringHost host;
    PrintControl prn;
};

}  // namespace

TEST_F(PrintControlTest, PdfHasAPagePerPageOfRows) {
    ASSERT_TRUE(prn.SetDataStyleXML(printData(1), {}));
    const int perPage = prn.rowsPerPage();
    ASSERT_GT(perPage, 20);  // A4 portrait holds a good list
    ASSERT_TRUE(prn.printToPdf(file("one.pdf"))) << prn.lastError().toStdString();
    EXPECT_EQ(pdfPages(file("one.pdf")), 1);

    for (const int rows : {0, perPage, perPage + 1, 2 * perPage + 1}) {
        SCOPED_TRACE(rows);
        ASSERT_TRUE(prn.SetDataStyleXML(printData(rows), {}));
        const int expected = rows == 0 ? 1 : (rows + perPage - 1) / perPage;
        EXPECT_EQ(prn.pageCount(), expected);
        const QString pdf = file("rows.pdf");
        ASSERT_TRUE(prn.printToPdf(pdf));
        EXPECT_EQ(pdfPages(pdf), expected);
    }

    // Landscape pages hold fewer rows: the same data needs more of them.
    const QString landscape = controls::PrintStyle{QStringLiteral("Default"), QPageSize::A4,
                                                   QPageLayout::Landscape, {10, 10, 10, 10}}
                                  .toXml();
    ASSERT_TRUE(prn.SetDataStyleXML(printData(3 * perPage), landscape));
    EXPECT_LT(prn.rowsPerPage(), perPage);
    ASSERT_TRUE(prn.printToPdf(file("wide.pdf")));
    EXPECT_EQ(pdfPages(file("wide.pdf")), prn.pageCount());
    EXPECT_GT(prn.pageCount(), 3);
}

TEST_F(PrintControlTest, PagesShowTitleAccountUserDateHeadersAndPageNumbers) {
    ASSERT_TRUE(prn.SetDataStyleXML(printData(3 * 10), {}));
    const int perPage = prn.rowsPerPage();
    ASSERT_TRUE(prn.SetDataStyleXML(printData(perPage + 2), {}));
    ASSERT_TRUE(prn.printToPdf(file("list.pdf")));
    const QString text = pdfText(file("list.pdf"));
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 2) << text.toStdString();
    for (int p = 0; p < 2; ++p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(pages[p].contains(QStringLiteral("自定义项档案"))) << pages[p].toStdString();
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Account: 001")));
        EXPECT_TRUE(pages[p].contains(QStringLiteral("User: demo 演示")));
        EXPECT_TRUE(pages[p].contains(QStringLiteral("2026-12-06")));
        EXPECT_TRUE(pages[p].contains(QStringLiteral("名称")));
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Page %1 / 2").arg(p + 1)));
    }
    EXPECT_TRUE(pages[0].contains(QStringLiteral("项目 1 ")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("项目 %1 ").arg(perPage + 1)));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("项目 %1 ").arg(perPage + 1)));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("No.")));

    // With row numbers the first column counts the rows across pages.
    prn.setPrintNo(true);
    ASSERT_TRUE(prn.printToPdf(file("numbered.pdf")));
    const QStringList numbered =
        pdfText(file("numbered.pdf")).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(numbered.size(), 2);
    EXPECT_TRUE(numbered[0].contains(QStringLiteral("No.")));
    const QRegularExpression firstOfSecond(
        QStringLiteral("\\b%1\\s+A%1\\s").arg(perPage + 1));
    EXPECT_TRUE(firstOfSecond.match(numbered[1]).hasMatch()) << numbered[1].toStdString();
}

TEST_F(PrintControlTest, WorkbookReadsBackWithTextsNumbersAndRowNumbers) {
    const QString hostile = QStringLiteral("a<b> & \"c\", '--; 𠀀");
    QString data = printData(2);
    data.replace(QStringLiteral("项目 2"), host::xmlText(hostile));
    ASSERT_TRUE(prn.SetDataStyleXML(data, {}));
    const controls::ExportResult plain = prn.ExportToFile(file("list.xlsx"));
    EXPECT_EQ(plain.count, 2);
    EXPECT_EQ(plain.path, file("list.xlsx"));
    EXPECT_EQ(xlsxRows(file("list.xlsx")),
              QStringLiteral("'编号'\t'名称'\t'Amount'\n"
                             "'A1'\t'项目 1'\t1.5\n"
                             "'A2'\t'a<b> & \"c\", \\'--; 𠀀'\t3\n"));

    prn.setPrintNo(true);
    EXPECT_EQ(prn.ExportToFile(file("numbered.xlsx"), QStringLiteral("XLSX")).count, 2);
    EXPECT_TRUE(xlsxRows(file("numbered.xlsx")).startsWith(QStringLiteral("'No.'\t'编号'")));
    EXPECT_TRUE(xlsxRows(file("numbered.xlsx")).contains(QStringLiteral("\n2\t'A2'\t")));
}

TEST_F(PrintControlTest, CsvIsUtf8WithAByteOrderMarkAndQuotedFields) {
    QString data = printData(2);
    data.replace(QStringLiteral("项目 2"), host::xmlText(QStringLiteral("逗号, \"引号\"")));
    ASSERT_TRUE(prn.SetDataStyleXML(data, {}));
    prn.setPrintNo(true);
    EXPECT_EQ(prn.ExportToFile(file("list.csv")).count, 2);
    QFile f(file("list.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(bytes.mid(3)),
              QStringLiteral("No.,编号,名称,Amount\r\n1,A1,项目 1,1.5\r\n"
                             "2,A2,\"逗号, \"\"引号\"\"\",3\r\n"));
}

TEST_F(PrintControlTest, ExportAsksForTheFileAndTellsWhatWentWrong) {
    ASSERT_TRUE(prn.SetDataStyleXML(printData(4), {}));
    // Cancelled: nothing written, no error to show.
    controls::ExportResult r = prn.ExportToFile();
    EXPECT_EQ(host.shown, QStringList{QStringLiteral("QFileDialog")});
    EXPECT_EQ(r.count, -1);
    EXPECT_TRUE(r.error.isEmpty());

    // A name without extension takes the chosen type's.
    host.answer = [this](QDialog* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        fd->selectNameFilter(fd->nameFilters().at(1));
        fd->selectFile(file("chosen"));
        return int(QDialog::Accepted);
    };
    r = prn.ExportToFile();
    EXPECT_EQ(r.count, 4);
    EXPECT_EQ(r.path, file("chosen.csv"));
    EXPECT_TRUE(QFile::exists(file("chosen.csv")));

    r = prn.ExportToFile(file("list.doc"));
    EXPECT_EQ(r.count, -1);
    EXPECT_TRUE(r.error.contains(QStringLiteral("doc"))) << r.error.toStdString();
    r = prn.ExportToFile(file("missing/folder/list.xlsx"));
    EXPECT_EQ(r.count, -1);
    EXPECT_FALSE(r.error.isEmpty());
}

TEST_F(PrintControlTest, PageSetupIsKeptInTheStyleAndAnnounced) {
    ASSERT_TRUE(prn.SetDataStyleXML(printData(5), {}));
    EXPECT_EQ(prn.printStyle().orientation, QPageLayout::Portrait);
    QSignalSpy changed(&prn, &PrintControl::styleChanged);

    EXPECT_EQ(prn.PageSetup(), -1);  // cancelled
    host.answer = [](QDialog*) { return int(QDialog::Accepted); };
    EXPECT_EQ(prn.PageSetup(), -1);  // accepted as it was

    host.answer = [](QDialog* d) {
        auto* paper = d->findChild<QComboBox*>(QStringLiteral("CmbPaper"));
        paper->setCurrentIndex(paper->findText(QPageSize::name(QPageSize::A3)));
        d->findChild<QRadioButton*>(QStringLiteral("OptLandscape"))->click();
        d->findChild<QDoubleSpinBox*>(QStringLiteral("SpnLeft"))->setValue(20);
        d->findChild<QDoubleSpinBox*>(QStringLiteral("SpnRight"))->setValue(20);
        d->findChild<QDoubleSpinBox*>(QStringLiteral("SpnTop"))->setValue(12);
        return int(QDialog::Accepted);
    };
    EXPECT_EQ(prn.PageSetup(), 0);
    EXPECT_TRUE(changed.isEmpty());  // announced only when asked to
    prn.TriggerEvent(0);
    ASSERT_EQ(changed.size(), 1);
    const QString style = changed.at(0).at(0).toString();

    // The style text brings the page set-up back.
    PrintControl again;
    ASSERT_TRUE(again.SetDataStyleXML(printData(5), style));
    EXPECT_EQ(again.printStyle().orientation, QPageLayout::Landscape);
    EXPECT_EQ(again.printStyle().paper, QPageSize::A3);
    EXPECT_NEAR(again.printStyle().marginsMm.left(), 20, 0.1);
    EXPECT_NEAR(again.printStyle().marginsMm.top(), 12, 0.1);
    ASSERT_TRUE(again.printToPdf(file("a3.pdf")));
    const QString info = run(QStringLiteral("pdfinfo"), {file("a3.pdf")});
    EXPECT_TRUE(info.contains(QStringLiteral("1191 x 842 pts (A3)"))) << info.toStdString();

    // A style that cannot be read gives the default page; bad data is refused with a reason.
    EXPECT_TRUE(again.SetDataStyleXML(printData(1), QStringLiteral("<Page")));
    EXPECT_EQ(again.printStyle().orientation, QPageLayout::Portrait);
    EXPECT_FALSE(again.SetDataStyleXML(QStringLiteral("<Rows>"), style));
    EXPECT_FALSE(again.lastError().isEmpty());
}

TEST_F(PrintControlTest, PrintAndPreviewRunThroughTheWindowHost) {
    ASSERT_TRUE(prn.SetDataStyleXML(printData(100), {}));
    EXPECT_FALSE(prn.DoPrint());  // cancelled at the print dialog
    EXPECT_EQ(host.shown.last(), QStringLiteral("QPrintDialog"));

    host.answer = [this](QDialog* d) {
        QPrinter* p = qobject_cast<QPrintDialog*>(d)->printer();
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(file("printed.pdf"));
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(prn.DoPrint()) << prn.lastError().toStdString();
    EXPECT_EQ(pdfPages(file("printed.pdf")), prn.pageCount());

    int previewPages = -1;
    host.answer = [&previewPages](QDialog* d) {
        auto* preview = d->findChild<QPrintPreviewWidget*>();
        preview->updatePreview();
        previewPages = preview->pageCount();
        return int(QDialog::Rejected);
    };
    EXPECT_TRUE(prn.PrintPreview());
    EXPECT_EQ(host.shown.last(), QStringLiteral("QPrintPreviewDialog"));
    EXPECT_EQ(previewPages, prn.pageCount());
    EXPECT_GT(previewPages, 1);
}

// On a landscape page every printed column is wide enough for every line of its texts, and the
// lines of a cell together hold all of its characters: a short list on one line a cell, long
// texts wrapped, a list too wide for any page continued across pages.
TEST_F(PrintControlTest, LaidOutColumnsHoldEveryCharacter) {
    const QString longText = QStringLiteral("Document header maximum length of a very long item name ") +
                             QStringLiteral("自定义项的名称很长很长很长很长");
    const struct {
        int columns;
        QString text;
        bool wraps, continues;
    } cases[] = {{3, QStringLiteral("Item 1"), false, false},
                 {6, longText + longText, true, false},
                 {40, longText, false, true}};
    const QString landscape = controls::PrintStyle{QStringLiteral("Default"), QPageSize::A4,
                                                   QPageLayout::Landscape, {10, 10, 10, 10}}
                                  .toXml();
    for (const auto& t : cases) {
        SCOPED_TRACE(t.columns);
        QString xml = QStringLiteral("<PrintData><Title>t</Title><Columns>");
        for (int c = 0; c < t.columns; ++c)
            xml += QStringLiteral("<Column>Maximum length %1</Column>").arg(c);
        xml += QStringLiteral("</Columns><Rows>");
        for (int r = 0; r < 3; ++r) {
            xml += QStringLiteral("<Row>");
            for (int c = 0; c < t.columns; ++c) xml += cell(t.text + QString::number(r));
            xml += QStringLiteral("</Row>");
        }
        ASSERT_TRUE(prn.SetDataStyleXML(xml + QStringLiteral("</Rows></PrintData>"), landscape));
        prn.setPrintNo(true);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        prn.setUpPrinter(printer);
        controls::PrintLayout layout(prn.document(), {}, true, prn.font());
        layout.layout(printer.pageLayout().paintRectPixels(printer.resolution()).size(), &printer);

        QSet<int> printed;
        bool wrapped = false;
        for (int g = 0; g < layout.columnGroups(); ++g)
            for (int c : layout.groupColumns(g)) printed.insert(c);
        ASSERT_EQ(printed.size(), t.columns + 1);
        for (int c = 0; c <= t.columns; ++c)
            for (int r = -1; r < 3; ++r) {
                const QStringList lines = layout.cellLines(r, c);
                const QFontMetricsF fm(r < 0 ? layout.headerFont() : layout.bodyFont(), &printer);
                for (const QString& line : lines)
                    EXPECT_LE(fm.horizontalAdvance(line), layout.textWidth(c)) << line.toStdString();
                const QString whole = c == 0 ? (r < 0 ? QStringLiteral("No.") : QString::number(r + 1))
                                      : r < 0 ? QStringLiteral("Maximum length %1").arg(c - 1)
                                              : t.text + QString::number(r);
                EXPECT_EQ(lines.join(QString()).remove(QLatin1Char(' ')),
                          QString(whole).remove(QLatin1Char(' ')));
                wrapped = wrapped || lines.size() > 1;
            }
        EXPECT_EQ(wrapped, t.wraps);
        EXPECT_EQ(layout.columnGroups() > 1, t.continues);
        EXPECT_GE(layout.bodyFont().pointSizeF(), 6.5);
        ASSERT_TRUE(prn.printToPdf(file("fit.pdf")));
        EXPECT_EQ(pdfPages(file("fit.pdf")), layout.pageCount());
        EXPECT_FALSE(pdfText(file("fit.pdf")).contains(QChar(0x2026)));
    }
}
