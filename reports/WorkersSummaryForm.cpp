#include "db/SharedStatements.h"
#include "reports/SummaryLayoutParts.h"
#include "reports/SummaryReports.h"

#include <QStringList>

namespace tabel {

using namespace summary_layout;

SummaryReportForm workersSummaryForm()
{
    SummaryReportForm form;
    form.objectName = QStringLiteral("TForm16");
    form.caption = QStringLiteral("Отчет по рабочим");
    form.titlePrefix = QStringLiteral("   Отчет по рабочим за период с ");
    form.statement =
        QStringList{
            QStringLiteral("select person.s_caption fio, sum(smena.kol_vo-smena.brak)::numeric as kolvo, "),
            QStringLiteral("sum((kol_vo-brak)*smena.cena) as summa,vid_oper.vid,"),
            QStringLiteral("izdel.nom, oper.naimen, color from ") + statements::recordPersons() +
                QStringLiteral(" person,accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper,"),
            QStringLiteral("accounts_dep.oper where w_id=person.worker_id and izdel.id=smena.i_id and "
                           "vid_oper.id=oper.vid"),
            QStringLiteral("and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 "),
            QStringLiteral(
                "group by fio, izdel.nom, oper.naimen, vid_oper.vid, color order by fio, izdel.nom"),
        }
            .join(QLatin1Char('\n'));

    const Column vid = centredColumn(QStringLiteral("vid"), 215, 163);
    const Column kolvo = centredColumn(QStringLiteral("kolvo"), 521, 73);
    const Column summa = centredColumn(QStringLiteral("summa"), 616, 89);

    ReportDefinition& layout = form.layout;
    layout.previewZoom = PreviewZoom::PageWidth;
    layout.reportHeader = reportHeader(10);
    ReportGroup worker = group(QStringLiteral("fio"));
    ReportBand workerFooter = groupFooter({groupSum(summa, QStringLiteral("#0.00"))});
    workerFooter.lineBelow = BandLine::Solid;
    worker.footer = {workerFooter};
    ReportGroup product = group(QStringLiteral("nom"), Qt::white);
    product.footer = {groupFooter({groupSum(kolvo), groupSum(summa, QStringLiteral("#0.000"))})};
    layout.groups = {worker, product};
    layout.detail = {detailBand({kindTextItem(50, 159, 9), fieldItem(vid, 9), colourTextItem(384, 131, 9),
                                 fieldItem(kolvo, 9), fieldItem(summa, 9, QStringLiteral("#0.000"))})};
    layout.reportFooter = reportFooter(521, {reportSum(summa, QStringLiteral("#0.00"))});
    layout.pageFooter = pageFooter();
    return form;
}

} // namespace tabel
