// The catalogue's "Delete" command: removes the selected extended item (and its column) after a
// question; items of other kinds are refused.
#include <QApplication>

#include "catalogue/CatalogueLog.h"
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "common/Globals.h"
#include "common/ShowMsg.h"
#include "controls/Grid.h"
#include "host/Quote.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemSave.h"

namespace catalogue {

void FrmUserDef::DeleteItem() {
    using userdef::g_Pub;
    using userdef::g_SrvDB;
    if (!g_Pub || !g_SrvDB) return;
    controls::Grid* g = grid();
    const int row = g->currentRow();
    const QString id = row >= 1 ? g->text(row, kColId) : QString();
    if (id.isEmpty()) {
        userdef::ShowMsg(g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.no")));
        return;
    }
    const host::RecordSetPtr rs =
        g_SrvDB->OpenX(QStringLiteral("select cDicDbName from userdef where cid='") +
                       host::sqlValue(id) + QLatin1Char('\''));
    if (!rs || rs->isEmpty()) {
        if (!rs) qCWarning(lcCatalogue) << "item to delete not read:" << g_SrvDB->lastError();
        return;
    }
    rs->moveFirst();
    if (!itemdef::isExtendedItem(rs->text(QStringLiteral("cDicDbName")))) {
        userdef::ShowMsg(g->text(row, kColClass) + g->text(row, kColItem) + QStringLiteral("  ") +
                         g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.FIELD.nottodelete")));
        return;
    }
    if (g_Pub->MsgBox(g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.FIELD.deleteornot")),
                      host::MsgButtons::YesNoQuestion,
                      g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation"))) !=
        host::MsgAnswer::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool deleted = itemdef::DeleteExtendedItem(id);
    QApplication::restoreOverrideCursor();
    if (deleted) RunCommand(QStringLiteral("Refresh"));
}

}  // namespace catalogue
