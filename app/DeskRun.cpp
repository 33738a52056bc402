#include "app/DeskRun.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTextStream>
#include <QTranslator>
#include <QTimer>
#include <cstdio>

#include "app/Cli.h"
#include "app/Credentials.h"
#include "app/Desk.h"
#include "app/DeskOptions.h"
#include "app/DeskTexts.h"
#include "app/Login.h"
#include "app/LoginDialog.h"
#include "app/PortalFrame.h"

namespace app {

namespace {

// Qt's own texts (the buttons of standard dialogs) in the session's language.
void installQtTexts(QApplication& application, const QString& language) {
    static QTranslator translator;
    application.removeTranslator(&translator);
    if (language.startsWith(QLatin1String("en"), Qt::CaseInsensitive)) return;
    if (translator.load(QLocale(QString(language).replace(QLatin1Char('-'), QLatin1Char('_'))),
                        QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&translator);
}

// Saves a picture of the window once it has been painted, then runs done.
void screenshotLater(QWidget* window, const QString& file, std::function<void()> done) {
    QTimer::singleShot(700, window, [window, file, done] {
        if (!window->grab().save(file))
            QTextStream(stderr) << "cannot save the screenshot " << file << Qt::endl;
        done();
    });
}

QString accountName(const QString& root, const QString& accountId) {
    for (const AccountInfo& account : listAccounts(root, nullptr))
        if (account.id == accountId) return account.name;
    return {};
}

}  // namespace

int runDesk(int argc, char** argv, const DeskOptions& options) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("userdef"));
    QTextStream err(stderr);
    QString error;
    const QString root = dataRoot();
    const QString language =
        options.language.isEmpty() ? QStringLiteral("zh-CN") : options.language;
    std::shared_ptr<Login> login;

    if (!options.user.isEmpty() && options.password) {
        const QString accountId =
            options.account.isEmpty() ? QStringLiteral("001") : options.account;
        const UserCheck check = checkUser(root, options.user, *options.password, accountId);
        if (check.result != UserCheck::Ok) {
            err << refusedLoginText(check, language) << Qt::endl;
            return 1;
        }
        const QString refusal = checkAccountAtLogin(root, accountId, language);
        if (!refusal.isEmpty()) {
            err << refusal << Qt::endl;
            return 1;
        }
        login = Login::open(root, accountId, check.userId, check.userName, language, &error);
        if (!login) {
            err << deskText(language, QStringLiteral("Desk.Login.AccountUnreadable"), {error})
                << Qt::endl;
            return 1;
        }
    } else {
        LoginDialog dialog(root);
        if (!options.language.isEmpty()) dialog.setLanguage(options.language);
        if (!options.account.isEmpty()) dialog.setAccount(options.account);
        if (!options.user.isEmpty()) dialog.setUser(options.user);
        if (!options.screenshot.isEmpty()) {
            dialog.show();
            screenshotLater(&dialog, options.screenshot, [&dialog] { dialog.reject(); });
        }
        if (dialog.exec() != QDialog::Accepted || !dialog.login()) return 0;
        login = dialog.login();
    }

    installQtTexts(application, login->language());
    Desk desk(login, accountName(root, login->cAcc_id()));
    desk.portal()->show();
    PortalFrame* portal = desk.portal();
    checkAccountInBackground(root, login->cAcc_id(), login->language(), portal,
                             [portal](const QString& refusal) {
                                 if (refusal.isEmpty()) return;
                                 QMessageBox::critical(portal, portal->windowTitle(), refusal);
                                 portal->close();
                             });
    if (!options.open.isEmpty()) desk.openFunction(options.open);
    if (!options.screenshot.isEmpty()) {
        screenshotLater(portal, options.screenshot, [portal] { portal->close(); });
    }
    return application.exec();
}

}  // namespace app
