// The catalogue's package export: the selected items, the class shown or everything, into one
// package file.
#include <algorithm>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QSet>
#include <QTreeWidget>

#include "catalogue/CatalogueLog.h"
#include "catalogue/FrmExportPackage.h"
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "common/Globals.h"
#include "common/ResText.h"
#include "common/ShowModal.h"
#include "common/ShowMsg.h"
#include "controls/Grid.h"
#include "host/IPackages.h"
#include "host/Quote.h"
#include "ui_FrmUserDef.h"

namespace catalogue {

namespace {

// The text of one of the command's keys, with its %1, %2 … filled in.
QString text(const char* name, const QStringList& values = {}) {
    const QString key = QStringLiteral("Q9.AA.USERDEF.FrmUserDef.ExportPackage.") + QLatin1String(name);
    if (values.isEmpty() || !userdef::g_Pub) return userdef::ResText(key);
    return userdef::g_Pub->GetResFormatString(key, values);
}

}  // namespace

QStringList FrmUserDef::selectedItemIds() const {
    QSet<int> rows;
    for (const QModelIndex& index : grid()->selectionModel()->selectedIndexes())
        rows.insert(index.row() + 1);
    QList<int> sorted(rows.begin(), rows.end());
    std::sort(sorted.begin(), sorted.end());
    QStringList ids;
    for (const int row : sorted) {
        const QString id = grid()->text(row, kColId).trimmed();
        if (!id.isEmpty()) ids << id;
    }
    return ids;
}

void FrmUserDef::ExportPackage() {
    using userdef::g_SrvDB;
    host::IHostFactory* factory = userdef::g_Factory;
    const std::shared_ptr<host::IPackages> packages = factory ? factory->createPackages() : nullptr;
    if (!packages || !g_SrvDB) {
        qCWarning(lcCatalogue) << "the host writes no packages";
        return;
    }
    const QStringList ids = selectedItemIds();
    const QTreeWidgetItem* node = ui->Tree->currentItem();
    const QString shownClass = node && !isRootSelected() ? node->text(0) : QString();
    FrmExportPackage ask(int(ids.size()), shownClass, this);
    if (userdef::ShowModal(&ask) != QDialog::Accepted) return;

    host::PackageChoice choice;
    choice.kind = ask.choice();
    if (choice.kind == host::PackageChoice::Class) choice.cClass = selectedKey();
    if (choice.kind == host::PackageChoice::Items) {
        // Items travel by class and label: the list's ids name them in this account only.
        QStringList quoted;
        for (const QString& id : ids) quoted << QLatin1Char('\'') + host::sqlValue(id) + QLatin1Char('\'');
        const host::RecordSetPtr rs = g_SrvDB->OpenX(
            QStringLiteral("select cClass, cItem from UserDef_Base where cId in (") +
            quoted.join(QLatin1Char(',')) + QLatin1Char(')'));
        if (!rs) {
            userdef::ShowMsg(g_SrvDB->lastError());
            return;
        }
        for (int r = 0; r < rs->recordCount(); ++r) choice.items.append({rs->textAt(r, 0), rs->textAt(r, 1)});
        if (choice.items.isEmpty()) {
            userdef::ShowMsg(text("NoneSelected"));
            return;
        }
    }

    QFileDialog dialog(this, text("Title"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(text("Filter"));
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    dialog.selectFile((choice.kind == host::PackageChoice::Class ? shownClass : QStringLiteral("userdef")) +
                      QStringLiteral(".xml"));
    if (userdef::ShowModal(&dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;  // cancelled: nothing written
    QString path = dialog.selectedFiles().constFirst();
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".xml");

    int items = 0, rules = 0;
    QString error;
    if (!packages->exportPackage(g_SrvDB.get(), choice, path, &items, &rules, &error)) {
        userdef::ShowMsg(text("Failed", {error}));
        return;
    }
    userdef::ShowMsg(text("Done", {QString::number(items), QString::number(rules),
                                   QDir::toNativeSeparators(path)}));
}

}  // namespace catalogue
