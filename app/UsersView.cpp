#include "app/UsersView.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/DeskTexts.h"
#include "app/Users.h"
#include "platform/pub/Prompter.h"

namespace app {

namespace {

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

UsersView::UsersView(const QString& root, const QString& account, const QString& language,
                     const QString& actingUser, std::shared_ptr<platform::pub::IPrompter> prompter,
                     QWidget* parent)
    : QWidget(parent),
      m_root(root),
      m_account(account),
      m_language(language),
      m_actingUser(actingUser),
      m_prompter(std::move(prompter)),
      m_grid(named(new QTableWidget(0, 4, this), "GrdUsers")),
      m_id(named(new QLineEdit(this), "EdtUserId")),
      m_name(named(new QLineEdit(this), "EdtUserName")),
      m_password(named(new QLineEdit(this), "EdtPassword")),
      m_password2(named(new QLineEdit(this), "EdtPassword2")),
      m_admin(named(new QCheckBox(this), "ChkAdmin")),
      m_message(named(new QLabel(this), "LblMessage")) {
    setWindowTitle(text("Desk.Users.Title"));
    m_grid->setHorizontalHeaderLabels({text("Desk.Users.Id"), text("Desk.Users.Name"),
                                       text("Desk.Users.Admin"), text("Desk.Users.LockedUntil")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->hide();
    m_id->setMaxLength(20);
    m_name->setMaxLength(40);
    for (QLineEdit* edit : {m_password, m_password2}) edit->setEchoMode(QLineEdit::Password);
    m_admin->setText(text("Desk.Users.Admin"));
    m_message->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(text("Desk.Users.Id"), m_id);
    form->addRow(text("Desk.Users.Name"), m_name);
    form->addRow(text("Desk.Users.Password"), m_password);
    form->addRow(text("Desk.Users.Password2"), m_password2);
    form->addRow(QString(), m_admin);
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const char* key, void (UsersView::*command)()) {
        auto* b = named(new QPushButton(text(key), this), name);
        connect(b, &QPushButton::clicked, this, command);
        buttons->addWidget(b);
    };
    button("BtnAdd", "Desk.Users.Add", &UsersView::addUser);
    button("BtnChangePassword", "Desk.Users.ChangePassword", &UsersView::changePassword);
    button("BtnRemove", "Desk.Users.Remove", &UsersView::removeUser);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_message);
    reload();
}

QString UsersView::text(const char* key, const QStringList& values) const {
    return deskText(m_language, QString::fromLatin1(key), values);
}

QString UsersView::messageText() const { return m_message->text(); }

void UsersView::say(const QString& message, bool refusal) {
    m_message->setText(message);
    m_message->setStyleSheet(refusal ? QStringLiteral("color: #b00020;") : QString());
}

void UsersView::reload() {
    UserResult result;
    const QVector<UserInfo> users = listUsers(m_root, m_account, &result);
    if (!result.ok()) {
        say(userResultText(result, m_language), true);
        return;
    }
    const QString chosen = chosenUser();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    m_grid->setRowCount(int(users.size()));
    for (int r = 0; r < users.size(); ++r) {
        const UserInfo& u = users[r];
        const QStringList cells = {
            u.id, u.name, u.admin ? text("Desk.Users.Yes") : QString(),
            u.lockedUntil > now
                ? u.lockedUntil.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                : QString()};
        for (int c = 0; c < cells.size(); ++c)
            m_grid->setItem(r, c, new QTableWidgetItem(cells[c]));
        if (u.id == chosen) m_grid->selectRow(r);
    }
    m_grid->resizeColumnsToContents();
}

QString UsersView::chosenUser() const {
    const QList<QTableWidgetItem*> chosen = m_grid->selectedItems();
    return chosen.isEmpty() ? QString() : m_grid->item(chosen.first()->row(), 0)->text();
}

bool UsersView::passwordsMatch() {
    const bool same = m_password->text() == m_password2->text();
    if (!same) say(text("Desk.Users.PasswordsDiffer"), true);
    m_password->clear();
    m_password2->clear();
    return same;
}

void UsersView::addUser() {
    const QString password = m_password->text();
    if (!passwordsMatch()) return;
    const QString id = m_id->text();
    const UserResult result =
        app::addUser(m_root, m_account, id, m_name->text().isEmpty() ? id : m_name->text(), password,
                     m_admin->isChecked());
    if (!result.ok()) {
        say(userResultText(result, m_language), true);
        return;
    }
    m_id->clear();
    m_name->clear();
    m_admin->setChecked(false);
    reload();
    say(text("Desk.Users.Added", {id}), false);
}

void UsersView::changePassword() {
    const QString id = chosenUser(), password = m_password->text();
    if (id.isEmpty()) {
        say(text("Desk.Users.NoneChosen"), true);
        return;
    }
    if (!passwordsMatch()) return;
    const UserResult result = app::changePassword(m_root, m_account, id, password);
    say(result.ok() ? text("Desk.Users.PasswordChanged", {id}) : userResultText(result, m_language),
        !result.ok());
    reload();
}

void UsersView::removeUser() {
    const QString id = chosenUser();
    if (id.isEmpty()) {
        say(text("Desk.Users.NoneChosen"), true);
        return;
    }
    const QString name = m_grid->item(m_grid->selectedItems().first()->row(), 1)->text();
    if (m_prompter && m_prompter->ask(text("Desk.Users.ConfirmRemove", {id, name}), 36,
                                      text("Desk.Users.Title")) != 6)
        return;
    const UserResult result = app::removeUser(m_root, m_account, id, m_actingUser);
    say(result.ok() ? text("Desk.Users.Removed", {id}) : userResultText(result, m_language),
        !result.ok());
    reload();
}

}  // namespace app
