#include "report_engine/DisplayText.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace tabel {

namespace {

// The digits of a number's magnitude with the position of its decimal point.
struct DecimalDigits
{
    QString digits;    // no sign, no point
    int integerDigits; // digits before the point
};

// THE ROUNDING RULE OF PRINTED REPORTS. A value is read as its decimal text at 15 significant
// digits, the most that every double keeps faithfully, and that text is rounded half away
// from zero. So 2.675, stored as 2.67499999999999982236431605997495353221893310546875, and a
// sum whose last bits drifted (0.1 + 0.2) both print as the decimal the user typed or added
// up: "2,68" and "0,30" under "#0.00". Rounding the binary value instead would print "2,67".
DecimalDigits roundedDigits(double magnitude, int decimals)
{
    const QString scientific = QString::number(magnitude, 'e', 14); // d.dddddddddddddde±XX
    const int exponentAt = int(scientific.indexOf(QLatin1Char('e')));
    QString digits = scientific.left(1) + scientific.mid(2, exponentAt - 2);
    int integerDigits = scientific.mid(exponentAt + 1).toInt() + 1;
    if (integerDigits < 1) {
        digits.prepend(QString(1 - integerDigits, QLatin1Char('0')));
        integerDigits = 1;
    }
    const int kept = integerDigits + decimals;
    if (digits.size() < kept + 1)
        digits.append(QString(kept + 1 - digits.size(), QLatin1Char('0')));
    const bool roundUp = digits.at(kept) >= QLatin1Char('5');
    digits.truncate(kept);
    if (roundUp) {
        int position = kept - 1;
        while (position >= 0 && digits.at(position) == QLatin1Char('9'))
            digits[position--] = QLatin1Char('0');
        if (position >= 0) {
            digits[position] = QChar(digits.at(position).unicode() + 1);
        } else {
            digits.prepend(QLatin1Char('1'));
            ++integerDigits;
        }
    }
    return {digits, integerDigits};
}

struct Mask
{
    int minDecimals = 0;
    int maxDecimals = 0;
};

Mask parseMask(const QString& mask)
{
    Mask parsed;
    const int point = int(mask.indexOf(QLatin1Char('.')));
    if (point < 0)
        return parsed;
    for (int at = point + 1; at < mask.size(); ++at) {
        if (mask.at(at) == QLatin1Char('0'))
            parsed.minDecimals = ++parsed.maxDecimals;
        else if (mask.at(at) == QLatin1Char('#'))
            ++parsed.maxDecimals;
    }
    return parsed;
}

bool isInteger(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

} // namespace

QString displayNumber(double value, int minDecimals, int maxDecimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    DecimalDigits rounded = roundedDigits(std::fabs(value), maxDecimals);
    QString integerPart = rounded.digits.left(rounded.integerDigits);
    QString fraction = rounded.digits.mid(rounded.integerDigits);
    while (integerPart.size() > 1 && integerPart.at(0) == QLatin1Char('0'))
        integerPart.remove(0, 1);
    while (fraction.size() > minDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString text = integerPart;
    if (!fraction.isEmpty())
        text += QLatin1Char(',') + fraction;
    const bool allZero =
        std::all_of(rounded.digits.cbegin(), rounded.digits.cend(), [](QChar digit) { return digit == '0'; });
    if (value < 0 && !allZero) // no "-0,00"

        text.prepend(QLatin1Char('-'));
    return text;
}

QString displayText(const QVariant& value, const QString& mask)
{
    if (value.isNull())
        return {};
    if (!mask.isEmpty()) {
        bool numeric = false;
        const double number = value.toDouble(&numeric);
        if (numeric) {
            const Mask parsed = parseMask(mask);
            return displayNumber(number, parsed.minDecimals, parsed.maxDecimals);
        }
    }
    if (isInteger(value))
        return value.toString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        // As many decimals as the value has; 15 significant digits hold any of them.
        return displayNumber(value.toDouble(), 0, 15);
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    default:
        return value.toString();
    }
}

} // namespace tabel
