#pragma once

#include <QString>
#include <QVariant>

namespace tabel {

// How a report prints a value: display masks such as "#0", "#0.00", "#0.000" (at least one
// integer digit, a '0' after the point for every decimal that is always shown and a '#' for
// one shown only when it is not zero), by the masks' rule of common/Numbers.h (maskText).
// A value without a mask prints its own text: integers as integers, other numbers as their
// decimal text with a comma, dates as DD.MM.YYYY.
QString displayText(const QVariant& value, const QString& mask = {});

} // namespace tabel
