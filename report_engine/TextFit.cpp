#include "report_engine/TextFit_p.h"

#include "report_engine/PagePainter.h"

#include <QFont>
#include <algorithm>
#include <cmath>

namespace tabel::Internal {

namespace {

constexpr double dotsPerMetre = reportUnitsPerInch / millimetresPerInch * 1000;

// Sizes are tried in tenths of a point: finer steps would not show on paper.
int tenths(double pointSize)
{
    return int(std::floor(pointSize * 10 + 1e-6));
}

} // namespace

TextFitter::TextFitter() : m_device(1, 1, QImage::Format_RGB32)
{
    m_device.setDotsPerMeterX(qRound(dotsPerMetre));
    m_device.setDotsPerMeterY(qRound(dotsPerMetre));
}

bool TextFitter::isNumber(const QString& text)
{
    int at = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    bool digits = false;
    bool comma = false;
    for (; at < text.size(); ++at) {
        const QChar character = text.at(at);
        if (character >= QLatin1Char('0') && character <= QLatin1Char('9')) {
            digits = true;
        } else if (character == QLatin1Char(',') && digits && !comma) {
            comma = true;
            digits = false;
        } else {
            return false;
        }
    }
    return digits;
}

const QFontMetricsF& TextFitter::metrics(const ReportFont& font, double pointSize)
{
    const QString key = font.family + QLatin1Char('/') + QString::number(tenths(pointSize)) +
                        (font.bold ? QLatin1String("b") : QLatin1String(""));
    auto found = m_metrics.find(key);
    if (found == m_metrics.end()) {
        QFont measured(drawnFontFamily(font.family));
        measured.setPointSizeF(tenths(pointSize) / 10.0);
        measured.setBold(font.bold);
        measured.setStyleStrategy(QFont::PreferOutline);
        found = m_metrics.insert(key, QFontMetricsF(measured, &m_device));
    }
    return *found;
}

double TextFitter::width(const QString& text, const ReportFont& font, double pointSize)
{
    return metrics(font, pointSize).horizontalAdvance(text);
}

FittedText TextFitter::fit(const QString& text, const ReportItem& item, const QRectF& rect,
                           const std::function<SpareRoom()>& spareRoom)
{
    const ReportFont& font = item.font;
    FittedText fitted{text, font.pointSize, rect};
    const double room = rect.width();
    const double full = text.isEmpty() ? 0 : width(text, font, font.pointSize);
    if (full <= room)
        return fitted;

    const bool number = isNumber(text);
    const int smallest =
        tenths(number ? minimumNumberPointSize : std::max(font.pointSize * minimumTextShrink, 1.0));
    // Widths grow almost in proportion to the size: start from that guess and step down.
    int size = std::min(tenths(font.pointSize * room / full), tenths(font.pointSize) - 1);
    while (size >= smallest && width(text, font, size / 10.0) > room)
        --size;
    if (size >= smallest) {
        fitted.pointSize = size / 10.0;
        return fitted;
    }
    fitted.pointSize = smallest / 10.0;
    if (!number) {
        fitted.text = metrics(font, fitted.pointSize).elidedText(text, Qt::ElideRight, room);
        return fitted;
    }
    const double missing = width(text, font, fitted.pointSize) - room;
    const SpareRoom spare = spareRoom();
    const Qt::Alignment horizontal = item.alignment & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight) {
        fitted.rect.setLeft(rect.left() - std::min(missing, spare.left));
    } else if (horizontal & Qt::AlignHCenter) {
        // Half on either side, and what one side has no room for on the other.
        const double right = std::min(missing - std::min(missing / 2, spare.left), spare.right);
        fitted.rect.setLeft(rect.left() - std::min(missing - right, spare.left));
        fitted.rect.setRight(rect.right() + right);
    } else {
        fitted.rect.setRight(rect.right() + std::min(missing, spare.right));
    }
    return fitted;
}

} // namespace tabel::Internal
