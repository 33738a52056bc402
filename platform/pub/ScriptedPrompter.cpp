#include "platform/pub/ScriptedPrompter.h"

#include "host/IPub.h"

namespace platform::pub {

ScriptedPrompter::ScriptedPrompter(int defaultAnswer) : m_defaultAnswer(defaultAnswer) {}

int ScriptedPrompter::ask(const QString& text, int buttons, const QString& title) {
    m_asked.push_back({text, buttons, title});
    const QVector<int> offered = answersOf(buttons);
    if (offered.size() == 1) return offered.first();
    if (!m_answers.empty()) {
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return offered.contains(m_defaultAnswer) ? m_defaultAnswer : offered.first();
}

std::optional<QString> ScriptedPrompter::askText(const QString& text, const QString& title,
                                                 const QString& initial) {
    m_asked.push_back({text, -1, title});
    if (m_texts.empty()) return std::nullopt;
    std::optional<QString> answer = m_texts.front();
    m_texts.pop_front();
    return answer;
}

void ScriptedPrompter::queueAnswers(std::initializer_list<int> answers) {
    for (int a : answers) m_answers.push_back(a);
}

QStringList ScriptedPrompter::askedTexts() const {
    QStringList out;
    for (const Prompt& p : m_asked) out << p.text;
    return out;
}

}  // namespace platform::pub
