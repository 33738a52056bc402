#include "app/PortalFrame.h"

#include <QCloseEvent>
#include <QHash>
#include <QLabel>
#include <QListWidgetItem>
#include <QMetaMethod>
#include <QPointer>
#include <QStyle>
#include <algorithm>

#include "app/DeskTexts.h"
#include "common/Log.h"
#include "ui_PortalFrame.h"

namespace app {

namespace {

const char* const kFormKey = "portalFormKey";
const QString kUserDef = QStringLiteral("UserDef");
const QString kMakeVouchSet = QStringLiteral("MakeVouchSet");
const QString kDocLayouts = QStringLiteral("DocLayouts");
const QString kUsers = QStringLiteral("Users");
const QString kPackages = QStringLiteral("Packages");
const QString kHistory = QStringLiteral("History");

// A window closes through its invokable ExitForm() when it has one, else through close().
void exitForm(QWidget* window) {
    if (window->metaObject()->indexOfMethod("ExitForm()") >= 0)
        QMetaObject::invokeMethod(window, "ExitForm", Qt::DirectConnection);
    else
        window->close();
}

}  // namespace

PortalFrame::PortalFrame(const QString& language, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::PortalFrame>()), m_language(language) {
    ui->setupUi(this);
    auto* item = new QListWidgetItem(ui->LstFunctions);
    item->setData(Qt::UserRole, kUserDef);
    item->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    auto* rules = new QListWidgetItem(ui->LstFunctions);
    rules->setData(Qt::UserRole, kMakeVouchSet);
    rules->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    auto* layouts = new QListWidgetItem(ui->LstFunctions);
    layouts->setData(Qt::UserRole, kDocLayouts);
    layouts->setIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
    auto* history = new QListWidgetItem(ui->LstFunctions);
    history->setData(Qt::UserRole, kHistory);
    history->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    auto* users = new QListWidgetItem(ui->LstFunctions);
    users->setData(Qt::UserRole, kUsers);
    users->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
    auto* packages = new QListWidgetItem(ui->LstFunctions);
    packages->setData(Qt::UserRole, kPackages);
    packages->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    ui->LstFunctions->setIconSize(QSize(20, 20));
    ui->LstFunctions->setStyleSheet(QStringLiteral("QListWidget::item { padding: 6px 4px; }"));
    ui->Splitter->setStretchFactor(0, 0);
    ui->Splitter->setStretchFactor(1, 1);
    ui->Splitter->setSizes({190, 990});
    retranslate();
    updatePage();

    connect(ui->ActUserDef, &QAction::triggered, this,
            [this] { emit functionRequested(kUserDef); });
    connect(ui->ActMakeVouchSet, &QAction::triggered, this,
            [this] { emit functionRequested(kMakeVouchSet); });
    connect(ui->ActCoverSetting, &QAction::triggered, this,
            [this] { emit functionRequested(QStringLiteral("CoverSetting")); });
    connect(ui->ActUsers, &QAction::triggered, this, [this] { emit functionRequested(kUsers); });
    connect(ui->ActPackages, &QAction::triggered, this,
            [this] { emit functionRequested(kPackages); });
    connect(ui->LstFunctions, &QListWidget::itemActivated, this, [this](QListWidgetItem* it) {
        emit functionRequested(it->data(Qt::UserRole).toString());
    });
    connect(ui->ActExit, &QAction::triggered, this, &QWidget::close);
    connect(ui->ActCloseTab, &QAction::triggered, this, [this] {
        if (ui->TabWindows->count() > 0) closeTab(ui->TabWindows->currentIndex());
    });
    connect(ui->TabWindows, &QTabWidget::tabCloseRequested, this, &PortalFrame::closeTab);
}

PortalFrame::~PortalFrame() = default;

QString PortalFrame::text(const char* key, const QStringList& values) const {
    return deskText(m_language, QString::fromLatin1(key), values);
}

void PortalFrame::retranslate() {
    setWindowTitle(text("Desk.Login.Heading"));
    ui->mFunctions->setTitle(text("Desk.Portal.Functions"));
    ui->mWindow->setTitle(text("Desk.Portal.Window"));
    ui->ActUserDef->setText(text("Desk.Portal.UserDef"));
    ui->ActExit->setText(text("Desk.Portal.Exit"));
    ui->ActCloseTab->setText(text("Desk.Portal.CloseTab"));
    ui->LblWelcome->setText(text("Desk.Portal.Welcome"));
    ui->ActMakeVouchSet->setText(text("Desk.Portal.MakeVouchSet"));
    ui->ActCoverSetting->setText(text("Desk.Portal.CoverSetting"));
    ui->ActUsers->setText(text("Desk.Portal.Users"));
    ui->ActPackages->setText(text("Desk.Portal.Packages"));
    // The function list's entries by their keys.
    const QHash<QString, const char*> captions = {{kUserDef, "Desk.Portal.UserDef"},
                                                  {kMakeVouchSet, "Desk.Portal.MakeVouchSet"},
                                                  {kDocLayouts, "Desk.Portal.DocLayouts"},
                                                  {kHistory, "Desk.Portal.History"},
                                                  {kUsers, "Desk.Portal.Users"},
                                                  {kPackages, "Desk.Portal.Packages"}};
    for (int i = 0; i < ui->LstFunctions->count(); ++i) {
        QListWidgetItem* entry = ui->LstFunctions->item(i);
        if (const char* key = captions.value(entry->data(Qt::UserRole).toString()))
            entry->setText(text(key));
    }
    // The list is as wide as its longest entry: no function's name is cut.
    ui->LstFunctions->setMinimumWidth(std::max(
        150, ui->LstFunctions->sizeHintForColumn(0) + 2 * ui->LstFunctions->frameWidth() + 4));
}

void PortalFrame::setSession(const QString& accountId, const QString& accountName,
                             const QString& userId, const QString& userName) {
    setWindowTitle(text("Desk.Portal.Title", {accountId, accountName}));
    // A widget of the bar, not a message: a command's tip covers it only while it shows.
    auto* session = ui->StatusBar->findChild<QLabel*>(QStringLiteral("LblSession"));
    if (!session) {
        session = new QLabel(ui->StatusBar);
        session->setObjectName(QStringLiteral("LblSession"));
        ui->StatusBar->addWidget(session, 1);
    }
    session->setText(text("Desk.Portal.Status", {accountId, accountName, userId, userName}));
}

void PortalFrame::offerUsers(bool offered) {
    ui->ActUsers->setVisible(offered);
    for (int i = 0; i < ui->LstFunctions->count(); ++i)
        if (ui->LstFunctions->item(i)->data(Qt::UserRole).toString() == kUsers)
            ui->LstFunctions->item(i)->setHidden(!offered);
}

QTabWidget* PortalFrame::tabs() const { return ui->TabWindows; }

void PortalFrame::updatePage() {
    ui->StkMain->setCurrentWidget(
        ui->TabWindows->count() > 0 ? static_cast<QWidget*>(ui->TabWindows) : ui->LblWelcome);
}

int PortalFrame::hostWindow(QWidget* window, const QString& formKey, bool activate) {
    if (!window) return -1;
    window->setProperty(kFormKey, formKey);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QString caption = window->windowTitle().isEmpty() ? formKey : window->windowTitle();
    const int index = ui->TabWindows->addTab(window, caption);
    connect(window, &QWidget::windowTitleChanged, ui->TabWindows,
            [this, window](const QString& title) {
                const int at = ui->TabWindows->indexOf(window);
                if (at >= 0 && !title.isEmpty()) ui->TabWindows->setTabText(at, title);
            });
    connect(
        window, &QObject::destroyed, this, [this] { updatePage(); }, Qt::QueuedConnection);
    if (activate) ui->TabWindows->setCurrentIndex(index);
    updatePage();
    userdef::DebugTrace(QStringLiteral("portal hosts %1").arg(formKey));
    return index;
}

QWidget* PortalFrame::windowOf(const QString& formKey) const {
    for (int i = 0; i < ui->TabWindows->count(); ++i) {
        QWidget* window = ui->TabWindows->widget(i);
        if (window->property(kFormKey).toString() == formKey) return window;
    }
    return nullptr;
}

bool PortalFrame::closeTab(int index) {
    QPointer<QWidget> window = ui->TabWindows->widget(index);
    if (!window) return false;
    ui->TabWindows->setCurrentIndex(index);
    exitForm(window);
    if (window && !window->isHidden()) return false;  // it keeps itself open
    if (window) {
        const int at = ui->TabWindows->indexOf(window);
        if (at >= 0) ui->TabWindows->removeTab(at);
        window->deleteLater();
    }
    updatePage();
    return true;
}

void PortalFrame::closeEvent(QCloseEvent* event) {
    while (ui->TabWindows->count() > 0) {
        if (!closeTab(ui->TabWindows->count() - 1)) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

}  // namespace app
