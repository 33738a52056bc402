// One language per session: every window of the desk, opened as a user opens it in an English
// and a traditional Chinese session, shows no text of another script, outside user data.
//
// User data are the values users store and nothing else: the cells of a value list and the value
// boxes, the three names of the item editor's name grid, a default value, a rule's description,
// and an item's stored name where the item has none in the session's language (it falls back to
// the simplified Chinese one), the user's and the account's names.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QAbstractButton>
#include <QSet>

#include "app/Desk.h"
#include "app/Login.h"
#include "app/PortalFrame.h"
#include "carryover/FrmMakeVouchMain.h"
#include "carryover/FrmMakeVouchSet.h"
#include "common/ResText.h"
#include "controls/Grid.h"
#include "controls/LookupWindow.h"
#include "controls/RefEdit.h"
#include "entry/CatalogueWindow.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/TestSession.h"

namespace {

// Characters only the simplified script writes (their traditional forms differ), as far as the
// desk's vocabulary goes.
const QString kSimplifiedOnly = QStringLiteral(
    "单据头体项设扩义图档类数额总账销购货库应质员务业认计订输运费发开关闭导码录删码"
    "们这个来时为说国对没当还进种样现经从两问与点产实动电场长门间页题预览选择键错误确"
    "帮统号级层编辑状态条换网络连结组织机构区规则带标记称语简隐显启检验权汇报价调拨仓属"
    "颜宽");

bool foreign(QChar c, bool english) {
    const ushort u = c.unicode();
    if (english)
        return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
               (u >= 0xFF00 && u <= 0xFFEF);
    return kSimplifiedOnly.contains(c);
}

class LanguageSweepTest : public testsupport::AccountTest,
                          public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        AccountTest::SetUp();
        language = QString::fromLatin1(GetParam());
        QString error;
        login = app::Login::open(account.dataRoot(), QStringLiteral("001"), QStringLiteral("demo"),
                                 QStringLiteral("演示管理员"), language, &error);
        ASSERT_TRUE(login) << error.toStdString();
        desk = std::make_unique<app::Desk>(login, QStringLiteral("演示账套"), prompter, &windows);
        // Names of items without one in the session's language are shown as stored.
        const auto rows = account.db().query(
            QStringLiteral("SELECT cItemName FROM UserDef_Base b WHERE cItemName <> '' AND NOT "
                           "EXISTS (SELECT 1 FROM userdef_lang l WHERE l.cid = b.cId AND "
                           "l.LocaleID = ? AND l.cItemName <> '')"),
            {language});
        ASSERT_TRUE(rows);
        for (int r = 0; r < rows->recordCount(); ++r) userData << rows->textAt(r, 0);
        userData << QStringLiteral("演示管理员") << QStringLiteral("演示账套");
    }
    void TearDown() override { desk.reset(); }

    // "window: text" for every visible text of the window that holds a stray character.
    void sweep(QWidget* top, const QString& where) {
        const bool english = language == QLatin1String("en-US");
        const auto check = [&](const QString& text, const QString& what) {
            QString rest = text;
            for (const QString& d : std::as_const(userData)) rest.remove(d);
            for (const QChar c : std::as_const(rest))
                if (foreign(c, english)) {
                    strays << where + QStringLiteral(" / ") + what + QStringLiteral(": ") + text;
                    return;
                }
        };
        const QString desc = userdef::ResText("Q9.AA.ARCHIVE.FIELD.cdesc");
        const bool valueOrNames = where == QLatin1String("value window") ||
                                  where == QLatin1String("item editor");
        QCoreApplication::processEvents();  // widgets a layout took in are shown
        swept << where;
        check(top->windowTitle(), QStringLiteral("title"));
        QList<QWidget*> widgets = top->findChildren<QWidget*>();
        for (QWidget* w : std::as_const(widgets)) {
            if (!w->isVisibleTo(top)) continue;
            const QString name = w->objectName();
            static const QStringList userBoxes = {"EdtcValue", "EdtcAlias", "EdtcBarCode",
                "EdtcParentValue", "EdtcDefaultVal"};
            if (userBoxes.contains(name)) continue;
            if (auto* l = qobject_cast<QLabel*>(w)) check(l->text(), name);
            if (auto* b = qobject_cast<QAbstractButton*>(w)) check(b->text(), name);
            if (auto* e = qobject_cast<QLineEdit*>(w)) check(e->text(), name);
            if (auto* e = qobject_cast<QLineEdit*>(w); e && e->isReadOnly() && top->isVisible() &&
                e->fontMetrics().horizontalAdvance(e->text()) > e->width() - 10)  // cut
                strays << where + QStringLiteral(" / ") + name + QStringLiteral(" cut: ") + e->text();
            if (auto* g = qobject_cast<QGroupBox*>(w)) check(g->title(), name);
            if (auto* s = qobject_cast<QStatusBar*>(w)) check(s->currentMessage(), name);
            if (auto* c = qobject_cast<QComboBox*>(w))
                for (int i = 0; i < c->count(); ++i) check(c->itemText(i), name);
            if (auto* t = qobject_cast<QTabBar*>(w))
                for (int i = 0; i < t->count(); ++i) check(t->tabText(i), name);
            if (qobject_cast<QMenuBar*>(w) || qobject_cast<QToolBar*>(w)) checkActions(w->actions(), check);
            auto* view = qobject_cast<QAbstractItemView*>(w);
            if (!view || !view->model() || qobject_cast<QHeaderView*>(w)) continue;
            const QAbstractItemModel* m = view->model();
            auto* table = qobject_cast<QTableView*>(view);
            const bool userCells = valueOrNames && name == QLatin1String("Grid");
            for (int c = 0; c < m->columnCount(); ++c) {
                if (table && (table->isColumnHidden(c) || table->columnWidth(c) == 0)) continue;
                const QString header = m->headerData(c, Qt::Horizontal).toString();
                check(header, name + QStringLiteral(" header"));
                if (userCells || header == desc) continue;
                checkCells(*m, QModelIndex(), c, name, check);
            }
        }
    }
    template <typename Check>
    void checkActions(const QList<QAction*>& actions, const Check& check) {
        for (QAction* a : actions) {
            if (!a->isVisible()) continue;
            check(a->text(), QStringLiteral("action ") + a->objectName());
            if (a->menu()) checkActions(a->menu()->actions(), check);
        }
    }
    template <typename Check>
    void checkCells(const QAbstractItemModel& m, const QModelIndex& parent, int col,
                    const QString& name, const Check& check) {
        for (int r = 0; r < m.rowCount(parent); ++r) {
            const QModelIndex at = m.index(r, col, parent);
            check(at.data().toString(), name + QStringLiteral(" row %1").arg(r));
            if (col == 0 && m.hasChildren(m.index(r, 0, parent)))
                for (int c = 0; c < m.columnCount(m.index(r, 0, parent)); ++c)
                    checkCells(m, m.index(r, 0, parent), c, name, check);
        }
    }
    QString language;
    QStringList userData, strays;
    QSet<QString> swept;
    std::shared_ptr<platform::pub::ScriptedPrompter> prompter =
        std::make_shared<platform::pub::ScriptedPrompter>();
    testsupport::TestWindowHost windows;
    std::shared_ptr<app::Login> login;
    std::unique_ptr<app::Desk> desk;
};

}  // namespace

