#pragma once
// A dialog around a window that is not a dialog itself, so it can run modally. Closing the
// dialog asks the window to close first; the window closing itself ends the dialog.
#include <QDialog>
#include <QPointer>

namespace userdef {

class ModalFrame : public QDialog {
    Q_OBJECT
public:
    explicit ModalFrame(QWidget* content, QWidget* parent = nullptr);
    QWidget* content() const { return m_content; }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_content;
    bool m_rejecting = false;
};

}  // namespace userdef
