#pragma once

#include "report_engine/ReportDefinition.h"

#include <QList>

// The bands every summary shares: the same shading, fonts and heights, so that a layout file
// holds only what tells one summary from another.
namespace tabel::summary_layout {

// The summaries print on portrait A4 with the default margins; a band spans the width between them.
inline double bandWidth()
{
    return PageSetup().contentWidth();
}

struct Heading
{
    QString text;
    double left = 0;
};

// A column of the detail band, and where its sums print in the footers.
struct Column
{
    QString field;
    double left = 0;
    double width = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
};

inline Column leftColumn(const QString& field, double left, double width)
{
    return {field, left, width, Qt::AlignLeft};
}
inline Column centredColumn(const QString& field, double left, double width)
{
    return {field, left, width, Qt::AlignHCenter};
}

// The shaded header: the title at the left, the headings under it above their columns.
BandList reportHeader(double titlePointSize, const QList<Heading>& headings = {},
                      double headingPointSize = 10);
ReportGroup group(const QString& field, const QColor& background = QColor(0xE0, 0xE0, 0xE0));

ReportItem fieldItem(const Column& column, double pointSize, const QString& mask = {});
ReportItem kindTextItem(double left, double width, double pointSize);
ReportItem colourTextItem(double left, double width, double pointSize);
ReportBand detailBand(QList<ReportItem> items);

// A total in a group footer: bold 9 pt on light grey, in its column.
ReportItem groupSum(const Column& column, const QString& mask = {});
ReportBand groupFooter(QList<ReportItem> sums);

// A grand total: bold 11 pt on light grey, in its column, beside "Итого:".
ReportItem reportSum(const Column& column, const QString& mask = {});
BandList reportFooter(double totalLabelLeft, QList<ReportItem> sums);

BandList pageFooter();

} // namespace tabel::summary_layout
