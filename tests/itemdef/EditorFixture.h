#pragma once
// The item editor on a session over a fresh demo-account copy (whose window host lets a test
// drive modal windows without blocking; the sample plug-in is installed beside the tests),
// opened as the catalogue opens it, and the account's rows read back with plain SQLite.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <memory>

#include "common/Globals.h"
#include "controls/CheckTree.h"
#include "controls/CheckTreeModel.h"
#include "controls/HostToolbar.h"
#include "host/Quote.h"
#include "itemdef/FrmZAM.h"
#include "itemdef/ItemRecord.h"
#include "tests/support/TestSession.h"

namespace edtest {

inline const QString kHeader = QStringLiteral("单据头");
inline const QString kBody = QStringLiteral("单据体");
inline const QString kInventory = QStringLiteral("存货");
inline const QString kVendor = QStringLiteral("供应商");
inline const QString kCustomer = QStringLiteral("客户");
inline const QString kContact = QStringLiteral("联系人");
inline const QString kBatch = QStringLiteral("批次属性");

class EditorTest : public testsupport::SessionTest {
protected:
    explicit EditorTest(testsupport::TestAccount::Kind kind = testsupport::TestAccount::Kind::Embedded)
        : SessionTest(kind) {}
    void TearDown() override { editor.reset(); }

    // Shows every modal window as a plain one, runs the test's look at it, then closes it.
    void driveModals(std::function<void(QDialog*)> look) {
        session.windows.onModal = [look](QDialog* dialog) {
            dialog->show();
            (void)QTest::qWaitForWindowExposed(dialog);
            if (look) look(dialog);
            if (dialog->isVisible()) dialog->close();
            return dialog->result();
        };
    }

    // The class's items as the catalogue hands them over.
    host::RecordSetPtr itemSet(const QString& cClass) {
        return session.srv->OpenX(
            QStringLiteral("select ") + itemdef::kItemColumns + itemdef::kItemExtraColumns +
            QStringLiteral(" from Userdef where cClass='") + host::sqlValue(cClass) +
            QStringLiteral("' order by cClass ,cast(cid as int) asc,cItem ASC "));
    }
    // Opens the editor on an existing item and shows it.
    itemdef::FrmZAM& open(const QString& cClass, const QString& cId) {
        host::RecordSetPtr rs = itemSet(cClass);
        EXPECT_TRUE(rs);
        int row = 0;
        for (rs->moveFirst(); !rs->eof() && !row; rs->moveNext())
            if (rs->text(QStringLiteral("cId")) == cId) row = rs->absolutePosition();
        EXPECT_GT(row, 0) << cId.toStdString();
        rs->setAbsolutePosition(row);
        editor = std::make_unique<itemdef::FrmZAM>();
        editor->init(rs, row);
        show();
        return *editor;
    }
    // Opens the editor to add an extended item of the class.
    itemdef::FrmZAM& openNew(const QString& cClass) {
        host::RecordSetPtr rs = itemSet(cClass);
        const int row = rs->isEmpty() ? 0 : 1;
        rs->setAbsolutePosition(row);
        editor = std::make_unique<itemdef::FrmZAM>();
        editor->init(rs, row);
        editor->Add(cClass, rs->recordCount() + 1);
        show();
        return *editor;
    }
    // A new text item of the class with three names, the lengths and the tables ticked.
    void fillNew(const QString& cClass, const QStringList& tables = {},
                 const QString& maxLen = "20", const QString& length = "10") {
        openNew(cClass);
        fillIn(tables, maxLen, length);
    }
    // The same in the editor shown.
    void fillIn(const QStringList& tables = {}, const QString& maxLen = "20",
                const QString& length = "10") {
        chooseType(itemdef::kText);
        edit("EdtIMaxLen")->setText(maxLen);
        edit("EdtiLength")->setText(length);
        setName(QStringLiteral("规格"), 0);
        setName(QStringLiteral("規格"), 1);
        setName(QStringLiteral("Spec"), 2);
        for (const QString& t : tables) tick(QStringLiteral("Mark&&") + t, true);
    }
    void show() {
        editor->resize(900, 560);
        editor->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    }

