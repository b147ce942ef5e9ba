#include "report_engine/DisplayText.h"

#include "common/Numbers.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace tabel {

namespace {

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

QString displayText(const QVariant& value, const QString& mask)
{
    if (value.isNull())
        return {};
    if (!mask.isEmpty()) {
        bool numeric = false;
        const double number = value.toDouble(&numeric);
        if (numeric) {
            const Mask parsed = parseMask(mask);
            return maskText(number, parsed.minDecimals, parsed.maxDecimals);
        }
    }
    if (isInteger(value))
        return value.toString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        // As many decimals as the value has; 15 significant digits hold any of them.
        return maskText(value.toDouble(), 0, 15);
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    default:
        return value.toString();
    }
}

} // namespace tabel
