#include "reports/SummaryLayoutParts.h"
#include "reports/SummaryReports.h"

#include <QStringList>

namespace tabel {

using namespace summary_layout;

SummaryReportForm detailedProductsSummaryForm()
{
    SummaryReportForm form;
    form.objectName = QStringLiteral("TForm21");
    form.caption = QStringLiteral("Детальный отчет по продукции");
    form.titlePrefix = QStringLiteral("   Детальный отчет по продукции за период с ");
    form.statement =
        QStringList{
            QStringLiteral("select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom,"),
            QStringLiteral("sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, "),
            QStringLiteral("sum((kol_vo-brak)*smena.cena) as summa, color, "
                           "round((izdel.massa*sum(smena.kol_vo))::numeric,2) as mass "),
            QStringLiteral(
                "from accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where "
                "smena.o_id=oper.id and smena.i_id=izdel.id "),
            QStringLiteral("and smena.o_id=oper.id and oper.vid=vid_oper.id and smena.data<:data2 and "),
            QStringLiteral(
                "smena.data>=:data1 group by izdel.nom, marka, vid_oper.vid, oper.naimen, color,massa "),
            QStringLiteral("order by izdel.nom,marka, vid_oper.vid, oper.naimen"),
        }
            .join(QLatin1Char('\n'));

    const Column marka = leftColumn(QStringLiteral("marka"), 4, 197);
    const Column vid = leftColumn(QStringLiteral("vid"), 200, 105);
    const Column colour = centredColumn(QStringLiteral("color"), 307, 63);
    const Column brk = centredColumn(QStringLiteral("brk"), 474, 25);
    const Column mass = centredColumn(QStringLiteral("mass"), 505, 71);
    const Column kolvo = centredColumn(QStringLiteral("kolvo"), 575, 63);
    const Column summa = centredColumn(QStringLiteral("summa"), 642, 72);
    const QString money = QStringLiteral("#0.00");

    ReportDefinition& layout = form.layout;
    layout.previewZoom = PreviewZoom::PageWidth;
    layout.reportHeader = reportHeader(9,
                                       {{QStringLiteral("Брак"), 470},
                                        {QStringLiteral("Коробки"), 510},
                                        {QStringLiteral("Кол-во"), 580},
                                        {QStringLiteral("Сумма"), 657}},
                                       10);
    ReportGroup product = group(QStringLiteral("nom"));
    product.footer = {
        groupFooter({groupSum(brk), groupSum(mass, money), groupSum(kolvo), groupSum(summa, money)})};
    layout.groups = {product};
    layout.detail = {detailBand({fieldItem(marka, 9), fieldItem(vid, 9), fieldItem(colour, 9),
                                 kindTextItem(376, 102, 9), fieldItem(brk, 9), fieldItem(mass, 9),
                                 fieldItem(kolvo, 9), fieldItem(summa, 9, QStringLiteral("#0.000"))})};
    layout.reportFooter =
        reportFooter(377, {reportSum(brk), reportSum(mass), reportSum(kolvo), reportSum(summa, money)});
    layout.pageFooter = pageFooter();
    return form;
}

} // namespace tabel
