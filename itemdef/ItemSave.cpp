#include "itemdef/ItemSave.h"

#include "common/Globals.h"
#include "common/Log.h"
#include "common/ShowMsg.h"
#include "common/XmlHelpers.h"
#include "host/Quote.h"
#include "itemdef/EditorState.h"
#include "itemdef/ExtendTables.h"
#include "itemdef/ItemdefLog.h"
#include "itemdef/Numbering.h"

namespace itemdef {

namespace {

using userdef::g_Login;
using userdef::g_Pub;
using userdef::g_SrvDB;

const QString kUserDef = QStringLiteral("UserDef");

bool lockRefused(int mode, const QString& key) {
    return g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), kUserDef, mode, false, key);
}

void release(int mode) { g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), kUserDef, mode); }

void showError(const QString& error) {
    userdef::ShowMsg(error.isEmpty() ? g_SrvDB->lastError() : error);
}

// Mode 1.
bool saveNewItem(EditorState& state, const DocumentBuilder& build) {
    for (int attempt = 1;; ++attempt) {
        const std::optional<BuiltDocument> doc = build();
        if (!doc || !userdef::CheckXmlDocument(doc->xml)) return false;
        if (!doc->message.isEmpty()) {
            userdef::ShowMsg(doc->message);
            return false;
        }
        QString error;
        if (state.inserted) {
            if (g_SrvDB->Modify(doc->xml, QStringLiteral("Userdef"), &error)) return true;
            showError(error);
            return false;
        }
        userdef::DebugTrace(QStringLiteral("扩展自定项保存开始：g_SrvDB.Add_Begin"));
        const bool added = g_SrvDB->Add(doc->xml, QStringLiteral("Userdef_base"), &error);
        userdef::DebugTrace(QStringLiteral("扩展自定项保存开始：g_SrvDB.Add_End"));
        if (added) {
            state.inserted = true;
            return true;
        }
        if (!NumberTaken(state.cId, state.column)) {
            showError(error);
            return false;
        }
        // Another editor took the number between reading and writing it.
        qCInfo(lcItemdef) << "item number" << state.cId << state.column << "taken; attempt"
                          << attempt << ":" << error;
        QString numberError;
        if (attempt >= kNumberingAttempts || !NextItemId(state.cClass, &state.cId, &numberError)) {
            if (!numberError.isEmpty()) qCWarning(lcItemdef) << "renumbering:" << numberError;
            userdef::ShowMsg(
                g_Pub->GetResString(QStringLiteral("Q9.AA.USERDEF.FrmZAM.numbertaken")));
            return false;
        }
    }
}

// Modes 2 and 4.
bool updateItem(EditorState& state, int mode, const DocumentBuilder& build) {
    const std::optional<BuiltDocument> doc = build();
    if (!doc || !userdef::CheckXmlDocument(doc->xml)) return false;
    const int lockMode = mode == 2 ? 20 : 2;
    if (lockRefused(lockMode, state.cId)) return false;
    bool ok = false;
    if (mode == 4 && !doc->message.isEmpty()) {
        userdef::ShowMsg(doc->message);
    } else {
        QString error;
        ok = g_SrvDB->Modify(doc->xml, QStringLiteral("Userdef"), &error);
        if (!ok) showError(error);
    }
    release(-2);
    return ok;
}

}  // namespace

bool NumberTaken(const QString& cId, const QString& column) {
    if (!g_SrvDB || (cId.isEmpty() && column.isEmpty())) return false;
    QString sql = QStringLiteral("select cid from userdef_base where cid='") + host::sqlValue(cId) +
                  QLatin1Char('\'');
    if (!column.isEmpty())
        sql += QStringLiteral(" or cDicDbName='") + host::sqlValue(column) + QLatin1Char('\'');
    const host::RecordSetPtr rs = g_SrvDB->OpenX(sql);
    return rs && !rs->isEmpty();
}

bool SaveItem(EditorState& state, int mode, const DocumentBuilder& build) {
    if (!g_SrvDB || !g_Pub || !build) return false;
    switch (mode) {
        case 1:
            return saveNewItem(state, build);
        case 2:
        case 4:
            return updateItem(state, mode, build);
        default:
            return false;
    }
}

bool DeleteExtendedItem(const QString& cId) {
    if (!g_SrvDB || !g_Pub || cId.isEmpty()) return false;
    if (!CanDeleteExtendColumn(cId)) return false;
    if (lockRefused(8, cId)) return false;
    QString error;
    const bool ok =
        g_SrvDB->Delete(cId, QStringLiteral("cid"), QStringLiteral("userdef_base"), &error);
    if (!ok) showError(error);
    release(-8);
    return ok;
}

}  // namespace itemdef
