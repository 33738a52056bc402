#include "platform/pub/HelpWindow.h"

#include <QUrl>

#include "resources/help/HelpPages.h"
#include "ui_HelpWindow.h"

namespace platform::pub {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), ui(new Ui::HelpWindow) {
    ui->setupUi(this);
    ui->txtHelp->setSearchPaths({resources::help::folder()});
    connect(ui->txtHelp, &QTextBrowser::sourceChanged, this,
            [this](const QUrl&) { setWindowTitle(ui->txtHelp->documentTitle()); });
}

HelpWindow::~HelpWindow() = default;

QTextBrowser* HelpWindow::browser() const { return ui->txtHelp; }

bool HelpWindow::showTopic(const QString& topic, const QString& language) {
    QString path = resources::help::pagePath(topic, language);
    if (path.isEmpty()) path = resources::help::pagePath(topic, QStringLiteral("zh-CN"));
    if (path.isEmpty()) return false;
    m_topic = topic;
    m_path = path;
    ui->txtHelp->setSource(QUrl(QStringLiteral("qrc") + path));
    setWindowTitle(ui->txtHelp->documentTitle());
    return true;
}

}  // namespace platform::pub
