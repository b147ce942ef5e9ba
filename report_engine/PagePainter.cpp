#include "report_engine/PagePainter.h"

#include <QPaintDevice>
#include <QPainter>

namespace tabel {

namespace {

constexpr double pointsPerInch = 72.0;

QPen linePen(BandLine line)
{
    QPen pen(Qt::black, 1.0);
    if (line == BandLine::DottedGrey) {
        pen.setColor(Qt::gray);
        pen.setStyle(Qt::DotLine);
    }
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

QString drawnFontFamily(const QString& family)
{
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return family;
}

PagePainter::PagePainter(QPainter& painter) : m_painter(painter)
{
    if (const QPaintDevice* device = painter.device())
        m_deviceDpiY = device->logicalDpiY();
}

QFont PagePainter::fontOf(const ReportFont& font, double pointSize) const
{
    QFont drawn(drawnFontFamily(font.family));
    // The painter resolves points by the device's resolution and then applies our scale to
    // units; dividing it out here leaves the size in points of paper.
    drawn.setPointSizeF(pointSize * reportUnitsPerInch / m_deviceDpiY);
    drawn.setBold(font.bold);
    drawn.setStyleStrategy(QFont::PreferOutline);
    return drawn;
}

void PagePainter::paint(const LaidOutPage& page)
{
    m_painter.save();
    if (const QPaintDevice* device = m_painter.device())
        m_painter.scale(device->logicalDpiX() / reportUnitsPerInch,
                        device->logicalDpiY() / reportUnitsPerInch);
    m_painter.setRenderHint(QPainter::TextAntialiasing);

    for (const PlacedBand& placed : page.bands)
        if (placed.band->background.isValid())
            m_painter.fillRect(placed.rect, placed.band->background);

    const ReportFont* currentFont = nullptr;
    double currentSize = 0;
    m_painter.setPen(Qt::black);
    for (const PlacedText& placed : page.texts) {
        const ReportItem& item = *placed.item;
        if (item.background.isValid())
            m_painter.fillRect(placed.rect, item.background);
        if (placed.text.isEmpty())
            continue;
        const double size = placed.pointSize > 0 ? placed.pointSize : item.font.pointSize;
        if (!currentFont || currentFont->family != item.font.family || currentSize != size ||
            currentFont->bold != item.font.bold) {
            m_painter.setFont(fontOf(item.font, size));
            currentFont = &item.font;
            currentSize = size;
        }
        // The layout made the text fit; a screen's hinting may still add a fraction of a dot,
        // which must not cut the last letter off.
        m_painter.drawText(placed.rect, int(item.alignment) | Qt::TextSingleLine | Qt::TextDontClip,
                           placed.text);
    }

    for (const PlacedBand& placed : page.bands)
        paintLines(placed);
    m_painter.restore();
}

void PagePainter::paintLines(const PlacedBand& placed)
{
    const ReportBand& band = *placed.band;
    const QRectF& rect = placed.rect;
    if (band.lineAbove != BandLine::None) {
        m_painter.setPen(linePen(band.lineAbove));
        m_painter.drawLine(rect.topLeft(), rect.topRight());
    }
    if (band.lineBelow != BandLine::None) {
        m_painter.setPen(linePen(band.lineBelow));
        m_painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    }
    if (!band.frame)
        return;
    m_painter.setPen(linePen(BandLine::Solid));
    if (band.frame & Qt::TopEdge)
        m_painter.drawLine(rect.topLeft(), rect.topRight());
    if (band.frame & Qt::BottomEdge)
        m_painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    if (band.frame & Qt::LeftEdge)
        m_painter.drawLine(rect.topLeft(), rect.bottomLeft());
    if (band.frame & Qt::RightEdge)
        m_painter.drawLine(rect.topRight(), rect.bottomRight());
}

} // namespace tabel
