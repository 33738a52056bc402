#pragma once
// The value archive on a component session over a fresh demo-account copy, with a host factory
// whose window host runs a test's callback instead of a modal loop and whose plug-in manager
// finds the sample plug-in.
#include <QDialog>
#include <QLineEdit>
#include <functional>
#include <memory>

#include "archive/FrmZArchive.h"
#include "common/Session.h"
#include "controls/Grid.h"
#include "host/IHostFactory.h"
#include "host/IWindowHost.h"
#include "host/Quote.h"
#include "itemdef/ItemRecord.h"
#include "platform/plugins/PlugInManager.h"
#include "tests/support/TestSession.h"

namespace archivetest {

class TestHost : public host::IHostFactory, public host::IWindowHost {
public:
    explicit TestHost(testsupport::TestSession& session) : m_session(session) {}
    std::shared_ptr<host::IPub> createPub() override { return m_session.pub; }
    std::shared_ptr<host::IClsCommon> createSrvDB() override { return m_session.srv; }
    std::shared_ptr<host::IColSet> createColSet() override { return nullptr; }
    std::shared_ptr<host::IPlugInManager> createPlugInManager() override {
        return std::make_shared<platform::plugins::PlugInManager>(USERDEF_SAMPLE_PLUGINS);
    }
    host::IWindowHost* windowHost() override { return this; }

    int showModal(QDialog* dialog) override {
        ++modals;
        return onModal ? onModal(dialog) : QDialog::Rejected;
    }
    void message(const QString& text, const QString&) override { messages << text; }

    std::function<int(QDialog*)> onModal;
    int modals = 0;
    QStringList messages;

private:
    testsupport::TestSession& m_session;
};

class ArchiveTest : public testsupport::SessionTest {
protected:
    ArchiveTest() : host(session) { userdef::Session::current().factory = &host; }
    ~ArchiveTest() override { userdef::Session::current().factory = nullptr; }

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

    TestHost host;
};

}  // namespace archivetest
