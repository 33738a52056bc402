// Printing, previewing, page set-up and export of the catalogue's list, the about box and the
// window options a user keeps. Every dialog is answered by the test's window host.
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <functional>

#include "catalogue/AboutBox.h"
#include "controls/PrintControl.h"
#include "host/IWindowHost.h"
#include "tests/catalogue/CatalogueFixture.h"
#include "tests/controls/PrintFiles.h"

using namespace cattest;
using namespace printtest;

namespace {

class CataloguePrint : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    testsupport::TestWindowHost& host = session.windows;
};

QAction* menu(const catalogue::FrmUserDef& w, const char* name) {
    return w.findChild<QAction*>(QString::fromLatin1(name));
}

}  // namespace

TEST_F(CataloguePrint, PreviewAndPrintShowTheListedItems) {
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据体")));
    const int rows = w->grid()->rows() - 1;
    ASSERT_GT(rows, 0);

    int previewPages = -1;
    host.onModal = [&previewPages](QDialog* d) {
        auto* preview = d->findChild<QPrintPreviewWidget*>();
        preview->updatePreview();
        previewPages = preview->pageCount();
        return int(QDialog::Rejected);
    };
    w->RunCommand(QStringLiteral("Preview"));
    EXPECT_EQ(host.shown, QStringList{QStringLiteral("QPrintPreviewDialog")});
    EXPECT_EQ(previewPages, w->printControl()->pageCount());
    EXPECT_EQ(w->printControl()->document().rows.size(), rows);
    // The host toolbar's "Print" with its second text "Preview" previews too.
    w->RunCommand(QStringLiteral("Print"), QStringLiteral("Preview"));
    EXPECT_EQ(host.shown.last(), QStringLiteral("QPrintPreviewDialog"));

    host.onModal = [this](QDialog* d) {
        QPrinter* p = qobject_cast<QPrintDialog*>(d)->printer();
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(file("list.pdf"));
        return int(QDialog::Accepted);
    };
    w->findChild<QAction*>(QStringLiteral("mPrint"))->trigger();
    EXPECT_EQ(host.shown.last(), QStringLiteral("QPrintDialog"));
    EXPECT_EQ(pdfPages(file("list.pdf")), w->printControl()->pageCount());
    const QString text = pdfText(file("list.pdf"));
    const auto printed = [&text](const QString& expected) {
        return text.contains(expected.normalized(QString::NormalizationForm_KC));
    };
    EXPECT_TRUE(printed(QStringLiteral("自定义项"))) << text.toStdString();
    EXPECT_TRUE(printed(QStringLiteral("账套：001")));
    EXPECT_TRUE(printed(QStringLiteral("操作员：demo")));
    EXPECT_TRUE(printed(w->grid()->text(1, catalogue::kColItemName)));
    // The foot of the page ("第 1 / n 页"), as the text extraction closes it up.
    EXPECT_TRUE(QString(text).remove(QLatin1Char(' ')).contains(
        QStringLiteral("第1/%1").arg(w->printControl()->pageCount())));
    EXPECT_TRUE(session.prompter->asked().isEmpty());
}

TEST_F(CataloguePrint, SaveFileWritesAWorkbookAndSaysHowManyRows) {
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据头")));
    const int rows = w->grid()->rows() - 1;
    menu(*w, "mPrintNo")->trigger();  // numbered rows
    host.onModal = [this](QDialog* d) {
        qobject_cast<QFileDialog*>(d)->selectFile(file("items.xlsx"));
        return int(QDialog::Accepted);
    };
    w->RunCommand(QStringLiteral("SaveFile"));
    const QStringList lines = xlsxRows(file("items.xlsx")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), rows + 1);
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("'序号'\t")));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("1\t")));
    EXPECT_TRUE(lines.at(0).contains(w->grid()->text(0, catalogue::kColItemName)));
    ASSERT_NE(session.prompter->last(), nullptr);
    EXPECT_TRUE(session.prompter->last()->text.contains(QString::number(rows)));

    // A cancelled choice of file writes nothing and says nothing.
    session.prompter->clear();
    host.onModal = nullptr;  // cancelled
    w->RunCommand(QStringLiteral("savefile"));
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    // A file that cannot be written is reported with its reason.
    host.onModal = [this](QDialog* d) {
        qobject_cast<QFileDialog*>(d)->selectFile(file("no/such/folder/items.csv"));
        return int(QDialog::Accepted);
    };
    w->RunCommand(QStringLiteral("SaveFile"));
    ASSERT_NE(session.prompter->last(), nullptr);
    EXPECT_TRUE(session.prompter->last()->text.contains(QStringLiteral("items.csv")));
}

