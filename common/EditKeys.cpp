#include "common/EditKeys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QToolTip>

#include "common/Globals.h"

namespace userdef {

namespace {

const char* const kWhy = "refusedWhy";  // the box's own reason for refused characters

QString text(const char* key, const QString& arg = {}) {
    const QString k = QString::fromLatin1(key);
    if (!g_Pub) return k;
    return arg.isNull() ? g_Pub->GetResString(k) : g_Pub->GetResFormatString(k, {arg});
}

// Explains what a line edit refuses by itself (its validator, its maximum length); the box
// still decides.
class EditKeysFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = static_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::MouseButtonDblClick) {
            box->selectAll();
            return true;
        }
        if (event->type() == QEvent::KeyPress && !box->isReadOnly()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (TypesText(*key)) explain(box, key->text());
        }
        return false;
    }

private:
    static void explain(QLineEdit* box, const QString& typed) {
        QString result = box->text();
        if (box->hasSelectedText())
            result.replace(box->selectionStart(), box->selectedText().size(), typed);
        else
            result.insert(box->cursorPosition(), typed);
        if (result.size() > box->maxLength()) {
            ExplainRefusal(box, text("Pub.Edit.TooLong", QString::number(box->maxLength())));
            return;
        }
        int pos = result.size();
        if (box->validator() && box->validator()->validate(result, pos) == QValidator::Invalid) {
            const QString why = box->property(kWhy).toString();
            ExplainRefusal(box, why.isEmpty() ? text("Pub.Edit.Refused", typed) : why);
        }
    }
};

void install(QLineEdit* box) {
    if (box->property("editKeys").toBool()) return;
    box->setProperty("editKeys", true);
    box->installEventFilter(new EditKeysFilter(box));
}

}  // namespace

void KeepEditKeys(QWidget* window) {
    if (!window) return;
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) install(box);
}

void TakeDigitsOnly(QLineEdit* box) {
    if (!box) return;
    box->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    box->setProperty(kWhy, text("Pub.Edit.DigitsOnly"));
    install(box);
}

bool TypesText(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString typed = event.text();
    if (typed.isEmpty()) return false;
    for (const QChar c : typed)
        if (!c.isPrint()) return false;
    return true;
}

void ExplainRefusal(QWidget* box, const QString& why) {
    if (!box) return;
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), why, box);
    if (auto* main = qobject_cast<QMainWindow*>(box->window()))
        main->statusBar()->showMessage(why, 5000);
}

}  // namespace userdef
