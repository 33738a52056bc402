#include "platform/pub/HelpWindow.h"

#include <QScreen>
#include <algorithm>
#include <QKeyEvent>
#include <QTextCursor>
#include <QUrl>

#include "resources/help/HelpPages.h"
#include "ui_HelpWindow.h"

namespace platform::pub {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), ui(new Ui::HelpWindow) {
    ui->setupUi(this);
    ui->txtHelp->setSearchPaths({resources::help::folder()});
    connect(ui->txtHelp, &QTextBrowser::sourceChanged, this,
            [this](const QUrl&) { setWindowTitle(ui->txtHelp->documentTitle()); });
    connect(ui->EdtFind, &QLineEdit::textEdited, this, [this] { findNext(true); });
    connect(ui->EdtFind, &QLineEdit::returnPressed, this, [this] { findNext(false); });
    ui->txtHelp->setFocus();
}

HelpWindow::~HelpWindow() = default;

// Keys the page and the find box leave alone arrive here, whether or not the window is active.
void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
    } else if (event->matches(QKeySequence::Find)) {
        ui->EdtFind->setFocus(Qt::ShortcutFocusReason);
        ui->EdtFind->selectAll();
    } else {
        QWidget::keyPressEvent(event);
    }
}

QTextBrowser* HelpWindow::browser() const { return ui->txtHelp; }
QLineEdit* HelpWindow::findBox() const { return ui->EdtFind; }

void HelpWindow::setFindHint(const QString& hint) { ui->EdtFind->setPlaceholderText(hint); }

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

void HelpWindow::findNext(bool fromStart) {
    const QString wanted = ui->EdtFind->text();
    QTextCursor cursor = ui->txtHelp->textCursor();
    if (fromStart) cursor.setPosition(cursor.selectionStart());
    if (wanted.isEmpty()) {
        cursor.clearSelection();
        ui->txtHelp->setTextCursor(cursor);
        return;
    }
    QTextCursor found = ui->txtHelp->document()->find(wanted, cursor);
    if (found.isNull()) found = ui->txtHelp->document()->find(wanted, 0);  // around the end
    if (!found.isNull()) ui->txtHelp->setTextCursor(found);  // selects and scrolls to it
}

void HelpWindow::placeBeside(const QWidget* other) {
    if (!other) return;
    const QRect beside = other->frameGeometry();
    const QScreen* screen = other->screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    const int right = room.right() - beside.right();
    const int left = beside.left() - room.left();
    // Narrower rather than over the window, down to a width that still reads well.
    const int frame = frameGeometry().width() - width();
    const int widest = std::max(right, left);
    if (frameGeometry().width() > widest && widest >= 360) resize(widest - frame, height());
    const int w = frameGeometry().width();
    const int x = right >= w ? beside.right() + 1
                  : left >= w ? beside.left() - w
                              : room.right() + 1 - w;  // no room: at the screen's edge
    const int h = frameGeometry().height();
    move(x, std::clamp(beside.top(), room.top(), std::max(room.top(), room.bottom() + 1 - h)));
}

}  // namespace platform::pub
