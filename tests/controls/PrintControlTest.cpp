// What the print control puts on paper and in files: page breaks with every page's heading and
// row numbers, workbooks and CSV files that read back to the listed texts, the page set-up
// chosen in its dialog. The windows' own printing flows are tested with the windows.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QRadioButton>
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
#include "tests/support/HostileTexts.h"

using controls::PrintControl;
using namespace printtest;

namespace {

class AnsweringHost : public host::IWindowHost {
public:
    std::function<int(QDialog*)> answer = [](QDialog*) { return int(QDialog::Rejected); };
    int showModal(QDialog* dialog) override { return answer(dialog); }
    void message(const QString&, const QString&) override {}
};

// A document with a row per name: an item number, the name and an amount (right-aligned).
QString printData(const QStringList& names) {
    QString xml = QStringLiteral(
        "<PrintData><Title>自定义项档案</Title><Account>001</Account><UserId>demo</UserId>"
        "<UserName>演示</UserName><Date>2026-12-06</Date><Columns>"
        "<Column width=\"1200\" align=\"left\">编号</Column>"
        "<Column width=\"3000\" align=\"left\">名称</Column>"
        "<Column width=\"1500\" align=\"right\">Amount</Column></Columns><Rows>");
    for (int r = 1; r <= names.size(); ++r)
        xml += QStringLiteral("<Row><Cell>A%1</Cell><Cell>%2</Cell><Cell>%3</Cell></Row>")
                   .arg(r)
                   .arg(host::xmlText(names.at(r - 1)))
                   .arg(r * 1.5);
    return xml + QStringLiteral("</Rows></PrintData>");
}

QString cell(const QString& text) {
    return QStringLiteral("<Cell>") + host::xmlText(text) + QStringLiteral("</Cell>");
}

QString printData(int rows) {
    QStringList names;
    for (int r = 1; r <= rows; ++r) names << QStringLiteral("项目 %1").arg(r);
    return printData(names);
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

TEST_F(PrintControlTest, PagesBreakAfterTheLastRowThatFitsAndEachCarriesTheHeading) {
    ASSERT_TRUE(prn.SetDataStyleXML(printData(1), {}));
    const int perPage = prn.rowsPerPage();
    ASSERT_GT(perPage, 20);  // A4 portrait holds a good list
    for (const int rows : {perPage, perPage + 1}) {
        SCOPED_TRACE(rows);
        ASSERT_TRUE(prn.SetDataStyleXML(printData(rows), {}));
        ASSERT_TRUE(prn.printToPdf(file("rows.pdf"))) << prn.lastError().toStdString();
        EXPECT_EQ(pdfPages(file("rows.pdf")), rows <= perPage ? 1 : 2);
    }

    // Numbered rows count on across the break; every page has the heading and its number.
    prn.setPrintNo(true);
    ASSERT_TRUE(prn.printToPdf(file("numbered.pdf")));
    const QStringList pages = pdfText(file("numbered.pdf")).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    for (int p = 0; p < 2; ++p) {
        for (const QString& expected : {QStringLiteral("自定义项档案"), QStringLiteral("User: demo 演示"),
                                        QStringLiteral("名称"), QStringLiteral("Page %1 / 2").arg(p + 1)})
            EXPECT_TRUE(pages[p].contains(expected)) << p << ": " << expected.toStdString();
    }
    EXPECT_TRUE(pages[0].contains(QStringLiteral("项目 %1 ").arg(perPage)));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("项目 %1 ").arg(perPage + 1)));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("\\b%1\\s+A%1\\s").arg(perPage + 1))
                    .match(pages[1])
                    .hasMatch())
        << pages[1].toStdString();
}

