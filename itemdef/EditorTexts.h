#pragma once
// The item editor's captions: window and tab, labels, flag boxes (without "是否" / "or not"),
// the table-tree prompt, and the name columns by language, painted as not to be edited where
// the account has not installed the language.
class QWidget;

namespace Ui {
class FrmZAM;
}

namespace itemdef {

void ApplyEditorTexts(QWidget& window, Ui::FrmZAM& ui);

}  // namespace itemdef
