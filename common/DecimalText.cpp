#include "common/DecimalText.h"

#include <QLocale>
#include <cmath>

namespace tabel {

std::optional<double> parseDecimal(const QString& typed)
{
    const QString text = typed.trimmed();
    QString plain;
    plain.reserve(text.size() + 2);
    int marks = 0;
    int digits = 0;
    for (const QChar ch : text) {
        // Only ASCII digits: QChar::isDigit would also take digits of other scripts.
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            ++digits;
            plain += ch;
        } else if (ch == QLatin1Char(',') || ch == QLatin1Char('.')) {
            if (++marks > 1)
                return std::nullopt;
            plain += QLatin1Char('.');
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    // A mark at either end is written out in full, so that the reading does not depend on how
    // lenient the locale's parser is about it.
    if (plain.startsWith(QLatin1Char('.')))
        plain.prepend(QLatin1Char('0'));
    if (plain.endsWith(QLatin1Char('.')))
        plain.append(QLatin1Char('0'));
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace tabel
