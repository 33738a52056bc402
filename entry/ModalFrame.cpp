#include "entry/ModalFrame.h"

#include <QEvent>
#include <QVBoxLayout>

namespace userdef {

ModalFrame::ModalFrame(QWidget* content, QWidget* parent) : QDialog(parent), m_content(content) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!content) return;
    setWindowTitle(content->windowTitle());
    setWindowIcon(content->windowIcon());
    setObjectName(content->objectName() + QStringLiteral("_modal"));
    content->setParent(this);
    layout->addWidget(content);
    content->show();
    resize(content->size().expandedTo(content->sizeHint()));
    content->installEventFilter(this);
    connect(content, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
}

void ModalFrame::reject() {
    if (m_content && !m_content->isHidden()) {
        m_rejecting = true;
        const bool closed = m_content->close();
        m_rejecting = false;
        if (!closed) return;  // the window keeps itself open (unsaved changes …)
    }
    QDialog::reject();
}

bool ModalFrame::eventFilter(QObject* watched, QEvent* event) {
    // The window closed itself (its exit command): the dialog ends with it.
    if (watched == m_content && event->type() == QEvent::Hide && !m_rejecting && isVisible() &&
        m_content->isHidden())
        QDialog::done(QDialog::Accepted);
    return QDialog::eventFilter(watched, event);
}

}  // namespace userdef
