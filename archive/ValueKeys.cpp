#include "archive/ValueKeys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "common/EditKeys.h"
#include "common/ResText.h"

namespace archive {

namespace {

const QString kBarCodeChars =
    QStringLiteral("1234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");

// Character codes that pass unfiltered: Ctrl+A, Ctrl+B, Ctrl+D, backspace, tab, enter, escape
// and the hyphen.
bool passes(QChar c) {
    switch (c.unicode()) {
        case 1: case 2: case 4: case 8: case 9: case 13: case 27: case 45: return true;
        default: return false;
    }
}

}  // namespace

void BarCodeFilter::install(QLineEdit* box) {
    if (!box) return;
    box->installEventFilter(new BarCodeFilter(box));
    box->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9A-Za-z-]*")), box));
}

bool BarCodeFilter::accepts(const QString& typed) {
    for (const QChar c : typed)
        if (!passes(c) && !kBarCodeChars.contains(c)) return false;
    return true;
}

bool BarCodeFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        // Keys without text (arrows, shift, caps lock, function keys) are not characters.
        if (!typed.isEmpty() && !accepts(typed)) {
            if (userdef::TypesText(*key))
                userdef::ExplainRefusal(static_cast<QWidget*>(watched),
                                        userdef::ResText("Pub.Edit.BarCode"));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QString hotKeyCommand(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    switch (event.key()) {
        case Qt::Key_P: return mods == Qt::ControlModifier ? QStringLiteral("Print") : QString();
        case Qt::Key_F1: return QStringLiteral("Help");
        case Qt::Key_F3: return QStringLiteral("Pos");
        case Qt::Key_PageUp:
            return mods & Qt::AltModifier ? QStringLiteral("First") : QStringLiteral("Previous");
        case Qt::Key_PageDown:
            return mods & Qt::AltModifier ? QStringLiteral("Last") : QStringLiteral("Next");
        case Qt::Key_Escape: return QStringLiteral("Exit");
        case Qt::Key_F5: return QStringLiteral("Add");
        case Qt::Key_F6: return QStringLiteral("SaveRs");
        case Qt::Key_F7: return QStringLiteral("Modify");
        case Qt::Key_Delete: return mods == Qt::NoModifier ? QStringLiteral("Delete") : QString();
        default: return {};
    }
}

}  // namespace archive
