#include "timesheet/TimesheetPrintLayout.h"

#include "timesheet/MonthlySummary.h"

namespace tabel {

namespace {
constexpr double headerHeight = 22;
constexpr double lineHeight = 18;

qint64 hoursOf(const ReportRow& row, int day)
{
    return row.value(QStringLiteral("sd%1").arg(day)).toLongLong();
}
} // namespace

const QString TimesheetPrintLayout::titleLabel = QStringLiteral("title");

QString TimesheetPrintLayout::title(const QString& monthName, int year)
{
    return monthName + QLatin1Char(' ') + QString::number(year) + QStringLiteral(" г.");
}

QString TimesheetPrintLayout::documentName(const QString& monthName, int year)
{
    return QStringLiteral("Табель ") + monthName + QLatin1Char(' ') + QString::number(year);
}

ReportDefinition TimesheetPrintLayout::definition(const QString& title)
{
    ReportDefinition report;
    report.page.orientation = QPageLayout::Landscape;
    report.page.marginsMillimetres = {10, 10, 10, 10};
    report.previewZoom = PreviewZoom::WholePage;

    ReportBand header;
    header.height = headerHeight;
    header.lineAbove = BandLine::Solid;
    header.lineBelow = BandLine::Solid;
    header.items << ReportItem::namedLabel(titleLabel, {2, 0, nameWidth - 4, headerHeight})
                        .withFont(QStringLiteral("Arial"), 10, true);
    for (int day = 1; day <= MonthlySummary::days; ++day)
        header.items << ReportItem::label(QString::number(day), {dayLeft(day), 0, dayWidth, headerHeight})
                            .withFont(QStringLiteral("Arial"), 10, true)
                            .withAlignment(Qt::AlignHCenter);
    header.items << ReportItem::label(QStringLiteral("Итого"), {totalLeft(), 0, totalWidth, headerHeight})
                        .withFont(QStringLiteral("Arial"), 10, true)
                        .withAlignment(Qt::AlignHCenter);
    report.pageHeader = {header};

    ReportBand line;
    line.height = lineHeight;
    line.lineAbove = BandLine::DottedGrey;
    line.lineBelow = BandLine::DottedGrey;
    line.items << ReportItem::fieldText(QStringLiteral("fio"), {2, 0, nameWidth - 2, lineHeight})
                      .withFont(QStringLiteral("Arial"), 10);
    for (int day = 1; day <= MonthlySummary::days; ++day)
        line.items << ReportItem::computedText(
                          [day](const ReportRow& row) { return QString::number(hoursOf(row, day)); },
                          {dayLeft(day), 0, dayWidth, lineHeight})
                          .withFont(QStringLiteral("Arial"), 9)
                          .withAlignment(Qt::AlignHCenter);
    line.items << ReportItem::computedText(
                      [](const ReportRow& row) {
                          qint64 total = 0;
                          for (int day = 1; day <= MonthlySummary::days; ++day)
                              total += hoursOf(row, day);
                          return QString::number(total);
                      },
                      {totalLeft(), 0, totalWidth, lineHeight})
                      .withFont(QStringLiteral("Arial"), 9, true)
                      .withAlignment(Qt::AlignHCenter);
    report.detail = {line};

    ReportBand footer;
    footer.height = lineHeight;
    const double contentWidth = report.page.contentWidth();
    footer.items << ReportItem::pageNumber({contentWidth - 150, 0, 150, lineHeight})
                        .withFont(QStringLiteral("Arial"), 10)
                        .withAlignment(Qt::AlignRight);
    report.pageFooter = {footer};

    report.setLabelCaption(titleLabel, title);
    return report;
}

} // namespace tabel
