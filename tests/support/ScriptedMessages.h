#pragma once

#include "common/Messages.h"

#include <QList>
#include <QQueue>

namespace tabel {

// Records every message the program shows and answers from a queue. A question the test
// did not script an answer for is a test failure, not a silent "No".
class ScriptedMessages : public Messages
{
public:
    MessageAnswer show(const Message& message) override;

    void answerNext(MessageAnswer answer) { m_answers.enqueue(answer); }
    const QList<Message>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }
    bool unexpectedQuestion() const { return m_unexpectedQuestion; }

private:
    QList<Message> m_shown;
    QQueue<MessageAnswer> m_answers;
    bool m_unexpectedQuestion = false;
};

} // namespace tabel
