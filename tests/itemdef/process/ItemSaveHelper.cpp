// An administrator in a process of its own, saving items through the item editor's save path
// (numbering, the save modes and their locks, the document, the server service):
//   item_save_helper add <connection text> <items> <table>…
//       prints "ready", waits for a line on stdin, then adds <items> extended header items
//       linked to the tables, pressing "SaveRs" again when the save is refused because another
//       administrator took the number; prints "added <cId> <column> <attempts>" per item
//   item_save_helper modify <connection text> <cId> <version> <pause at>
//       saves the item as version <version> ("saved v<version> <statements>"), then saves it as
//       the next version pausing the server before statement <pause at> ("paused <k>"), where
//       it waits to be killed
// Any other outcome prints "failed <what the user was shown>" and exits with 1.
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTextStream>

#include "common/Session.h"
#include "controls/CheckTreeModel.h"
#include "host/Quote.h"
#include "itemdef/EditorState.h"
#include "itemdef/ExtendTables.h"
#include "itemdef/ItemDocument.h"
#include "itemdef/ItemSave.h"
#include "itemdef/Numbering.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "platform/server/ClsCommon.h"
#include "platform/server/DocumentWriter.h"
#include "tests/itemdef/process/ItemVersion.h"
#include "tests/support/TestLogin.h"

namespace {

QTextStream out(stdout);

// Waits for a line on stdin; false after a minute without one.
bool waitForParent() {
    pollfd in{STDIN_FILENO, POLLIN, 0};
    if (::poll(&in, 1, 60000) <= 0) return false;
    char c = 0;
    while (::read(STDIN_FILENO, &c, 1) == 1 && c != '\n') {
    }
    return true;
}

struct Helper {
    std::shared_ptr<platform::pub::ScriptedPrompter> prompter =
        std::make_shared<platform::pub::ScriptedPrompter>();
    std::shared_ptr<platform::server::ClsCommon> srv =
        std::make_shared<platform::server::ClsCommon>();
    std::shared_ptr<platform::pub::Pub> pub =
        std::make_shared<platform::pub::Pub>(prompter, QStringLiteral("en-us"));
    controls::CheckTreeModel tree;
    itemdef::ExtendEditorState tables;
    itemdef::EditorState state;
    int attempts = 0;  // documents built for the current save

    int fail() {
        out << "failed " << (prompter->last() ? prompter->last()->text : srv->lastError())
            << Qt::endl;
        return 1;
    }

    // The editor's document of the state, its fields set to the version.
    std::optional<itemdef::BuiltDocument> build(int version) {
        ++attempts;
        itemdef::ItemDocumentFields f;
        f.adding = state.adding;
        f.extended = true;
        f.cId = state.cId;
        f.cClass = state.cClass;
        f.cItem = state.cItem;
        if (state.adding) {
            QString error;
            if (!itemdef::NextColumnName(state.cClass, &state.column, &f.pubzxts, &error))
                return std::nullopt;
        }
        const testitems::Version v = testitems::version(version);
        f.maxLen = QString::number(v.maxLen);
        f.names = {v.name, v.name + QStringLiteral("(繁)"), v.name + QStringLiteral(" en")};
        f.cType = QStringLiteral("文本");
        f.length = {QString::number(v.maxLen)};
        f.decimals = {{}, false};
        f.defaultVal = {QString()};
        f.dataSource = 0;
        for (auto& flag : f.flags) flag = {QStringLiteral("0")};
        f.column = state.column;
        tables.cId = state.cId;
        tables.adding = state.adding;
        const itemdef::DetailShare share = itemdef::BuildDetailXML(tree, tables, state.cId);
        f.share = share.xml;
        return itemdef::BuiltDocument{itemdef::ItemDocument(f), share.message};
    }

    // "SaveRs" of the editor: the id of a new item, then the save mode.
    bool save(int version) {
        prompter->clear();
        attempts = 0;
        if (state.adding && !state.inserted) {
            QString error;
            if (!itemdef::NextItemId(state.cClass, &state.cId, &error)) return false;
        }
        return itemdef::SaveItem(state, state.adding ? 1 : 4, [&] { return build(version); });
    }

    void showTables(const QStringList& names) {
        for (const QString& table : names)
            tree.addNode(itemdef::tableNodeKey(table), table);
        tables.cClass = state.cClass;
        tables.extended = true;
    }
};

int add(Helper& h, int items, const QStringList& tables) {
    h.showTables(tables);
    out << "ready" << Qt::endl;
    if (!waitForParent()) return h.fail();
    for (int n = 0; n < items; ++n) {
        h.state.adding = true;
        h.state.inserted = false;
        h.state.cId.clear();
        h.tree.setAllTicked(true);
        int attempts = 0;
        // A save refused for a number taken meanwhile is pressed again, as the user would.
        for (int press = 0;; ++press) {
            const bool saved = h.save(testitems::kConcurrentVersion);
            attempts += h.attempts;
            if (saved) break;
            const bool taken = h.prompter->last() &&
                               h.prompter->last()->text ==
                                   h.pub->GetResString(QStringLiteral("Q9.AA.USERDEF.FrmZAM.numbertaken"));
            if (!taken || press >= 20) return h.fail();
        }
        out << "added " << h.state.cId << ' ' << h.state.column << ' ' << attempts << Qt::endl;
    }
    return 0;
}

int modify(Helper& h, const QString& cId, int version, int pauseAt) {
    const host::RecordSetPtr item = h.srv->OpenX(
        QStringLiteral("select cItem, cDicDbName from UserDef where cId='") + host::sqlValue(cId) +
        QLatin1Char('\''));
    const host::RecordSetPtr linked = h.srv->OpenX(itemdef::LinkedTablesSql(cId));
    if (!item || item->isEmpty() || !linked) return h.fail();
    h.state.cId = cId;
    h.state.cClass = QStringLiteral("单据头");
    h.state.cItem = item->text(QStringLiteral("cItem"));
    h.state.column = item->text(QStringLiteral("cDicDbName"));
    h.state.extended = true;
    QStringList names;
    for (int r = 0; r < linked->recordCount(); ++r) names << linked->at(r, 0).toString();
    h.showTables(names);
    h.tables.cId = cId;
    if (!itemdef::LoadExtendTables(h.tree, h.tables)) return h.fail();

    if (!h.save(version)) return h.fail();
    out << "saved v" << version << ' ' << h.srv->writer()->lastStatementCount() << Qt::endl;
    h.srv->writer()->setPauseAtStatement(pauseAt, [](int k) {
        out << "paused " << k << Qt::endl;
        waitForParent();
        ::_exit(3);  // not killed: the parent gave up
    });
    if (!h.save(version + 1)) return h.fail();
    out << "saved v" << version + 1 << ' ' << h.srv->writer()->lastStatementCount() << Qt::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) return 2;
    Helper h;
    h.srv->init(args.at(2));
    if (!h.srv->Status()) return h.fail();
    auto login = std::make_shared<testsupport::TestLogin>(args.at(2), QStringLiteral("helper"),
                                                          QStringLiteral("en-US"));
    h.pub->setLogin(*login);
    userdef::Session& session = userdef::Session::current();
    session.pub = h.pub;
    session.srvDB = h.srv;
    session.login = login;
    h.state.cClass = QStringLiteral("单据头");
    int status = 2;
    if (args.at(1) == QLatin1String("add"))
        status = add(h, args.at(3).toInt(), args.mid(4));
    else if (args.at(1) == QLatin1String("modify") && args.size() >= 6)
        status = modify(h, args.at(3), args.at(4).toInt(), args.at(5).toInt());
    session.reset();
    return status;
}
