#pragma once
// Every message and question of the public service goes through a prompter: a message box in
// production, a script in tests.
#include <QString>
#include <QVector>
#include <optional>

namespace platform::pub {

// One message, question or text request as it was asked.
struct Prompt {
    QString text;
    int buttons = 0;  // host::MsgButtons codes; -1 for a text request
    QString title;
};

class IPrompter {
public:
    virtual ~IPrompter() = default;
    // Shows a message or asks a question. buttons: the button set in the low nibble (0 OK,
    // 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel) plus an
    // icon (16 critical, 32 question, 48 warning, 64 information). Answers 1 OK, 2 Cancel,
    // 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No.
    virtual int ask(const QString& text, int buttons, const QString& title) = 0;
    // Asks for one line of text; nullopt when the user cancels.
    virtual std::optional<QString> askText(const QString& text, const QString& title,
                                           const QString& initial) = 0;
};

// The answers a button set offers, in button order.
QVector<int> answersOf(int buttons);

}  // namespace platform::pub
