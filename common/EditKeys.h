#pragma once
// Edit boxes behave alike in every window: Ctrl+A, Shift+Home/End and a double click select
// the whole text, and a keystroke a box refuses (a character it does not take, text beyond its
// maximum length) says why in a tip beside the box, and in the window's status bar when it
// has one, instead of passing silently.
class QKeyEvent;
class QLineEdit;
class QString;
class QWidget;

namespace userdef {

// Gives every line edit below the window the behaviour above (boxes made later, such as grid
// cell editors, are not included).
void KeepEditKeys(QWidget* window);
// A box that takes digits only; any other character is refused with the reason.
void TakeDigitsOnly(QLineEdit* box);
// Whether a key press types characters: printable text without Ctrl, Alt or Meta.
bool TypesText(const QKeyEvent& event);
// Says at the box why the typed text was refused.
void ExplainRefusal(QWidget* box, const QString& why);

}  // namespace userdef
