#pragma once

#include "report_engine/ReportDefinition.h"

#include <QList>
#include <QRectF>
#include <QString>

namespace tabel {

// Rectangles are in report units from the top left corner of the paper. The band and item
// pointers lead into the definition of the prepared report, which outlives its pages; the
// painter takes fonts, colours and lines from there.
struct PlacedBand
{
    QRectF rect;
    const ReportBand* band = nullptr;
};

struct PlacedText
{
    QString text;
    QRectF rect;
    const ReportItem* item = nullptr;
    // The size it is painted in: the item's own, or smaller where the text would not fit its
    // rectangle (the text then shortened at its end, or, for a number, the rectangle widened).
    double pointSize = 0;
};

// One page as the layout pass placed it: what the painter draws and what tests look at.
struct LaidOutPage
{
    int number = 0; // from 1
    QList<PlacedBand> bands;
    QList<PlacedText> texts; // in printing order
};

} // namespace tabel
