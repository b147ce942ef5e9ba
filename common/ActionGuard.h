#pragma once

#include <QString>

#include <exception>
#include <functional>

namespace tabel {

class Messages;

// Whatever holds the transaction that a failed action leaves open: the database connection.
class TransactionHolder
{
public:
    virtual void rollback() noexcept = 0;
    // Bracket every guarded action. An action may wait in a nested event loop (a progress
    // window, a question) with a result half read or a transaction open; a timer that fires
    // meanwhile asks the holder whether the connection is free before it uses it.
    // userAsked is false for work that runs without the user asking (WhenOffline::StaySilent).
    virtual void actionStarted(bool userAsked) noexcept { (void)userAsked; }
    virtual void actionEnded(bool userAsked) noexcept { (void)userAsked; }

protected:
    ~TransactionHolder() = default;
};

// The boundary of a user action. Qt calls an exception that leaves a slot undefined behaviour,
// so every handler that reaches the database runs its work through a guard: a failure is
// reported once, the open transaction is rolled back, and the window goes on working.
class ActionGuard
{
public:
    // Work that runs without the user asking (a timer) has nothing to say while the server is
    // away: the user learns it from their own next action.
    enum class WhenOffline { Report, StaySilent };

    ActionGuard(Messages& messages, TransactionHolder& transactions);

    // True when the work ran to its end.
    bool run(const std::function<void()>& work, WhenOffline offline = WhenOffline::Report) const noexcept;

    // A slot for connect() that runs work guarded and ignores the signal's arguments.
    template <typename Work> auto slot(Work work) const
    {
        return [this, work](auto&&...) { run(work); };
    }

    // The one place that decides what the user reads about a failed action: a sentence in the
    // users' words for each kind of failure, and the system's own text as the detail.
    static QString reportText(const std::exception& error);
    static QString reportDetail(const std::exception& error);

private:
    Messages& m_messages;
    TransactionHolder& m_transactions;
};

} // namespace tabel
