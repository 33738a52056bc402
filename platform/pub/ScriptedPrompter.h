#pragma once
// A prompter for tests: answers from a queue and records everything it was asked; nothing
// blocks.
//
// Questions (button sets with a choice) take the next queued answer, or the default answer when
// the queue is empty; a default the buttons do not offer becomes their first answer. Plain
// messages (OK only) answer OK and leave the queue alone. Text requests take the next queued
// text (nullopt = cancelled), or cancel when none is queued.
#include <QStringList>
#include <deque>
#include <initializer_list>

#include "platform/pub/Prompter.h"

namespace platform::pub {

class ScriptedPrompter : public IPrompter {
public:
    explicit ScriptedPrompter(int defaultAnswer = 6 /* Yes */);

    int ask(const QString& text, int buttons, const QString& title) override;
    std::optional<QString> askText(const QString& text, const QString& title,
                                   const QString& initial) override;

    void queueAnswer(int answer) { m_answers.push_back(answer); }
    void queueAnswers(std::initializer_list<int> answers);
    void queueText(std::optional<QString> text) { m_texts.push_back(std::move(text)); }
    void setDefaultAnswer(int answer) { m_defaultAnswer = answer; }
    int pendingAnswers() const { return int(m_answers.size()); }

    const QVector<Prompt>& asked() const { return m_asked; }
    QStringList askedTexts() const;  // the texts, in the order asked
    const Prompt* last() const { return m_asked.isEmpty() ? nullptr : &m_asked.last(); }
    void clear() { m_asked.clear(); }

private:
    int m_defaultAnswer;
    std::deque<int> m_answers;
    std::deque<std::optional<QString>> m_texts;
    QVector<Prompt> m_asked;
};

}  // namespace platform::pub
