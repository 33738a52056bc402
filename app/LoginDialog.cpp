#include "app/LoginDialog.h"

#include <QPushButton>

#include "app/Credentials.h"
#include "app/DeskTexts.h"
#include "app/Login.h"
#include "platform/pub/ResourceTexts.h"
#include "ui_LoginDialog.h"

namespace app {

LoginDialog::LoginDialog(const QString& root, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::LoginDialog>()), m_root(root) {
    ui->setupUi(this);
    for (const QString& lang : deskLanguages())
        ui->CmbLanguage->addItem(deskText(lang, QStringLiteral("Desk.Language.") + lang), lang);
    QFont heading = ui->LblHeading->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    ui->LblHeading->setFont(heading);
    ui->LblError->hide();
    loadAccounts();
    retranslate();

    connect(ui->CmbLanguage, &QComboBox::currentIndexChanged, this, &LoginDialog::retranslate);
    connect(ui->ButtonBox, &QDialogButtonBox::accepted, this, &LoginDialog::tryLogin);
    connect(ui->ButtonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ui->EdtUser->setFocus();
}

LoginDialog::~LoginDialog() = default;

QString LoginDialog::text(const char* key, const QStringList& values) const {
    return deskText(language(), QString::fromLatin1(key), values);
}

QString LoginDialog::language() const { return ui->CmbLanguage->currentData().toString(); }

void LoginDialog::setLanguage(const QString& language) {
    const int index = ui->CmbLanguage->findData(platform::pub::normalizeLanguage(language));
    if (index >= 0) ui->CmbLanguage->setCurrentIndex(index);
}

void LoginDialog::setAccount(const QString& accountId) {
    const int index = ui->CmbAccount->findData(accountId);
    if (index >= 0) ui->CmbAccount->setCurrentIndex(index);
}

void LoginDialog::setUser(const QString& userId) {
    ui->EdtUser->setText(userId);
    if (!userId.isEmpty()) ui->EdtPassword->setFocus();
}

QString LoginDialog::errorText() const {
    return ui->LblError->isHidden() ? QString() : ui->LblError->text();
}

void LoginDialog::loadAccounts() {
    const QVector<AccountInfo> accounts = listAccounts(m_root, &m_accountsError);
    for (const AccountInfo& account : accounts)
        ui->CmbAccount->addItem(QStringLiteral("[%1] %2").arg(account.id, account.name),
                                account.id);
}

void LoginDialog::retranslate() {
    setWindowTitle(text("Desk.Login.Title"));
    ui->LblHeading->setText(text("Desk.Login.Heading"));
    ui->LblAccount->setText(text("Desk.Login.Account"));
    ui->LblUser->setText(text("Desk.Login.User"));
    ui->LblPassword->setText(text("Desk.Login.Password"));
    ui->LblLanguage->setText(text("Desk.Login.Language"));
    ui->ButtonBox->button(QDialogButtonBox::Ok)->setText(text("Desk.Login.Ok"));
    ui->ButtonBox->button(QDialogButtonBox::Cancel)->setText(text("Desk.Login.Cancel"));
    ui->LblError->hide();
    if (ui->CmbAccount->count() == 0)
        showError(text("Desk.Login.SystemUnreadable", {m_accountsError}));
}

void LoginDialog::showError(const QString& message) {
    ui->LblError->setText(message);
    ui->LblError->show();
    adjustSize();
}

bool LoginDialog::tryLogin() {
    m_login.reset();
    const QString accountId = ui->CmbAccount->currentData().toString();
    const QString userId = ui->EdtUser->text().trimmed();
    if (accountId.isEmpty()) {
        showError(ui->CmbAccount->count() == 0
                      ? text("Desk.Login.SystemUnreadable", {m_accountsError})
                      : text("Desk.Login.NoAccount"));
        return false;
    }
    if (userId.isEmpty()) {
        showError(text("Desk.Login.NoUser"));
        ui->EdtUser->setFocus();
        return false;
    }
    const UserCheck check = checkUser(m_root, userId, ui->EdtPassword->text(), accountId);
    if (check.result != UserCheck::Ok) {
        showError(refusedLoginText(check, language()));
        ui->EdtPassword->clear();
        ui->EdtPassword->setFocus();
        return false;
    }
    const QString refusal = checkAccountAtLogin(m_root, accountId, language());
    if (!refusal.isEmpty()) {
        showError(refusal);
        return false;
    }
    QString error;
    m_login = Login::open(m_root, accountId, check.userId, check.userName, language(), &error);
    if (!m_login) {
        showError(text("Desk.Login.AccountUnreadable", {error}));
        return false;
    }
    ui->LblError->hide();
    accept();
    return true;
}

}  // namespace app
