#pragma once
// The desk's login: account, user, password and language. A refused login keeps what was
// typed except the password and says why in the chosen language.
#include <QDialog>
#include <memory>

namespace Ui {
class LoginDialog;
}

namespace app {

class Login;

class LoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginDialog(const QString& root, QWidget* parent = nullptr);
    ~LoginDialog() override;

    QString language() const;  // "zh-CN", "zh-TW" or "en-US"
    void setLanguage(const QString& language);
    void setAccount(const QString& accountId);
    void setUser(const QString& userId);
    QString errorText() const;  // what the dialog says now; empty when nothing is wrong

    // The login of an accepted dialog.
    std::shared_ptr<Login> login() const { return m_login; }

    // The OK button: checks the user and password and opens the account; accepts on success.
    bool tryLogin();

private:
    void retranslate();
    void loadAccounts();
    void showError(const QString& text);
    QString text(const char* key, const QStringList& values = {}) const;

    std::unique_ptr<Ui::LoginDialog> ui;
    QString m_root;
    QString m_accountsError;
    std::shared_ptr<Login> m_login;
};

}  // namespace app
