#pragma once
// The production prompter: a modal QMessageBox with the icon and buttons the code asks for, and
// a QInputDialog for text requests.
#include "platform/pub/Prompter.h"

class QWidget;

namespace platform::pub {

class MessageBoxPrompter : public IPrompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    int ask(const QString& text, int buttons, const QString& title) override;
    std::optional<QString> askText(const QString& text, const QString& title,
                                   const QString& initial) override;

private:
    QWidget* m_parent;
};

}  // namespace platform::pub
