#include "common/Numbers.h"

#include <algorithm>
#include <cmath>

namespace tabel {

double roundHalfEven(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    const double lower = std::floor(scaled);
    const double fraction = scaled - lower;
    // Products of binary fractions land a hair off an exact half (2.5 * 1.2 = 3.0000000000000004);
    // anything within this distance of a half is treated as the half it stands for.
    const double tolerance = 1e-9 * std::max(1.0, std::fabs(scaled));
    double rounded;
    if (std::fabs(fraction - 0.5) <= tolerance)
        rounded = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    else
        rounded = std::round(scaled);
    return rounded / scale;
}

QString formatDecimal(double value, int minDecimals, int maxDecimals)
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

} // namespace tabel
