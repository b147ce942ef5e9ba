#include "reports/ReportPeriod.h"

namespace tabel {

ReportPeriod previousMonth(const QDate& today)
{
    const QDate firstOfMonth(today.year(), today.month(), 1);
    return {firstOfMonth.addMonths(-1), firstOfMonth};
}

QString periodTitle(const QString& prefix, const ReportPeriod& period)
{
    const QString format = QStringLiteral("dd.MM.yyyy");
    return prefix + period.from.toString(format) + QStringLiteral(" по ") + period.to.toString(format);
}

QString periodDocumentName(const QString& caption, const ReportPeriod& period)
{
    const QString format = QStringLiteral("dd.MM.yyyy");
    return caption + QLatin1Char(' ') + period.from.toString(format) + QLatin1Char('-') +
           period.to.toString(format);
}

SqlParams periodParameters(const ReportPeriod& period)
{
    return {{QStringLiteral(":data1"), period.from}, {QStringLiteral(":data2"), period.to}};
}

} // namespace tabel
