#pragma once

#include "report_engine/PreparedReport.h"

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
