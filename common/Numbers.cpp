#include "common/Numbers.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tabel {

namespace {

// The digits of a number's magnitude with the position of its decimal point.
struct DecimalDigits
{
    QString digits;    // no sign, no point
    int integerDigits; // digits before the point
};

// The magnitude as its decimal text at 15 significant digits, the most that every double keeps
// faithfully, rounded half away from zero to the given decimals. Rounding the binary value
// instead would print 2.675 (2.67499999999999982236431605997495353221893310546875) as "2,67".
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

} // namespace

double roundHalfEven(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    const double lower = std::floor(scaled);
    const double fraction = scaled - lower;
    // Products of binary fractions land a hair off an exact half (0.0015 * 1.5 * 10000 =
    // 22.499999999999996); anything within this distance of a half is treated as the half it
    // stands for. The distance grows with the value as the doubles' own spacing does, so that a
    // large value is not taken for a half when it is not one.
    const double tolerance = std::max(1e-9, 4 * std::numeric_limits<double>::epsilon() * std::fabs(scaled));
    double rounded;
    if (std::fabs(fraction - 0.5) <= tolerance)
        rounded = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    else
        rounded = std::round(scaled);
    return rounded / scale;
}

QString halfEvenText(double value, int minDecimals, int maxDecimals)
{
    double rounded = roundHalfEven(value, maxDecimals);
    if (rounded == 0.0)
        rounded = 0.0; // no "-0,00"
    QString text = QString::number(rounded, 'f', maxDecimals);
    const int point = text.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        int keep = text.size();
        while (keep > point + 1 + minDecimals && text.at(keep - 1) == QLatin1Char('0'))
            --keep;
        if (keep == point + 1)
            --keep;
        text.truncate(keep);
        if (point < text.size())
            text[point] = QLatin1Char(',');
    }
    return text;
}

QString maskText(double value, int minDecimals, int maxDecimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const DecimalDigits rounded = roundedDigits(std::fabs(value), maxDecimals);
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

QString shortestText(double value, DecimalMark mark)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // The double's own shortest form may need 17 digits (0.30000000000000004), which the
    // spreadsheet would cut and the spreadsheet writer therefore keeps as text.
    double kept = QString::number(value, 'g', 15).toDouble();
    if (kept == 0.0)
        kept = 0.0; // no "-0"
    QString text = QLocale::c().toString(kept, 'f', QLocale::FloatingPointShortest);
    if (mark == DecimalMark::Comma)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

} // namespace tabel
