#pragma once

#include "report_engine/ReportDefinition.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QRectF>
#include <QString>
#include <functional>

namespace tabel::Internal {

// What the layout decided for one text: the words, the size they are painted in and where.
struct FittedText
{
    QString text;
    double pointSize = 0;
    QRectF rect;
};

// The room a text may take beyond its box when even the smallest size does not fit: up to the
// nearest other item on either side.
struct SpareRoom
{
    double left = 0;
    double right = 0;
};

// The fit rule. A number always prints whole: it is drawn smaller, as large as fits, down to
// minimumNumberPointSize, and below that it reaches past its box on the side away from its
// alignment. A text keeps its beginning: it shrinks to no less than minimumTextShrink of its
// size, and if that is not enough it is shortened at its end with "…". Widths are measured at
// 96 dots an inch, one dot a report unit, as the painter maps them.
class TextFitter
{
public:
    static constexpr double minimumNumberPointSize = 5.0;
    static constexpr double minimumTextShrink = 0.8;

    TextFitter();

    // spareRoom is asked only for a number that overflows.
    FittedText fit(const QString& text, const ReportItem& item, const QRectF& rect,
                   const std::function<SpareRoom()>& spareRoom);
    double width(const QString& text, const ReportFont& font, double pointSize);
    // Digits with at most one decimal comma and a leading minus: "12", "-0,50", "1281720,28".
    static bool isNumber(const QString& text);

private:
    const QFontMetricsF& metrics(const ReportFont& font, double pointSize);

    QImage m_device;
    QHash<QString, QFontMetricsF> m_metrics;
};

} // namespace tabel::Internal
