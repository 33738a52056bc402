#include "catalogue/FrmExportPackage.h"

#include <QPushButton>

#include "common/Globals.h"
#include "common/ResText.h"
#include "ui_FrmExportPackage.h"

namespace catalogue {

namespace {

QString text(const char* name, const QString& value = {}) {
    const QString key = QStringLiteral("Q9.AA.USERDEF.FrmUserDef.ExportPackage.") + QLatin1String(name);
    if (value.isNull() || !userdef::g_Pub) return userdef::ResText(key);
    return userdef::g_Pub->GetResFormatString(key, {value});
}

}  // namespace

FrmExportPackage::FrmExportPackage(int selected, const QString& className, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmExportPackage>()) {
    ui->setupUi(this);
    if (userdef::g_Pub) userdef::g_Pub->FrmUniteFont(this);
    setWindowTitle(text("Title"));
    ui->LblAsk->setText(text("Ask"));
    ui->OptSelected->setText(text("Selected", QString::number(selected)));
    ui->OptClass->setText(text("Class", className.isEmpty() ? QStringLiteral("-") : className));
    ui->OptAll->setText(text("All"));
    ui->OptSelected->setEnabled(selected > 0);
    ui->OptClass->setEnabled(!className.isEmpty());
    // The narrowest choice there is comes first.
    (selected > 0 ? ui->OptSelected : !className.isEmpty() ? ui->OptClass : ui->OptAll)
        ->setChecked(true);
    ui->Buttons->button(QDialogButtonBox::Ok)
        ->setText(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmCoverSetting.Button.Ok"));
    ui->Buttons->button(QDialogButtonBox::Cancel)
        ->setText(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmCoverSetting.Button.Cancel"));
    connect(ui->Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

FrmExportPackage::~FrmExportPackage() = default;

host::PackageChoice::Kind FrmExportPackage::choice() const {
    if (ui->OptSelected->isChecked()) return host::PackageChoice::Items;
    if (ui->OptClass->isChecked()) return host::PackageChoice::Class;
    return host::PackageChoice::All;
}

}  // namespace catalogue
