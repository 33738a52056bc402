// What the print control puts on paper and in files: page breaks with every page's heading and
// row numbers, workbooks and CSV files that read back to the listed texts, the page set-up
// chosen in its dialog. The windows' own printing flows are tested with the windows.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QRadioButton>
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
    for (const int rows : {0, 1, perPage, perPage + 1}) {
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
        for (const QString& expected : {QStringLiteral("自定义项档案"), QStringLiteral("Account: 001"),
                                        QStringLiteral("User: demo 演示"), QStringLiteral("2026-12-06"),
                                        QStringLiteral("No."), QStringLiteral("名称"),
                                        QStringLiteral("Page %1 / 2").arg(p + 1)})
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
    controls::ExportResult r = prn.ExportToFile();  // the file dialog cancelled
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

    // A style that cannot be read gives the default page; data that cannot is refused.
    EXPECT_TRUE(again.SetDataStyleXML(printData(1), QStringLiteral("<Page")));
    EXPECT_EQ(again.printStyle().orientation, QPageLayout::Portrait);
    EXPECT_FALSE(again.SetDataStyleXML(QStringLiteral("<Rows>"), {}));
    EXPECT_FALSE(again.lastError().isEmpty());
}