    template <typename T>
    T* w(const char* name) const {
        T* widget = editor->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* edit(const char* name) const { return w<QLineEdit>(name); }
    QComboBox* combo(const char* name) const { return w<QComboBox>(name); }
    QCheckBox* check(const char* name) const { return w<QCheckBox>(name); }
    QTableWidget* names() const { return w<QTableWidget>("Grid"); }
    bool enabled(const char* key) const {
        QAction* a = editor->hostToolbar()->action(QString::fromLatin1(key));
        return a && a->isEnabled() && a->isVisible();
    }
    void chooseType(int typePosition) {
        QComboBox* c = combo("CmbCType");
        const int index = c->findData(itemdef::typeStored(typePosition));
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
    // Picks the first entry whose text starts with the given one.
    void pick(QComboBox* c, const QString& text) {
        int index = 0;
        while (index < c->count() && !c->itemText(index).startsWith(text)) ++index;
        ASSERT_LT(index, c->count()) << text.toStdString();
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
    void setName(const QString& name, int cell = 0) { names()->item(0, cell)->setText(name); }
    void tick(const QString& key, bool on) {
        controls::CheckTreeModel* model = editor->tree()->model();
        ASSERT_TRUE(model->contains(key)) << key.toStdString();
        model->setTicked(key, on);
        emit model->nodeTicked(key, on);
    }
    void key(int k, QWidget* on = nullptr) {
        QTest::keyClick(on ? on : static_cast<QWidget*>(edit("EdtIMaxLen")), Qt::Key(k));
    }
    // Chinese text arrives as an input method's commit, as it does from a user's keyboard.
    static void typeText(QWidget* w, const QString& text) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(w, &commit);
    }
    QStringList messages() const { return session.prompter->askedTexts(); }
    QString text(const char* key) const {
        return session.pub->GetResString(QString::fromLatin1(key));
    }

    // What the account holds: every row of a plain SQLite query, its cells joined by "|",
    // NULL as empty.
    QStringList rows(const QString& sql, const QVariantList& params = {}) {
        const host::RecordSetPtr rs = session.account.db().query(sql, params);
        EXPECT_TRUE(rs) << sql.toStdString();
        QStringList out;
        for (int r = 0; rs && r < rs->recordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < rs->fieldCount(); ++c) cells << rs->at(r, c).toString();
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    void sql(const QString& statement) {
        ASSERT_TRUE(session.account.db().exec(statement)) << statement.toStdString();
    }
    int items() {
        return rows(QStringLiteral("SELECT count(*) FROM UserDef_Base")).value(0).toInt();
    }
    // Stored columns of an item, NULL as empty, joined by "|"; "<none>" without the row.
    QString stored(const QString& cId, const QString& columns) {
        QStringList cells;
        for (const QString& c : columns.split(QLatin1Char(',')))
            cells << QStringLiteral("ifnull(cast(%1 as text),'')").arg(c.trimmed());
        return rows(
                   QStringLiteral("SELECT %1 FROM UserDef_Base WHERE cId = ?").arg(cells.join(',')),
                   {cId})
            .value(0, QStringLiteral("<none>"));
    }
    QString nameOf(const QString& cId) {
        return rows(QStringLiteral("SELECT cItemName FROM userdef_lang WHERE LocaleID='zh-CN' "
                                   "AND cid = ?"),
                    {cId})
            .value(0, QStringLiteral("<none>"));
    }
    QStringList links(const QString& cId) {
        return rows(QStringLiteral("SELECT TableName FROM UserDefDetail WHERE cid = ? "
                                   "ORDER BY TableName"),
                    {cId});
    }
    bool hasColumn(const QString& table, const QString& column) {
        return rows(QStringLiteral(
                        "SELECT count(*) FROM pragma_table_info(?) WHERE name = ? COLLATE NOCASE"),
                    {table + QStringLiteral("_extradefine"), column})
                   .value(0) == QLatin1String("1");
    }

    // A second administrator's lock call on the same account; true when refused (held already).
    bool lockElsewhere(int mode, const QString& id = {},
                       const QString& table = QStringLiteral("UserDef")) {
        if (!other) {
            other = std::make_unique<platform::pub::Pub>(
                std::make_shared<platform::pub::ScriptedPrompter>(), QStringLiteral("zh-CN"));
            other->setLogin(*session.login);
        }
        return id.isEmpty() ? other->IsLockFun(session.srv.get(), session.login.get(), table, mode)
                            : other->IsLockFun(session.srv.get(), session.login.get(), table, mode,
                                               true, id);
    }
    // True when another administrator may not have the item (the probe lets it go again).
    bool heldElsewhere(const QString& id) {
        const bool refused = lockElsewhere(20, id);
        if (!refused) lockElsewhere(-2);
        return refused;
    }

    std::unique_ptr<itemdef::FrmZAM> editor;
    std::unique_ptr<platform::pub::Pub> other;
};

}  // namespace edtest
