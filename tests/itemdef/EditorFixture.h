#pragma once
// The item editor on a session over a fresh demo-account copy (whose window host lets a test
// drive modal windows without blocking; the sample plug-in is installed beside the tests), and
// helpers that open the editor as the catalogue does.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <memory>

#include "common/Globals.h"
#include "controls/HostToolbar.h"
#include "host/Quote.h"
#include "itemdef/FrmZAM.h"
#include "itemdef/ItemRecord.h"
#include "tests/support/TestSession.h"

namespace edtest {

class EditorTest : public testsupport::SessionTest {
protected:
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
    static int rowOf(host::RecordSet& rs, const QString& cId) {
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            if (rs.text(QStringLiteral("cId")) == cId) return rs.absolutePosition();
        return 0;
    }
    // Opens the editor on an existing item and shows it.
    itemdef::FrmZAM& open(const QString& cClass, const QString& cId) {
        host::RecordSetPtr rs = itemSet(cClass);
        EXPECT_TRUE(rs);
        const int row = rowOf(*rs, cId);
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
    void setName(const QString& name, int cell = 0) { names()->item(0, cell)->setText(name); }
    QStringList messages() const { return session.prompter->askedTexts(); }
    QString text(const char* key) const {
        return session.pub->GetResString(QString::fromLatin1(key));
    }

    std::unique_ptr<itemdef::FrmZAM> editor;
};

}  // namespace edtest
