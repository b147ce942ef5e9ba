#pragma once

#include "common/Messages.h"

#include <QList>
#include <QQueue>
#include <functional>

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
    // Forgets everything, answers still queued and an unexpected question included, so that
    // one test case cannot answer or fail for the next.
    void reset();
    bool unexpectedQuestion() const { return m_unexpectedQuestion; }
    // Runs action once, right after the next message is recorded: what someone else does while
    // the user reads the message (e.g. an administrator putting the database right).
    void afterNextMessage(std::function<void()> action) { m_afterNext = std::move(action); }

private:
    MessageAnswer answerFor(const Message& message);

    QList<Message> m_shown;
    QQueue<MessageAnswer> m_answers;
    bool m_unexpectedQuestion = false;
    std::function<void()> m_afterNext;
};

} // namespace tabel
