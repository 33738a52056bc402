// What the user gets from printing, export and page set-up of the catalogue's list, its package
// export, and the window options kept for the user. Every dialog is answered by the test's window host.
#include <QDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>

#include "catalogue/FrmExportPackage.h"
#include "controls/PrintControl.h"
#include "platform/package/PackageAccount.h"
#include "platform/package/PackageWriter.h"
#include "host/IWindowHost.h"
#include "tests/catalogue/CatalogueFixture.h"
#include "tests/controls/PrintFiles.h"
#include "tests/support/HostileTexts.h"

using namespace cattest;
using namespace printtest;

namespace {

class CataloguePrint : public SessionTest, public ::testing::WithParamInterface<TestAccount::Kind> {
protected:
    CataloguePrint() : SessionTest(GetParam()) {}
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QString lastMessage() const {
        return session.prompter->last() ? session.prompter->last()->text : QString();
    }
    QTemporaryDir dir;
    testsupport::TestWindowHost& host = session.windows;
};

}  // namespace

TEST_P(CataloguePrint, PrintedPagesShowTheListedItemsUnderTheAccountAndOperator) {
    ASSERT_TRUE(dir.isValid());
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据体")));
    host.onModal = [](QDialog*) { return int(QDialog::Rejected); };
    w->RunCommand(QStringLiteral("Print"), QStringLiteral("Preview"));  // the toolbar's menu
    EXPECT_EQ(host.shown, QStringList{QStringLiteral("QPrintPreviewDialog")});

    host.onModal = [this](QDialog* d) {
        QPrinter* p = qobject_cast<QPrintDialog*>(d)->printer();
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(file("list.pdf"));
        return int(QDialog::Accepted);
    };
    w->findChild<QAction*>(QStringLiteral("mPrint"))->trigger();
    const int pages = w->printControl()->pageCount();
    EXPECT_EQ(pdfPages(file("list.pdf")), pages);
    const QString text = pdfText(file("list.pdf"));
    for (const QString& shown : {QStringLiteral("自定义项"), QStringLiteral("账套：001"),
                                 QStringLiteral("操作员：demo"), w->grid()->text(1, catalogue::kColItemName)})
        EXPECT_TRUE(text.contains(shown.normalized(QString::NormalizationForm_KC))) << shown.toStdString();
    // The foot of the page ("第 1 / n 页"), as the text extraction closes it up.
    EXPECT_TRUE(QString(text).remove(QLatin1Char(' ')).contains(QStringLiteral("第1/%1").arg(pages)));
    EXPECT_TRUE(session.prompter->asked().isEmpty());
}

// The whole list on landscape pages, in either language: every character of every title and
// cell is printed, nothing cut short.
TEST(CataloguePrintWhole, EveryTitleAndCellIsPrintedWhole) {
    for (const char* language : {"en-US", "zh-CN"}) {
        SCOPED_TRACE(language);
        TestSession session{QString::fromLatin1(language)};
        ASSERT_TRUE(session.ok()) << session.error().toStdString();
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("all.pdf"));
        auto w = openCatalogue();
        ASSERT_TRUE(w->selectClass(QStringLiteral("r")));
        session.windows.onModal = [&pdf](QDialog* d) {
            QPrinter* p = qobject_cast<QPrintDialog*>(d)->printer();
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
            return int(QDialog::Accepted);
        };
        w->findChild<QAction*>(QStringLiteral("mPrint"))->trigger();
        EXPECT_EQ(w->printControl()->printStyle().orientation, QPageLayout::Landscape);
        const QString drawn = pdfDrawnText(pdf);
        EXPECT_FALSE(drawn.isEmpty());
        EXPECT_FALSE(drawn.contains(QChar(0x2026)));
        const controls::Grid* g = w->grid();
        for (int r = 0; r < g->rows(); ++r)
            for (int c = 0; c < g->cols(); ++c)
                if (g->colWidth(c) > 0 && !pdfShows(drawn, g->text(r, c)))
                    ADD_FAILURE() << "row " << r << ", column " << c << ": " << g->text(r, c).toStdString();
    }
}

TEST_P(CataloguePrint, ExportWritesAWorkbookOrSaysWhyNot) {
    ASSERT_TRUE(dir.isValid());
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据头")));
    const int rows = w->grid()->rows() - 1;
    w->findChild<QAction*>(QStringLiteral("mPrintNo"))->trigger();  // numbered rows
    host.onModal = [this](QDialog* d) {
        qobject_cast<QFileDialog*>(d)->selectFile(file("items.xlsx"));
        return int(QDialog::Accepted);
    };
    w->RunCommand(QStringLiteral("SaveFile"));
    const QStringList lines = xlsxRows(file("items.xlsx")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), rows + 1);
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("'序号'\t")));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("1\t")));
    EXPECT_TRUE(lastMessage().contains(QString::number(rows)));

    // A cancelled choice of file says nothing; a file that cannot be written is named.
    session.prompter->clear();
    host.onModal = nullptr;
    w->RunCommand(QStringLiteral("savefile"));
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    host.onModal = [this](QDialog* d) {
        qobject_cast<QFileDialog*>(d)->selectFile(file("no/such/folder/items.csv"));
        return int(QDialog::Accepted);
    };
    w->RunCommand(QStringLiteral("SaveFile"));
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("items.csv")));
}

