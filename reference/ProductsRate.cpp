#include "reference/ProductsRate.h"

#include "common/Numbers.h"

namespace tabel {

QValidator::State RateValidator::validate(QString& input, int&) const
{
    for (QChar& ch : input) {
        if (ch == QLatin1Char(','))
            ch = QLatin1Char('.');
        else if (ch != QLatin1Char('.') && !(ch >= QLatin1Char('0') && ch <= QLatin1Char('9')))
            return Invalid;
    }
    return Acceptable;
}

QString rateText(const QVariant& stored)
{
    if (stored.isNull() || !stored.isValid())
        return {};
    bool ok = false;
    const double value = stored.toDouble(&ok);
    if (!ok)
        return stored.toString().trimmed();
    // The whole value, so that a save without edits stores what it read.
    return shortestText(value, DecimalMark::Point);
}

} // namespace tabel
