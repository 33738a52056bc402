#pragma once
// The value archive on a component session over a fresh demo-account copy (the session's window
// host runs a test's callback instead of a modal loop; its plug-in manager finds the sample).
#include <QDialog>
#include <QLineEdit>
#include <memory>

#include "archive/FrmZArchive.h"
#include "controls/Grid.h"
#include "host/Quote.h"
#include "itemdef/ItemRecord.h"
#include "tests/support/TestSession.h"

namespace archivetest {

class ArchiveTest : public testsupport::SessionTest {
protected:
    // The named items of an item's class, positioned on the item, as the catalogue hands them;
    // an item without a name comes alone.
    host::RecordSetPtr itemsAt(const QString& itemId) {
        const host::RecordSetPtr cls = session.srv->OpenX(
            QStringLiteral("select cClass from UserDef_Base where cId='") + host::sqlValue(itemId) +
            QStringLiteral("'"));
        if (!cls || cls->isEmpty()) return nullptr;
        cls->moveFirst();
        const host::RecordSetPtr items = session.srv->OpenX(
            QStringLiteral("select ") + itemdef::kItemColumns +
            QStringLiteral(",cItemLang from userdef where cItemName<>'' and cClass='") +
            host::sqlValue(cls->text(0)) +
            QStringLiteral("' order by cClass ,cast(cid as int) asc,cItem ASC "));
        if (!items) return nullptr;
        for (items->moveFirst(); !items->eof(); items->moveNext())
            if (items->text(QStringLiteral("cId")) == itemId) return items;
        // An item without a name: alone.
        const host::RecordSetPtr alone = session.srv->OpenX(
            QStringLiteral("select ") + itemdef::kItemColumns +
            QStringLiteral(",cItemLang from userdef where cId='") + host::sqlValue(itemId) +
            QStringLiteral("'"));
        if (!alone || alone->isEmpty()) return nullptr;
        alone->moveFirst();
        return alone;
    }

    std::unique_ptr<archive::FrmZArchive> open(const QString& itemId, bool parentDefine = false) {
        auto w = std::make_unique<archive::FrmZArchive>();
        host::RecordSetPtr items = itemsAt(itemId);
        EXPECT_TRUE(items) << "no item " << itemId.toStdString();
        w->setArchivePlugin(nullptr);
        w->init(items);
        w->IsHaveParentDefine(parentDefine);
        w->Load();
        return w;
    }

    // The values of an item in the database, in their order.
    QStringList storedValues(const QString& itemId) {
        QStringList out;
        const host::RecordSetPtr rs = session.account.db().query(
            QStringLiteral("SELECT cValue FROM Userdefine WHERE cId = ? ORDER BY pubzxts"), {itemId});
        for (int r = 0; rs && r < rs->recordCount(); ++r) out << rs->at(r, 0).toString();
        return out;
    }

    static QStringList gridValues(const archive::FrmZArchive& w) {
        QStringList out;
        for (int r = 1; r < w.grid()->rows(); ++r) out << w.grid()->text(r, 1);
        return out;
    }

    static bool enabled(const archive::FrmZArchive& w, const char* key) {
        QAction* a = w.button(QLatin1String(key));
        return a && a->isEnabled();
    }

    QString lastMessage() const {
        const auto* last = session.prompter->last();
        return last ? last->text : QString();
    }
    QString text(const char* key) { return session.pub->GetResString(QLatin1String(key)); }
};

}  // namespace archivetest
