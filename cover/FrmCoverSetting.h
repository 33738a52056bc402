#pragma once
// The cover setting: whether document information is overwritten when an item definition
// changes. Three exclusive options mirror the opener's three menu entries mVouchTip0–2 (ask,
// always, never); the choice lives only in those menu check marks.
#include <QDialog>
#include <QList>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QKeyEvent;

namespace Ui {
class FrmCoverSetting;
}

namespace cover {

class FrmCoverSetting : public QDialog {
    Q_OBJECT

public:
    // tips: the opener's entries mVouchTip0, mVouchTip1, mVouchTip2. runCommand: the opener's
    // command entry, run with "mVouchTip"n after OK.
    FrmCoverSetting(QList<QAction*> tips, std::function<void(const QString&)> runCommand,
                    QWidget* parent = nullptr);
    ~FrmCoverSetting() override;

    // The option chosen, 0–2; -1 when none is.
    int chosenOption() const;
    void chooseOption(int option);

    // OK: marks the chosen entry alone, runs its command and closes. Without a choice it closes.
    void accept() override;

protected:
    // F1 shows the catalogue's help page, which describes the options.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::FrmCoverSetting> ui;
    QList<QPointer<QAction>> m_tips;
    std::function<void(const QString&)> m_runCommand;
};

}  // namespace cover
