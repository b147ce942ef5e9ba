#pragma once

#include "report_engine/RowSource.h"

#include <QColor>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>

namespace tabel {

// Positions and sizes in a report are in units of 1/96 inch; A4 is 794 x 1123 of them.
constexpr double reportUnitsPerInch = 96.0;
constexpr double millimetresPerInch = 25.4;

using RowFilter = std::function<bool(const ReportRow&)>;
using ComputedText = std::function<QString(const ReportRow&)>;

// A font as reports name it. "Arial" is drawn with Liberation Sans, which has its metrics.
struct ReportFont
{
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
};

enum class ItemContent {
    Label,      // fixed text; named labels can be given their caption before preparing
    Field,      // a field of the current row
    Computed,   // a text computed from the current row
    Sum,        // a field added up over a group or the whole report
    PageNumber, // the number of the page, from 1
};

enum class SumScope {
    Group,  // the group whose band holds the item (the innermost group outside group bands)
    Report, // every printed row so far
};

// One text on a band. Plain data but for the computed text.
struct ReportItem
{
    ItemContent content = ItemContent::Label;
    QString name;
    QString caption;
    QString field;
    ComputedText computed;
    SumScope sumScope = SumScope::Group;
    QString mask;
    QRectF rect; // within the band
    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor background; // invalid: none

    static ReportItem label(const QString& caption, const QRectF& rect);
    static ReportItem namedLabel(const QString& name, const QRectF& rect);
    static ReportItem fieldText(const QString& field, const QRectF& rect);
    static ReportItem computedText(ComputedText computed, const QRectF& rect);
    static ReportItem sum(const QString& field, SumScope scope, const QRectF& rect);
    static ReportItem pageNumber(const QRectF& rect);

    ReportItem& withName(const QString& itemName);
    ReportItem& withFont(const ReportFont& itemFont);
    ReportItem& withFont(const QString& family, double pointSize, bool bold = false);
    ReportItem& withAlignment(Qt::Alignment horizontal);
    ReportItem& withMask(const QString& displayMask);
    ReportItem& withBackground(const QColor& colour);
};

enum class BandLine {
    None,
    Solid,
    DottedGrey,
};

// A strip across the page holding items. Its height is fixed; a band never splits across pages.
struct ReportBand
{
    double height = 0;
    double width = 0;  // 0: the page's width between its margins
    QColor background; // invalid: none
    Qt::Edges frame;   // sides framed with a solid line
    BandLine lineAbove = BandLine::None;
    BandLine lineBelow = BandLine::None;
    QList<ReportItem> items;
};

// Bands printed one after another at one point of the report (a header and a spacer, say).
using BandList = QList<ReportBand>;

// Rows with the same value of the field in a row form a group. Its header opens the group
// before its first row, its footer closes it after its last.
struct ReportGroup
{
    QString field;
    BandList header;
    BandList footer;
};

// The paper is always A4; reports choose its orientation and margins.
struct PageSetup
{
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF marginsMillimetres{10, 10, 10, 10};

    // The paper in report units: 794 x 1123 or 1123 x 794.
    QSizeF paperSize() const;
    // The margins in report units.
    QMarginsF margins() const;
    // The width between the margins: what a band of width 0 spans.
    double contentWidth() const;
};

enum class PreviewZoom {
    WholePage,
    PageWidth,
};

// What a report prints, and where. Printing order: the page header at the top of every page,
// the report header once, for every row that passes the filter the footers of the groups it
// closes (innermost first), the headers of the groups it opens (outermost first) and the
// detail; at the end the footers of the open groups and the report footer; the page footer
// at the bottom of every page.
struct ReportDefinition
{
    PageSetup page;
    PreviewZoom previewZoom = PreviewZoom::WholePage;
    BandList reportHeader;
    BandList pageHeader;
    QList<ReportGroup> groups; // outermost first
    BandList detail;
    BandList reportFooter;
    BandList pageFooter;
    RowFilter rowFilter; // empty: every row

    // Sets the caption of every label with this name; false if there is none.
    bool setLabelCaption(const QString& name, const QString& caption);
};

} // namespace tabel
