// The catalogue's "Archive" command: the value archive of the selected item, modal, over the
// named items of the selected class.
#include <QAction>

#include "archive/FrmZArchive.h"
#include "catalogue/CatalogueLog.h"
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "common/Globals.h"
#include "common/InitToolbar.h"
#include "common/NameTables.h"
#include "common/ShowModal.h"
#include "controls/Grid.h"
#include "host/Quote.h"
#include "itemdef/ItemRecord.h"
#include "ui_FrmUserDef.h"

namespace catalogue {

void FrmUserDef::OpenValueArchive() {
    controls::Grid* g = grid();
    const int row = g->currentRow();
    const QString name = row > 0 ? g->text(row, kColItemName).trimmed() : QString();
    const QString type = row > 0 ? g->text(row, kColType) : QString();
    if (name.isEmpty() || type != userdef::g_DataTypes.value(itemdef::kText)) {
        ui->Archive->setEnabled(false);
        ui->mArchive->setEnabled(false);
        userdef::ReRefreshZxTlb(this);
        return;
    }
    if (isRootSelected() || !userdef::g_Pub || !userdef::g_SrvDB) return;
    // The item's place among the named items of its class.
    int named = 0;
    for (int r = 1; r <= row; ++r)
        if (!g->text(r, kColItemName).isEmpty()) ++named;
    if (named == 0) return;
    if (userdef::g_Pub->IsLockFun(userdef::g_SrvDB.get(), userdef::g_Login.get(),
                                  QStringLiteral("UserDefine"), 1))
        return;
    const host::RecordSetPtr items = userdef::g_SrvDB->OpenX(
        QStringLiteral("select ") + itemdef::kItemColumns +
        QStringLiteral(",cItemLang from userdef where cItemName<>'' and cClass='") +
        host::sqlValue(selectedKey()) +
        QStringLiteral("' order by cClass ,cast(cid as int) asc,cItem ASC "));
    if (items && !items->isEmpty()) {
        items->setAbsolutePosition(row == 0 ? 1 : named);
        archive::FrmZArchive window(this);
        window.setArchivePlugin(nullptr);
        window.init(items);
        window.IsHaveParentDefine(!g->text(row, kColParentItemName).isEmpty());
        userdef::ShowModal(&window);
    } else if (!items) {
        qCWarning(lcCatalogue) << "items of the value archive not read:"
                               << userdef::g_SrvDB->lastError();
    }
    userdef::g_Pub->IsLockFun(userdef::g_SrvDB.get(), userdef::g_Login.get(),
                              QStringLiteral("UserDefine"), -1);
}

}  // namespace catalogue
