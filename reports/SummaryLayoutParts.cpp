#include "reports/SummaryLayoutParts.h"

#include "common/ProductKind.h"
#include "reports/ProductKind.h"

namespace tabel::summary_layout {

namespace {

const QString font = QStringLiteral("Arial");
const QColor headerShade(0xF4, 0xF4, 0xF4);
const QColor totalShade(0xEF, 0xEF, 0xEF);
const QColor reportTotalShade(0xDC, 0xDC, 0xDC);

constexpr double titleHeight = 22;
constexpr double headingHeight = 18;
constexpr double groupHeaderHeight = 20;
constexpr double detailHeight = 16;
constexpr double groupFooterHeight = 18;
constexpr double reportFooterHeight = 24;
constexpr double pageFooterHeight = 18;
constexpr double totalLabelWidth = 80;

ReportBand band(double height, QList<ReportItem> items, const QColor& background = {})
{
    ReportBand made;
    made.height = height;
    made.items = std::move(items);
    made.background = background;
    return made;
}

QRectF columnRect(const Column& column, double height)
{
    return {column.left, 0, column.width, height};
}

} // namespace

BandList reportHeader(double titlePointSize, const QList<Heading>& headings, double headingPointSize)
{
    QList<ReportItem> items{ReportItem::namedLabel(QStringLiteral("title"), {0, 0, bandWidth(), titleHeight})
                                .withFont(font, titlePointSize, true)};
    // A heading reaches to the next one, so that none is cut short by a guessed width.
    for (int index = 0; index < headings.size(); ++index) {
        const double left = headings.at(index).left;
        const double right = index + 1 < headings.size() ? headings.at(index + 1).left : bandWidth();
        items.append(
            ReportItem::label(headings.at(index).text, {left, titleHeight, right - left, headingHeight})
                .withName(QStringLiteral("heading"))
                .withFont(font, headingPointSize, true));
    }
    const double height = titleHeight + (headings.isEmpty() ? 0 : headingHeight);
    ReportBand spacer;
    spacer.height = 2;
    return {band(height, items, headerShade), spacer};
}

ReportGroup group(const QString& field, const QColor& background)
{
    ReportGroup made;
    made.field = field;
    made.header = {band(groupHeaderHeight,
                        {ReportItem::fieldText(field, {4, 0, bandWidth() - 8, groupHeaderHeight})
                             .withName(field + QStringLiteral("Header"))
                             .withFont(font, 10, true)},
                        background)};
    return made;
}

ReportItem fieldItem(const Column& column, double pointSize, const QString& mask)
{
    return ReportItem::fieldText(column.field, columnRect(column, detailHeight))
        .withName(column.field)
        .withFont(font, pointSize)
        .withAlignment(column.alignment)
        .withMask(mask);
}

ReportItem kindTextItem(double left, double width, double pointSize)
{
    return ReportItem::computedText(
               [](const ReportRow& row) { return productKindCaption(row.value(QStringLiteral("naimen"))); },
               {left, 0, width, detailHeight})
        .withName(QStringLiteral("kind"))
        .withFont(font, pointSize);
}

ReportItem colourTextItem(double left, double width, double pointSize)
{
    return ReportItem::computedText(
               [](const ReportRow& row) { return reportColourText(row.value(QStringLiteral("color"))); },
               {left, 0, width, detailHeight})
        .withName(QStringLiteral("colour"))
        .withFont(font, pointSize);
}

ReportBand detailBand(QList<ReportItem> items)
{
    return band(detailHeight, std::move(items));
}

ReportItem groupSum(const Column& column, const QString& mask)
{
    return ReportItem::sum(column.field, SumScope::Group, columnRect(column, groupFooterHeight))
        .withName(QStringLiteral("sum.") + column.field)
        .withFont(font, 9, true)
        .withAlignment(column.alignment)
        .withMask(mask)
        .withBackground(totalShade);
}

ReportBand groupFooter(QList<ReportItem> sums)
{
    return band(groupFooterHeight, std::move(sums));
}

ReportItem reportSum(const Column& column, const QString& mask)
{
    return ReportItem::sum(column.field, SumScope::Report,
                           {column.left, 2, column.width, reportFooterHeight - 4})
        .withName(QStringLiteral("total.") + column.field)
        .withFont(font, 11, true)
        .withAlignment(column.alignment)
        .withMask(mask)
        .withBackground(totalShade);
}

BandList reportFooter(double totalLabelLeft, QList<ReportItem> sums)
{
    sums.prepend(
        ReportItem::label(QStringLiteral("Итого:"), {totalLabelLeft, 0, totalLabelWidth, reportFooterHeight})
            .withName(QStringLiteral("totalLabel"))
            .withFont(font, 11, true));
    ReportBand footer = band(reportFooterHeight, std::move(sums), reportTotalShade);
    footer.frame = Qt::TopEdge | Qt::BottomEdge | Qt::LeftEdge | Qt::RightEdge;
    return {footer};
}

BandList pageFooter()
{
    return {band(pageFooterHeight, {ReportItem::pageNumber({bandWidth() - 100, 0, 100, pageFooterHeight})
                                        .withName(QStringLiteral("pageNumber"))
                                        .withFont(font, 9)
                                        .withAlignment(Qt::AlignRight)})};
}

} // namespace tabel::summary_layout
