#include "common/DigitsValidator.h"

namespace tabel {

QValidator::State DigitsValidator::validate(QString& input, int&) const
{
    if (input.isEmpty())
        return Intermediate;
    for (const QChar ch : input)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return Invalid;
    bool ok = false;
    const qint64 value = input.toLongLong(&ok);
    return ok && value <= m_maximum ? Acceptable : Invalid;
}

} // namespace tabel
