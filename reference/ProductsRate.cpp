#include "reference/ProductsRate.h"

#include "common/Numbers.h"

#include <QLocale>

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

std::optional<double> parseRate(const QString& typed)
{
    QString text = typed.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    // QLocale::c() would also take exponents, signs and blanks that the box never lets through.
    for (const QChar ch : text)
        if (ch != QLatin1Char('.') && !(ch >= QLatin1Char('0') && ch <= QLatin1Char('9')))
            return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString rateText(const QVariant& stored)
{
    if (stored.isNull() || !stored.isValid())
        return {};
    bool ok = false;
    const double value = stored.toDouble(&ok);
    if (!ok)
        return stored.toString().trimmed();
    // The column keeps 6 decimals; showing all of them keeps a save without edits lossless.
    return formatDecimal(value, 0, 6).replace(QLatin1Char(','), QLatin1Char('.'));
}

} // namespace tabel
