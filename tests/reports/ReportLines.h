#pragma once

#include "report_engine/PreparedReport.h"

#include <QStringList>
#include <algorithm>

namespace tabel {

// A laid-out summary as lines a test can compare: one line per printed band, its texts joined
// by " | ". Group headers print their field alone, footers start with "Σ ", detail rows with
// two blanks. The page number, the headings and empty bands are left out.
inline QStringList reportLines(PreparedReport& report)
{
    QStringList lines;
    for (int index = 0; index < report.pageCount(); ++index) {
        const auto page = report.page(index);
        QStringList texts;
        QString kind;
        int band = -1;
        auto flush = [&] {
            if (!texts.isEmpty())
                lines.append(kind + texts.join(QStringLiteral(" | ")));
            texts.clear();
        };
        for (const PlacedText& placed : page->texts) {
            const QString& name = placed.item->name;
            if (name == QLatin1String("pageNumber") || name == QLatin1String("heading"))
                continue;
            int owner = -1;
            for (int at = 0; at < page->bands.size(); ++at)
                if (page->bands.at(at).rect.contains(placed.rect.center()))
                    owner = at;
            if (owner != band || texts.isEmpty()) {
                flush();
                band = owner;
                kind = name.startsWith(QLatin1String("sum.")) ? QStringLiteral("Σ ")
                       : name.endsWith(QLatin1String("Header")) || name == QLatin1String("title") ||
                               name == QLatin1String("totalLabel")
                           ? QString()
                           : QStringLiteral("  ");
            }
            texts.append(placed.text);
        }
        flush();
    }
    return lines;
}

// The statements order rows by their groups only, so rows within a group may come in any
// order: runs of detail rows are sorted before comparing.
inline QStringList withDetailRunsSorted(QStringList lines)
{
    auto isDetail = [](const QString& line) { return line.startsWith(QLatin1String("  ")); };
    for (auto run = lines.begin(); run != lines.end();) {
        if (!isDetail(*run)) {
            ++run;
            continue;
        }
        auto end = std::find_if_not(run, lines.end(), isDetail);
        std::sort(run, end);
        run = end;
    }
    return lines;
}

} // namespace tabel