TEST_F(CataloguePrint, PageSetUpIsStoredForTheListAndUsedNextTime) {
    auto w = openCatalogue();
    // The list is wider than a portrait page: it goes across until the user says otherwise.
    bool landscapeShown = false;
    host.onModal = [&landscapeShown](QDialog* d) {
        landscapeShown = d->findChild<QRadioButton*>(QStringLiteral("OptLandscape"))->isChecked();
        d->findChild<QRadioButton*>(QStringLiteral("OptPortrait"))->click();
        return int(QDialog::Accepted);
    };
    w->RunCommand(QStringLiteral("SetUp"));
    EXPECT_EQ(host.shown, QStringList{QStringLiteral("controls::PageSetupDialog")});
    EXPECT_TRUE(landscapeShown);
    EXPECT_TRUE(session.pub->GetPrnStyle(session.srv.get(), QStringLiteral("UserDef"))
                    .contains(QStringLiteral("portrait")));

    // Another window of the catalogue starts from the stored page.
    auto again = openCatalogue();
    bool portraitShown = false;
    host.onModal = [&portraitShown](QDialog* d) {
        portraitShown = d->findChild<QRadioButton*>(QStringLiteral("OptPortrait"))->isChecked();
        return int(QDialog::Rejected);
    };
    again->RunCommand(QStringLiteral("SetUp"));
    EXPECT_TRUE(portraitShown);
    EXPECT_EQ(again->printControl()->printStyle().orientation, QPageLayout::Portrait);
}

TEST_F(CataloguePrint, AnEmptyListIsNotPrinted) {
    auto w = openCatalogue();
    w->grid()->setRows(1);  // header only
    for (const char* key : {"Print", "Preview", "SetUp", "SaveFile"}) {
        session.prompter->clear();
        w->RunCommand(QString::fromLatin1(key));
        ASSERT_NE(session.prompter->last(), nullptr) << key;
        EXPECT_EQ(session.prompter->last()->text,
                  session.pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.nodata")));
    }
    EXPECT_TRUE(host.shown.isEmpty());
}

TEST_F(CataloguePrint, AboutShowsTheProgramAndItsVersion) {
    auto w = openCatalogue();
    QString name, version;
    host.onModal = [&](QDialog* d) {
        name = d->findChild<QLabel*>(QStringLiteral("LblName"))->text();
        version = d->findChild<QLabel*>(QStringLiteral("LblVersion"))->text();
        return int(QDialog::Accepted);
    };
    menu(*w, "mAbout")->trigger();
    EXPECT_EQ(host.shown, QStringList{QStringLiteral("catalogue::AboutBox")});
    EXPECT_EQ(name, QStringLiteral("用户自定义项"));
    EXPECT_TRUE(version.contains(catalogue::AboutBox::version()));
    EXPECT_FALSE(catalogue::AboutBox::version().isEmpty());
}

TEST_F(CataloguePrint, StatusBarAndButtonTextsAreRememberedForTheUser) {
    {
        auto w = openCatalogue();
        EXPECT_TRUE(w->findChild<QStatusBar*>()->isVisible());
        EXPECT_EQ(w->hostToolbar()->displayStyle(), 1);
        menu(*w, "mStb")->trigger();
        menu(*w, "mText")->trigger();
        EXPECT_FALSE(w->findChild<QStatusBar*>()->isVisible());
        EXPECT_EQ(w->hostToolbar()->displayStyle(), 0);
        w->close();
    }
    auto reopened = openCatalogue();
    EXPECT_FALSE(menu(*reopened, "mStb")->isChecked());
    EXPECT_FALSE(reopened->findChild<QStatusBar*>()->isVisible());
    EXPECT_FALSE(menu(*reopened, "mText")->isChecked());
    EXPECT_EQ(reopened->hostToolbar()->displayStyle(), 0);

    menu(*reopened, "mStb")->trigger();
    EXPECT_TRUE(reopened->findChild<QStatusBar*>()->isVisible());
    auto third = openCatalogue();
    EXPECT_TRUE(third->findChild<QStatusBar*>()->isVisible());
}
