#include "reports/SummaryLayoutParts.h"
#include "reports/SummaryReports.h"

#include <QStringList>

namespace tabel {

using namespace summary_layout;

SummaryReportForm productsSummaryForm()
{
    SummaryReportForm form;
    form.objectName = QStringLiteral("TForm17");
    form.caption = QStringLiteral("Отчет по продукции");
    form.titlePrefix = QStringLiteral("   Отчет по продукции за период с ");
    form.statement =
        QStringList{
            QStringLiteral("select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid,"),
            QStringLiteral("izdel.nom, oper.naimen, color,  "
                           "round((izdel.massa*sum(smena.kol_vo-smena.brak))::numeric,2) "
                           "as mass"),
            QStringLiteral(
                "from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where "
                "izdel.id=smena.i_id and vid_oper.id=oper.vid"),
            QStringLiteral("and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 "),
            QStringLiteral(
                "group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom"),
        }
            .join(QLatin1Char('\n'));

    const Column vid = centredColumn(QStringLiteral("vid"), 207, 137);
    const Column mass = centredColumn(QStringLiteral("mass"), 505, 73);
    const Column kolvo = centredColumn(QStringLiteral("kolvo"), 616, 89);

    ReportDefinition& layout = form.layout;
    layout.previewZoom = PreviewZoom::PageWidth;
    layout.reportHeader =
        reportHeader(10, {{QStringLiteral("Коробки"), 515}, {QStringLiteral("Количество"), 624}});
    ReportGroup product = group(QStringLiteral("nom"));
    product.footer = {groupFooter({groupSum(mass), groupSum(kolvo)})};
    layout.groups = {product};
    layout.detail = {detailBand({kindTextItem(50, 151, 9), fieldItem(vid, 9), colourTextItem(350, 149, 9),
                                 fieldItem(mass, 9), fieldItem(kolvo, 9)})};
    layout.reportFooter = reportFooter(402, {reportSum(mass, QStringLiteral("#0")), reportSum(kolvo)});
    layout.pageFooter = pageFooter();
    return form;
}

} // namespace tabel