TEST_P(LanguageSweepTest, EveryWindowSpeaksTheSessionsLanguage) {
    app::PortalFrame* portal = desk->portal();
    portal->show();
    desk->openFunction(QStringLiteral("UserDef"));
    auto* catalogue = dynamic_cast<userdef::CatalogueWindow*>(portal->tabs()->widget(0));
    ASSERT_TRUE(catalogue);
    sweep(portal, QStringLiteral("portal and catalogue, all classes"));
    auto* functions = portal->findChild<QListWidget*>(QStringLiteral("LstFunctions"));
    ASSERT_TRUE(functions);
    for (int i = 0; i < functions->count(); ++i) {  // every function's name shown whole
        const QString name = functions->item(i)->text();
        EXPECT_LE(functions->fontMetrics().horizontalAdvance(name) + functions->iconSize().width(),
                  functions->viewport()->width() - 8) << name.toStdString();
    }
    for (const QString& menuTitle : {QStringLiteral("mFile"), QStringLiteral("mOperation")})
        if (auto* menu = catalogue->findChild<QMenu*>(menuTitle)) sweep(menu, menuTitle);

    // Each window a user opens from the catalogue, swept while it is up.
    ASSERT_TRUE(catalogue->selectClass(QStringLiteral("单据头")));
    sweep(catalogue, QStringLiteral("catalogue, header items"));
    const struct {
        const char *item, *command, *window;
    } openings[] = {{"1001", "Define", "item editor"},
                                {"6", "Define", "item editor"},
                                {"8", "Define", "item editor"},  // archive and reference fed
                                {"9", "Define", "item editor"},
                                {"8", "Archive", "value window"},
                                {"6", "Archive", "value window"},
                                {"1003", "Archive", "value window"},
                                {"1001", "CoverSetting", "cover setting"}};
    for (const auto& o : openings) {
        windows.onModal = [&](QDialog* dialog) {
            dialog->show();
            sweep(dialog, QString::fromLatin1(o.window));
            return 0;
        };
        controls::Grid* g = catalogue->grid();
        for (int r = 1; r < g->rows(); ++r)
            if (g->text(r, 1) == QLatin1String(o.item)) g->setCurrentRow(r);
        ASSERT_EQ(g->text(g->currentRow(), 1), QLatin1String(o.item));
        catalogue->RunCommand(QString::fromLatin1(o.command));
    }

    // The batch setting, both tabs searched, then the header tab for the first source listed.
    catalogue->RunCommand(QStringLiteral("MakeVouchSet"));
    auto* batch = dynamic_cast<carryover::FrmMakeVouchMain*>(portal->tabs()->currentWidget());
    ASSERT_TRUE(batch);
    for (int tab : {1, 0}) {
        batch->clickTab(tab);
        batch->Operating(QStringLiteral("Refresh"));
        ASSERT_GT(batch->currentGrid()->rows(), 1);
        sweep(batch, QStringLiteral("batch setting tab %1").arg(tab));
    }
    batch->sourceChooser()->setLookupRunner([&](controls::LookupWindow& lookup) {
        sweep(&lookup, QStringLiteral("batch table look-up"));
        return lookup.choose(), lookup.choice();  // the first row
    });
    QTest::keyClick(batch->sourceChooser()->lineEdit(), Qt::Key_F2);
    batch->Operating(QStringLiteral("Refresh"));
    EXPECT_GT(batch->currentGrid()->rows(), 1) << batch->sourceChooser()->text().toStdString();
    sweep(batch, QStringLiteral("batch setting, tables chosen"));

    // The rule list from the portal's function list, and the rule editor on its first rule.
    for (int i = 0; i < functions->count(); ++i)
        if (functions->item(i)->data(Qt::UserRole) == QStringLiteral("MakeVouchSet"))
            emit functions->itemActivated(functions->item(i));
    auto* rules = dynamic_cast<carryover::FrmMakeVouchSet*>(portal->tabs()->currentWidget());
    ASSERT_TRUE(rules);
    ASSERT_GT(rules->grid()->rows(), 1);
    sweep(rules, QStringLiteral("rule list"));
    windows.onModal = [this](QDialog* dialog) {
        sweep(dialog, QStringLiteral("rule editor"));
        return 0;
    };
    rules->grid()->setCurrentRow(1);
    rules->ButtonClick(QStringLiteral("edit"));

    for (const char* window : {"item editor", "value window", "cover setting", "rule editor"})
        EXPECT_TRUE(swept.contains(QString::fromLatin1(window))) << window << " not opened";
    EXPECT_TRUE(strays.isEmpty()) << strays.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageSweepTest, ::testing::Values("en-US", "zh-TW"));
