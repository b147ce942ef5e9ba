#include "common/ActionGuard.h"

#include "common/Messages.h"

namespace tabel {

ActionGuard::ActionGuard(Messages& messages, TransactionHolder& transactions)
    : m_messages(messages), m_transactions(transactions)
{
}

bool ActionGuard::run(const std::function<void()>& work) const noexcept
{
    QString text;
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        text = reportText(error);
    } catch (...) {
        text = QStringLiteral("Неизвестная ошибка");
    }
    // Before the message: the user may take a while to read it, and the failed
    // transaction's locks would keep other clients waiting meanwhile.
    m_transactions.rollback();
    try {
        m_messages.error(text);
    } catch (...) {
        // A report that cannot be shown must not take the program down with it.
    }
    return false;
}

QString ActionGuard::reportText(const std::exception& error)
{
    return QString::fromUtf8(error.what());
}

} // namespace tabel
