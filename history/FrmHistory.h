#pragma once
// The history of the account's definitions, or of one item: every recorded change (when, who,
// from which window or command, what) with its rows before and after, newest last. "Undo"
// reverts the chosen change after asking; a refusal names the later change that depends on it.
#include <QDialog>
#include <memory>

namespace Ui {
class FrmHistory;
}

namespace history {

class FrmHistory : public QDialog {
    Q_OBJECT

public:
    // itemId: the item whose changes are listed; empty for the whole account.
    explicit FrmHistory(const QString& itemId, QWidget* parent = nullptr);
    ~FrmHistory() override;

    // The window's commands: "Undo", "Refresh", "Help", "Exit".
    Q_INVOKABLE void RunCommand(const QString& key);
    // Reads the changes again and selects the last one; false when they cannot be read.
    bool Refresh();
    // The change of a grid row (1 = the first change); 0 for none.
    int changeAt(int row) const;

signals:
    // A change was undone: the opener reads its data again.
    void changed();

private:
    void showDiff(int row);
    void Undo();

    std::unique_ptr<Ui::FrmHistory> ui;
    QString m_itemId;
    QStringList m_diffs;  // by grid row - 1
};

}  // namespace history
