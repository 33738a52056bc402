#include "platform/pub/MessageBoxPrompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "host/IPub.h"

namespace platform::pub {

namespace {

QMessageBox::Icon iconOf(int buttons) {
    switch (buttons & 0x70) {
        case 16: return QMessageBox::Critical;
        case 32: return QMessageBox::Question;
        case 48: return QMessageBox::Warning;
        case 64: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton buttonOf(int answer) {
    switch (answer) {
        case 1: return QMessageBox::Ok;
        case 2: return QMessageBox::Cancel;
        case 3: return QMessageBox::Abort;
        case 4: return QMessageBox::Retry;
        case 5: return QMessageBox::Ignore;
        case 6: return QMessageBox::Yes;
        case 7: return QMessageBox::No;
        default: return QMessageBox::NoButton;
    }
}

}  // namespace

int MessageBoxPrompter::ask(const QString& text, int buttons, const QString& title) {
    QWidget* parent = m_parent ? m_parent : QApplication::activeWindow();
    QMessageBox box(iconOf(buttons), title, text, QMessageBox::NoButton, parent);
    const QVector<int> offered = answersOf(buttons);
    for (int answer : offered) box.addButton(buttonOf(answer));
    // Bit 256 chooses the second button as default, 512 the third, as the codes have it.
    const int defaultIndex = (buttons & 0x300) >> 8;
    box.setDefaultButton(buttonOf(offered.value(defaultIndex, offered.first())));
    if (offered.contains(host::MsgAnswer::Cancel))
        box.setEscapeButton(buttonOf(host::MsgAnswer::Cancel));
    else if (offered.contains(host::MsgAnswer::No))
        box.setEscapeButton(buttonOf(host::MsgAnswer::No));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (int answer : offered)
        if (clicked == box.button(buttonOf(answer))) return answer;
    return offered.contains(host::MsgAnswer::Cancel) ? host::MsgAnswer::Cancel : offered.last();
}

std::optional<QString> MessageBoxPrompter::askText(const QString& text, const QString& title,
                                                   const QString& initial) {
    QWidget* parent = m_parent ? m_parent : QApplication::activeWindow();
    bool ok = false;
    const QString value =
        QInputDialog::getText(parent, title, text, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace platform::pub
