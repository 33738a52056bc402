#include "cover/FrmCoverSetting.h"

#include <QAction>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

#include "common/ResText.h"
#include "common/Globals.h"
#include "ui_FrmCoverSetting.h"

namespace cover {

FrmCoverSetting::FrmCoverSetting(QList<QAction*> tips,
                                 std::function<void(const QString&)> runCommand, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::FrmCoverSetting>()),
      m_runCommand(std::move(runCommand)) {
    ui->setupUi(this);
    setProperty("helpTopic", QStringLiteral("UserDef"));
    for (QAction* tip : tips) m_tips << tip;

    setWindowTitle(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmCoverSetting.Form.Caption"));
    ui->ZxLabel1->setText(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmCoverSetting.ZxLabel1.Caption"));
    ui->cZxRadio_0->setText(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmCoverSetting.cZxRadio_0.Caption"));
    ui->cZxRadio_1->setText(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmCoverSetting.cZxRadio_1.Caption"));
    ui->cZxRadio_2->setText(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmCoverSetting.cZxRadio_2.Caption"));
    ui->CmdOk->setText(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmCoverSetting.Button.Ok"));
    ui->CmdCancel->setText(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmCoverSetting.Button.Cancel"));
    if (userdef::g_Pub) userdef::g_Pub->FrmUniteFont(this);

    // The first checked entry chooses the option; none checked leaves none chosen.
    for (int n = 0; n < m_tips.size(); ++n) {
        if (m_tips.at(n) && m_tips.at(n)->isChecked()) {
            chooseOption(n);
            break;
        }
    }
    connect(ui->CmdOk, &QPushButton::clicked, this, &FrmCoverSetting::accept);
    connect(ui->CmdCancel, &QPushButton::clicked, this, &FrmCoverSetting::reject);
}

FrmCoverSetting::~FrmCoverSetting() = default;

int FrmCoverSetting::chosenOption() const {
    const QRadioButton* options[] = {ui->cZxRadio_0, ui->cZxRadio_1, ui->cZxRadio_2};
    for (int n = 0; n < 3; ++n)
        if (options[n]->isChecked()) return n;
    return -1;
}

void FrmCoverSetting::chooseOption(int option) {
    QRadioButton* options[] = {ui->cZxRadio_0, ui->cZxRadio_1, ui->cZxRadio_2};
    if (option >= 0 && option < 3) options[option]->setChecked(true);
}

void FrmCoverSetting::accept() {
    const int chosen = chosenOption();
    if (chosen >= 0) {
        for (int n = 0; n < m_tips.size(); ++n)
            if (m_tips.at(n)) m_tips.at(n)->setChecked(n == chosen);
        if (m_runCommand) m_runCommand(QStringLiteral("mVouchTip%1").arg(chosen));
    }
    QDialog::accept();
}

void FrmCoverSetting::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        if (userdef::g_Pub) userdef::g_Pub->HelpShow(this, QStringLiteral("Help"));
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace cover
