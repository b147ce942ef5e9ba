#pragma once

#include "report_engine/PagePainter.h"
#include "report_engine/PreparedReport.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QList>
#include <QString>
#include <memory>

namespace tabel {

// A text as a test sees it: which page, which item (by name), what it says and where.
struct SeenText
{
    int page = 0;
    QString name;
    QString text;
    QRectF rect;
};

inline QList<SeenText> namedTexts(PreparedReport& report)
{
    QList<SeenText> seen;
    for (int index = 0; index < report.pageCount(); ++index) {
        const std::shared_ptr<const LaidOutPage> page = report.page(index);
        for (const PlacedText& placed : page->texts)
            if (!placed.item->name.isEmpty())
                seen.append({page->number, placed.item->name, placed.text, placed.rect});
    }
    return seen;
}

inline QStringList namesAndTexts(const QList<SeenText>& seen)
{
    QStringList lines;
    for (const SeenText& text : seen)
        lines.append(text.name + QLatin1Char('=') + text.text);
    return lines;
}

// The width of a placed text in the font it is painted in, measured as on paper: at 96 dots an
// inch, one dot a report unit.
inline double paintedWidth(const PlacedText& placed)
{
    static QImage paper = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(96 / 0.0254));
        image.setDotsPerMeterY(qRound(96 / 0.0254));
        return image;
    }();
    QFont font(drawnFontFamily(placed.item->font.family));
    font.setPointSizeF(placed.pointSize);
    font.setBold(placed.item->font.bold);
    return QFontMetricsF(font, &paper).horizontalAdvance(placed.text);
}

// Every text of every page that does not fit its rectangle, as "page: name=text (width > room)".
inline QStringList textsThatDoNotFit(PreparedReport& report)
{
    QStringList overflowing;
    for (int index = 0; index < report.pageCount(); ++index)
        for (const PlacedText& placed : report.page(index)->texts) {
            const double width = paintedWidth(placed);
            if (width > placed.rect.width() + 0.01 || placed.pointSize <= 0)
                overflowing.append(QStringLiteral("%1: %2=%3 (%4 > %5)")
                                       .arg(index + 1)
                                       .arg(placed.item->name, placed.text)
                                       .arg(width)
                                       .arg(placed.rect.width()));
        }
    return overflowing;
}

inline ReportBand bandOf(double height, QList<ReportItem> items)
{
    ReportBand band;
    band.height = height;
    band.items = std::move(items);
    return band;
}

inline std::unique_ptr<PreparedReport> prepare(ReportDefinition definition, const QStringList& fields,
                                               QList<QVariantList> rows)
{
    return std::make_unique<PreparedReport>(std::move(definition),
                                            std::make_shared<MemoryRowSource>(fields, std::move(rows)));
}

} // namespace tabel
