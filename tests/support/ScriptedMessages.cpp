#include "support/ScriptedMessages.h"

#include <QStringList>
#include <QTest>

namespace tabel {

MessageAnswer ScriptedMessages::show(const Message& message)
{
    m_shown.append(message);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (message.buttons == MessageButtons::YesNo) {
        m_unexpectedQuestion = true;
        qWarning("Unscripted question: %s", qPrintable(message.text));
        return MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

QStringList ScriptedMessages::texts() const
{
    QStringList result;
    for (const auto& message : m_shown)
        result << message.text;
    return result;
}

} // namespace tabel
