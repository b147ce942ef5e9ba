#include "report_engine/ReportDefinition.h"

#include <QPageSize>
#include <cmath>

namespace tabel {

namespace {

ReportItem itemOf(ItemContent content, const QRectF& rect)
{
    ReportItem item;
    item.content = content;
    item.rect = rect;
    return item;
}

} // namespace

ReportItem ReportItem::label(const QString& caption, const QRectF& rect)
{
    ReportItem item = itemOf(ItemContent::Label, rect);
    item.caption = caption;
    return item;
}

ReportItem ReportItem::namedLabel(const QString& name, const QRectF& rect)
{
    ReportItem item = itemOf(ItemContent::Label, rect);
    item.name = name;
    return item;
}

ReportItem ReportItem::fieldText(const QString& field, const QRectF& rect)
{
    ReportItem item = itemOf(ItemContent::Field, rect);
    item.field = field;
    return item;
}

ReportItem ReportItem::computedText(ComputedText computed, const QRectF& rect)
{
    ReportItem item = itemOf(ItemContent::Computed, rect);
    item.computed = std::move(computed);
    return item;
}

ReportItem ReportItem::sum(const QString& field, SumScope scope, const QRectF& rect)
{
    ReportItem item = itemOf(ItemContent::Sum, rect);
    item.field = field;
    item.sumScope = scope;
    return item;
}

ReportItem ReportItem::pageNumber(const QRectF& rect)
{
    return itemOf(ItemContent::PageNumber, rect);
}

ReportItem& ReportItem::withName(const QString& itemName)
{
    name = itemName;
    return *this;
}

ReportItem& ReportItem::withFont(const ReportFont& itemFont)
{
    font = itemFont;
    return *this;
}

ReportItem& ReportItem::withFont(const QString& family, double pointSize, bool bold)
{
    font = ReportFont{family, pointSize, bold};
    return *this;
}

ReportItem& ReportItem::withAlignment(Qt::Alignment horizontal)
{
    alignment = (horizontal & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    return *this;
}

ReportItem& ReportItem::withMask(const QString& displayMask)
{
    mask = displayMask;
    return *this;
}

ReportItem& ReportItem::withBackground(const QColor& colour)
{
    background = colour;
    return *this;
}

QSizeF PageSetup::paperSize() const
{
    const QSizeF millimetres = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    const QSizeF portrait(std::round(millimetres.width() / millimetresPerInch * reportUnitsPerInch),
                          std::round(millimetres.height() / millimetresPerInch * reportUnitsPerInch));
    return orientation == QPageLayout::Portrait ? portrait : portrait.transposed();
}

QMarginsF PageSetup::margins() const
{
    const double unitsPerMillimetre = reportUnitsPerInch / millimetresPerInch;
    return QMarginsF(
        marginsMillimetres.left() * unitsPerMillimetre, marginsMillimetres.top() * unitsPerMillimetre,
        marginsMillimetres.right() * unitsPerMillimetre, marginsMillimetres.bottom() * unitsPerMillimetre);
}

double PageSetup::contentWidth() const
{
    const QMarginsF units = margins();
    return paperSize().width() - units.left() - units.right();
}

bool ReportDefinition::setLabelCaption(const QString& name, const QString& caption)
{
    bool found = false;
    auto setIn = [&](BandList& bands) {
        for (ReportBand& band : bands)
            for (ReportItem& item : band.items)
                if (item.content == ItemContent::Label && item.name == name) {
                    item.caption = caption;
                    found = true;
                }
    };
    setIn(reportHeader);
    setIn(pageHeader);
    for (ReportGroup& group : groups) {
        setIn(group.header);
        setIn(group.footer);
    }
    setIn(detail);
    setIn(reportFooter);
    setIn(pageFooter);
    return found;
}

} // namespace tabel
