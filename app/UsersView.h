#pragma once
// The desk's Users function for an administrator of definitions: the users who may log in, and
// adding one, giving one a new password (typed twice) and removing one. What the system refuses
// is said in the message line; nothing typed is lost by a refusal except the passwords.
#include <QWidget>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace platform::pub {
class IPrompter;
}

namespace app {

class UsersView : public QWidget {
    Q_OBJECT
public:
    // root and account: the data root and the account whose users are managed; actingUser: the
    // desk's user, who cannot remove themselves. Removal asks through prompter.
    UsersView(const QString& root, const QString& account, const QString& language,
              const QString& actingUser, std::shared_ptr<platform::pub::IPrompter> prompter,
              QWidget* parent = nullptr);

    // The buttons' commands, on the fields and the chosen row.
    void addUser();
    void changePassword();
    void removeUser();
    void reload();
    QString messageText() const;

private:
    QString text(const char* key, const QStringList& values = {}) const;
    QString chosenUser() const;
    bool passwordsMatch();
    void say(const QString& message, bool refusal);

    QString m_root, m_account, m_language, m_actingUser;
    std::shared_ptr<platform::pub::IPrompter> m_prompter;
    QTableWidget* m_grid;
    QLineEdit *m_id, *m_name, *m_password, *m_password2;
    QCheckBox* m_admin;
    QLabel* m_message;
};

}  // namespace app
