#include "common/ActionGuard.h"

#include "common/ActionError.h"
#include "common/Messages.h"

namespace tabel {

ActionGuard::ActionGuard(Messages& messages, TransactionHolder& transactions)
    : m_messages(messages), m_transactions(transactions)
{
}

bool ActionGuard::run(const std::function<void()>& work, WhenOffline offline) const noexcept
{
    QString text;
    QString detail;
    bool silent = false;
    struct Bracket
    {
        TransactionHolder& holder;
        bool userAsked;
        Bracket(TransactionHolder& holder, bool userAsked) : holder(holder), userAsked(userAsked)
        {
            holder.actionStarted(userAsked);
        }
        ~Bracket() { holder.actionEnded(userAsked); }
    };
    try {
        const Bracket bracket(m_transactions, offline == WhenOffline::Report);
        work();
        return true;
    } catch (const std::exception& error) {
        text = reportText(error);
        detail = reportDetail(error);
        const auto* failure = dynamic_cast<const ActionError*>(&error);
        silent =
            offline == WhenOffline::StaySilent && failure && failure->kind() == FailureKind::ConnectionLost;
    } catch (...) {
        text = QStringLiteral("Непредвиденная ошибка. Действие не выполнено.");
    }
    // Before the message: the user may take a while to read it, and the failed
    // transaction's locks would keep other clients waiting meanwhile.
    m_transactions.rollback();
    if (silent)
        return false;
    try {
        m_messages.failure(text, detail);
    } catch (...) {
        // A report that cannot be shown must not take the program down with it.
    }
    return false;
}

QString ActionGuard::reportText(const std::exception& error)
{
    const auto* failure = dynamic_cast<const ActionError*>(&error);
    if (!failure)
        return QStringLiteral("Непредвиденная ошибка. Действие не выполнено.");
    switch (failure->kind()) {
    case FailureKind::ConnectionLost:
        return QStringLiteral("Нет связи с сервером базы данных. Действие не выполнено.");
    case FailureKind::Busy:
        return QStringLiteral("Данные заняты другим пользователем. Повторите действие позже.");
    case FailureKind::Conflict:
        return QStringLiteral(
            "Действие совпало с действием другого пользователя и не выполнено. Повторите его.");
    case FailureKind::NumberOutOfRange:
        return QStringLiteral("Число слишком велико для базы данных. Действие не выполнено.");
    case FailureKind::TextTooLong:
        return QStringLiteral("Текст длиннее, чем допускает база данных. Действие не выполнено.");
    case FailureKind::NoPermission:
        return QStringLiteral(
            "Недостаточно прав в базе данных для этого действия. Обратитесь к администратору.");
    case FailureKind::Duplicate:
        return QStringLiteral("Такая запись в базе данных уже есть. Действие не выполнено.");
    case FailureKind::CheckFailed:
        return QStringLiteral(
            "База данных не приняла значение: оно не прошло её проверку. Действие не выполнено.");
    case FailureKind::General:
        break;
    }
    return QStringLiteral("Ошибка базы данных. Действие не выполнено.");
}

QString ActionGuard::reportDetail(const std::exception& error)
{
    if (const auto* failure = dynamic_cast<const ActionError*>(&error))
        return failure->detail();
    return QString::fromUtf8(error.what());
}

} // namespace tabel
