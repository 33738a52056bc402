#pragma once
// Keyboard rules of the value archive: the bar-code box's character filter and the window's
// hot keys.
#include <QObject>
#include <QString>

class QKeyEvent;
class QLineEdit;

namespace archive {

// Lets only letters, digits and the hyphen into a bar-code box, typed or pasted; control keys
// (backspace, tab, enter, escape and the like) pass.
class BarCodeFilter : public QObject {
public:
    // Installs itself (and a validator for pasted text) on the box; owned by the box.
    static void install(QLineEdit* box);
    static bool accepts(const QString& typed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

// The command a key stands for in the value archive ("Help", "Print", "Pos", "Previous", "First",
// "Next", "Last", "Exit", "Add", "SaveRs", "Modify", "Delete"); empty for other keys.
QString hotKeyCommand(const QKeyEvent& event);

}  // namespace archive
