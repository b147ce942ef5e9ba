#include "db/SharedStatements.h"
#include "reports/SummaryLayoutParts.h"
#include "reports/SummaryReports.h"

#include <QStringList>

namespace tabel {

using namespace summary_layout;

SummaryReportForm detailedWorkersSummaryForm()
{
    SummaryReportForm form;
    form.objectName = QStringLiteral("TForm20");
    form.caption = QStringLiteral("Детальный отчет по рабочим");
    form.titlePrefix = QStringLiteral("   Детальный отчет по рабочим за период с ");
    // s_prize names smena.cena: oper has a cena too, and the bare name is ambiguous there.
    form.statement =
        QStringList{
            QStringLiteral("select s_caption fio, izdel.marka, vid_oper.vid, oper.naimen, "),
            QStringLiteral("sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, sum((kol_vo-brak)*"),
            QStringLiteral(
                "smena.cena) as summa, color, sum(prize*(kol_vo-brak)*smena.cena/100) as s_prize "),
            QStringLiteral("from ") + statements::recordPersons() +
                QStringLiteral(" person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,"
                               "accounts_dep.vid_oper where "),
            QStringLiteral("smena.o_id=oper.id and smena.w_id=person.worker_id and smena.i_id=izdel.id "),
            QStringLiteral("and smena.o_id=oper.id and w_id=person.worker_id and oper.vid=vid_oper.id "),
            QStringLiteral("and smena.data<:data2 and smena.data>=:data1 group by fio, marka, "),
            QStringLiteral("vid_oper.vid, oper.naimen, color order by fio, marka, vid_oper.vid, oper.naimen"),
        }
            .join(QLatin1Char('\n'));

    const Column marka = leftColumn(QStringLiteral("marka"), 1, 155);
    const Column vid = centredColumn(QStringLiteral("vid"), 162, 110);
    const Column colour = centredColumn(QStringLiteral("color"), 278, 61);
    const Column brk = centredColumn(QStringLiteral("brk"), 484, 34);
    const Column kolvo = centredColumn(QStringLiteral("kolvo"), 553, 66);
    const Column summa = centredColumn(QStringLiteral("summa"), 642, 74);
    const QString money = QStringLiteral("#0.00");

    ReportDefinition& layout = form.layout;
    layout.previewZoom = PreviewZoom::PageWidth;
    layout.reportHeader = reportHeader(
        10,
        {{QStringLiteral("Брак"), 469}, {QStringLiteral("Количество"), 504}, {QStringLiteral("Сумма"), 595}},
        9);
    ReportGroup worker = group(QStringLiteral("fio"));
    worker.footer = {groupFooter({groupSum(brk), groupSum(kolvo), groupSum(summa, money)})};
    layout.groups = {worker};
    layout.detail = {
        detailBand({fieldItem(marka, 8), fieldItem(vid, 8), fieldItem(colour, 8), kindTextItem(345, 113, 8),
                    fieldItem(brk, 8), fieldItem(kolvo, 8), fieldItem(summa, 8, money)})};
    layout.reportFooter = reportFooter(401, {reportSum(brk), reportSum(kolvo), reportSum(summa, money)});
    layout.pageFooter = pageFooter();
    return form;
}

} // namespace tabel