// Names as the account stores them reach the workbook and the CSV file unchanged.
TEST_P(CataloguePrint, ExportedFilesHoldTheStoredNames) {
    ASSERT_TRUE(dir.isValid());
    const QStringList names = testsupport::hostileTexts(60);
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("r")));
    const QStringList ids = listedIds(*w);
    ASSERT_GE(ids.size(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        // The stored name, with no other in the session's language.
        platform::db::Connection& db = session.account.conn();
        QString error;
        ASSERT_TRUE(db.execParams(R"(UPDATE "UserDef_Base" SET "cItemName" = ?1 WHERE "cId" = ?2)",
                                  {names[i], ids[i]}, &error) &&
                    db.execParams(R"(DELETE FROM "userdef_lang" WHERE "cid" = ?1)", {ids[i]}, &error))
            << error.toStdString();
    }
    w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("r")));
    for (const char* name : {"names.xlsx", "names.csv"}) {
        SCOPED_TRACE(name);
        host.onModal = [&](QDialog* d) {
            qobject_cast<QFileDialog*>(d)->selectFile(file(name));
            return int(QDialog::Accepted);
        };
        w->RunCommand(QStringLiteral("SaveFile"));
        QStringList cells;
        for (const QVariantList& row : spreadsheetRows(file(name)))
            for (const QVariant& cell : row) cells << cell.toString();
        for (const QString& stored : names)
            EXPECT_TRUE(cells.contains(stored)) << testsupport::traceText(stored);
    }
}

// Two items picked in the list, the class shown or everything: the file holds what the command
// line's export of the same choice writes, byte for byte.
TEST_P(CataloguePrint, PackageExportWritesTheChosenItems) {
    namespace pkg = platform::package;
    ASSERT_TRUE(dir.isValid());
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据头")));
    controls::Grid* g = w->grid();
    ASSERT_GE(g->rows(), 4);
    const auto click = [g](int row, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, keys,
                          g->visualRect(g->model()->index(row - 1, catalogue::kColItem)).center());
    };
    click(1, Qt::NoModifier);
    click(3, Qt::ControlModifier);
    const QStringList ids = {g->text(1, catalogue::kColId), g->text(3, catalogue::kColId)};

    struct Case { const char* option; pkg::PackageScope::Kind kind; QStringList classes, labels; };
    for (const Case& c : {Case{"OptSelected", pkg::PackageScope::Items, {}, ids},
                          Case{"OptClass", pkg::PackageScope::Classes, {QStringLiteral("单据头")}, {}},
                          Case{"OptAll", pkg::PackageScope::All, {}, {}}}) {
        SCOPED_TRACE(c.option);
        const QString path = file(c.option);  // no suffix: ".xml" is added
        host.onModal = [&](QDialog* d) {
            if (auto* files = qobject_cast<QFileDialog*>(d)) files->selectFile(path);
            else d->findChild<QRadioButton*>(QLatin1String(c.option))->click();
            return int(QDialog::Accepted);
        };
        session.prompter->clear();
        w->findChild<QAction*>(QStringLiteral("mExportPackage"))->trigger();
        QFile written(path + QStringLiteral(".xml"));
        ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << lastMessage().toStdString();
        pkg::Selection selection;
        selection.scope.kind = c.kind;
        selection.scope.classes = c.classes;
        selection.labels = c.labels;
        pkg::Package expected;
        QString error;
        ASSERT_TRUE(pkg::readAccount(session.account.conn(), selection, &expected, &error))
            << error.toStdString();
        if (c.kind == pkg::PackageScope::Items) {
            EXPECT_EQ(expected.items.size(), qsizetype(2));
        }
        EXPECT_EQ(written.readAll().toStdString(), pkg::writePackage(expected, &error).toStdString());
        EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("已导出 %1 个项目").arg(expected.items.size())))
            << lastMessage().toStdString();
    }
    // Cancelling the question asks for no file.
    host.onModal = nullptr;
    w->RunCommand(QStringLiteral("ExportPackage"));
    EXPECT_EQ(host.shown.last(), QStringLiteral("catalogue::FrmExportPackage"));
}

TEST_P(CataloguePrint, PageSetUpIsKeptForTheNextWindow) {
    auto w = openCatalogue();
    // The list is wider than a portrait page: it goes across until the user says otherwise.
    bool landscapeShown = false;
    host.onModal = [&landscapeShown](QDialog* d) {
        landscapeShown = d->findChild<QRadioButton*>(QStringLiteral("OptLandscape"))->isChecked();
        d->findChild<QRadioButton*>(QStringLiteral("OptPortrait"))->click();
        return int(QDialog::Accepted);
    };
    w->RunCommand(QStringLiteral("SetUp"));
    EXPECT_TRUE(landscapeShown);
    openCatalogue()->RunCommand(QStringLiteral("SetUp"));
    EXPECT_FALSE(landscapeShown);
}

TEST_P(CataloguePrint, AnEmptyListIsNotPrinted) {
    auto w = openCatalogue();
    w->grid()->setRows(1);  // header only
    for (const char* key : {"Print", "Preview", "SetUp", "SaveFile"}) {
        session.prompter->clear();
        w->RunCommand(QString::fromLatin1(key));
        EXPECT_EQ(lastMessage(), session.pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.nodata")))
            << key;
    }
    EXPECT_TRUE(host.shown.isEmpty());
}

TEST_P(CataloguePrint, StatusBarAndButtonTextsAreKeptForTheUser) {
    auto w = openCatalogue();
    EXPECT_TRUE(w->findChild<QStatusBar*>()->isVisible());
    w->findChild<QAction*>(QStringLiteral("mStb"))->trigger();
    w->findChild<QAction*>(QStringLiteral("mText"))->trigger();
    w->close();
    auto reopened = openCatalogue();
    EXPECT_FALSE(reopened->findChild<QStatusBar*>()->isVisible());
    EXPECT_EQ(reopened->hostToolbar()->displayStyle(), 0);
    EXPECT_FALSE(reopened->findChild<QAction*>(QStringLiteral("mText"))->isChecked());
}

INSTANTIATE_TEST_SUITE_P(Kinds, CataloguePrint,
                         ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(kindName(info.param)); });