TEST_F(PrintControlTest, WorkbooksAndCsvFilesReadBackToTheListedTexts) {
    const QStringList names = testsupport::hostileTexts();
    ASSERT_TRUE(prn.SetDataStyleXML(printData(names), {}));
    prn.setPrintNo(true);
    for (const char* name : {"list.xlsx", "list.csv"}) {
        SCOPED_TRACE(name);
        const bool csv = QString::fromLatin1(name).endsWith(QLatin1String(".csv"));
        const controls::ExportResult r = prn.ExportToFile(file(name));
        ASSERT_EQ(r.count, names.size()) << r.error.toStdString();
        const QList<QVariantList> rows = spreadsheetRows(file(name));
        ASSERT_EQ(rows.size(), names.size() + 1);
        EXPECT_EQ(rows[0], (QVariantList{"No.", "编号", "名称", "Amount"}));
        for (int r = 1; r <= names.size(); ++r) {
            SCOPED_TRACE(testsupport::traceText(names[r - 1]));
            ASSERT_EQ(rows[r].size(), 4);
            EXPECT_EQ(rows[r][1].toString(), QStringLiteral("A%1").arg(r));
            EXPECT_EQ(rows[r][2].toString(), names[r - 1]);
            // A workbook holds numbers as numbers.
            EXPECT_EQ(rows[r][3], csv ? QVariant(QString::number(r * 1.5)) : QVariant(r * 1.5));
            EXPECT_EQ(rows[r][0].toInt(), r);
        }
    }
    QFile csv(file("list.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().startsWith("\xEF\xBB\xBF"));  // UTF-8 with a byte-order mark
}

TEST_F(PrintControlTest, ExportTakesTheChosenTypeAndSaysWhatWentWrong) {
    ASSERT_TRUE(prn.SetDataStyleXML(printData(4), {}));
    // A name without extension takes the chosen type's.
    host.answer = [this](QDialog* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        fd->selectNameFilter(fd->nameFilters().at(1));
        fd->selectFile(file("chosen"));
        return int(QDialog::Accepted);
    };
    controls::ExportResult r = prn.ExportToFile();
    EXPECT_EQ(r.count, 4);
    EXPECT_EQ(r.path, file("chosen.csv"));
    EXPECT_TRUE(QFile::exists(file("chosen.csv")));

    r = prn.ExportToFile(file("list.doc"));
    EXPECT_EQ(r.count, -1);
    EXPECT_TRUE(r.error.contains(QStringLiteral("doc"))) << r.error.toStdString();
    EXPECT_FALSE(QFile::exists(file("list.doc")));
}

TEST_F(PrintControlTest, ThePageSetUpChosenIsKeptInTheStyleAndPrinted) {
    ASSERT_TRUE(prn.SetDataStyleXML(printData(5), {}));
    QSignalSpy changed(&prn, &PrintControl::styleChanged);
    EXPECT_EQ(prn.PageSetup(), -1);  // cancelled
    host.answer = [](QDialog* d) {
        auto* paper = d->findChild<QComboBox*>(QStringLiteral("CmbPaper"));
        paper->setCurrentIndex(paper->findText(QPageSize::name(QPageSize::A3)));
        d->findChild<QRadioButton*>(QStringLiteral("OptLandscape"))->click();
        d->findChild<QDoubleSpinBox*>(QStringLiteral("SpnLeft"))->setValue(20);
        return int(QDialog::Accepted);
    };
    EXPECT_EQ(prn.PageSetup(), 0);
    prn.TriggerEvent(0);
    ASSERT_EQ(changed.size(), 1);

    // The style text brings the page set-up back, onto the paper.
    PrintControl again;
    ASSERT_TRUE(again.SetDataStyleXML(printData(5), changed.at(0).at(0).toString()));
    EXPECT_NEAR(again.printStyle().marginsMm.left(), 20, 0.1);
    ASSERT_TRUE(again.printToPdf(file("a3.pdf")));
    const QString info = run(QStringLiteral("pdfinfo"), {file("a3.pdf")});
    EXPECT_TRUE(info.contains(QStringLiteral("1191 x 842 pts (A3)"))) << info.toStdString();

    // Data that cannot be read is refused.
    EXPECT_FALSE(again.SetDataStyleXML(QStringLiteral("<Rows>"), {}));
    EXPECT_FALSE(again.lastError().isEmpty());
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
