#include "catalogue/AboutBox.h"

#include "common/ResText.h"
#include "common/Globals.h"
#include "resources/icons/Icons.h"
#include "ui_AboutBox.h"

namespace catalogue {

namespace {


}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::AboutBox>()) {
    ui->setupUi(this);
    if (userdef::g_Pub) userdef::g_Pub->FrmUniteFont(this);
    setWindowTitle(userdef::ResText(QStringLiteral("Q9.AA.USERDEF.About.Title")));
    ui->LblIcon->setPixmap(resources::icons::icon(QStringLiteral("userdef")).pixmap(48, 48));
    QFont bold = ui->LblName->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    ui->LblName->setFont(bold);
    ui->LblName->setText(userdef::ResText(QStringLiteral("Q9.AA.USERDEF.About.Name")));
    ui->LblVersion->setText(userdef::g_Pub ? userdef::g_Pub->GetResFormatString(
                                                 QStringLiteral("Q9.AA.USERDEF.About.Version"),
                                                 {version()})
                                           : version());
    ui->LblText->setText(userdef::ResText(QStringLiteral("Q9.AA.USERDEF.About.Text")));
    ui->LblText->setMinimumWidth(320);
    connect(ui->Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

AboutBox::~AboutBox() = default;

QString AboutBox::version() { return QStringLiteral(USERDEF_VERSION); }

}  // namespace catalogue
