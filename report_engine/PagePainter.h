#pragma once

#include "report_engine/LaidOutPage.h"

#include <QFont>

class QPainter;
class QPaintDevice;

namespace tabel {

// The family a report font is drawn with: Arial is not free, Liberation Sans has its metrics.
QString drawnFontFamily(const QString& family);

// Only draws what the layout placed. The painter's device may be a widget, a printer, a PDF
// or an image: report units are mapped by the device's resolution, so one page looks the
// same on all of them. A transform already on the painter (the preview's zoom) is kept.
class PagePainter
{
public:
    explicit PagePainter(QPainter& painter);
    void paint(const LaidOutPage& page);

private:
    QFont fontOf(const ReportFont& font, double pointSize) const;
    void paintLines(const PlacedBand& placed);

    QPainter& m_painter;
    double m_deviceDpiY = reportUnitsPerInch;
};

} // namespace tabel
