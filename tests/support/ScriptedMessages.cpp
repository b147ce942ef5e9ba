#include "support/ScriptedMessages.h"

#include <QStringList>
#include <QTest>
#include <utility>

namespace tabel {

MessageAnswer ScriptedMessages::show(const Message& message)
{
    m_shown.append(message);
    const MessageAnswer answer = answerFor(message);
    if (m_afterNext)
        std::exchange(m_afterNext, {})();
    return answer;
}

MessageAnswer ScriptedMessages::answerFor(const Message& message)
{
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (message.buttons == MessageButtons::YesNo) {
        m_unexpectedQuestion = true;
        qWarning("Unscripted question: %s", qPrintable(message.text));
        return MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

void ScriptedMessages::reset()
{
    m_shown.clear();
    m_answers.clear();
    m_unexpectedQuestion = false;
    m_afterNext = {};
}

QStringList ScriptedMessages::texts() const
{
    QStringList result;
    for (const auto& message : m_shown)
        result << message.text;
    return result;
}

} // namespace tabel
