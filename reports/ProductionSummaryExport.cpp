#include "reports/ProductionSummaryExport.h"

#include "common/Numbers.h"
#include "common/ProductKind.h"
#include "db/Database.h"
#include "reports/ProductKind.h"
#include "reports/SummaryStatement.h"
#include "spreadsheet/SpreadsheetWriter.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <cmath>

namespace tabel {

namespace {
enum Column { NameColumn = 1, OperationColumn, KindColumn, BoxesColumn, QuantityColumn };
constexpr int kSheet = 1;
} // namespace

ProductionSummaryExport::ProductionSummaryExport(Database& database, SpreadsheetWriter& writer)
    : m_database(database), m_writer(writer)
{
}

QString ProductionSummaryExport::statement()
{
    return QStringList{
        QStringLiteral("select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid,"),
        QStringLiteral("izdel.nom, oper.naimen, color,izdel.massa*sum(smena.kol_vo-smena.brak) as mass "),
        QStringLiteral(
            "from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where "
            "izdel.id=smena.i_id and vid_oper.id=oper.vid"),
        QStringLiteral("and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 "),
        QStringLiteral("group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom"),
    }
        .join(QLatin1Char('\n'));
}

QString ProductionSummaryExport::operationText(const QString& operation, const QVariant& colour)
{
    const int number = colour.toInt();
    if (number == 1)
        return operation + QStringLiteral(" (грунт)");
    if (number > 1)
        return operation + QStringLiteral(" (цвет: %1)").arg(number);
    return operation;
}

void ProductionSummaryExport::run(const ReportPeriod& period, int productKindChoice)
{
    QSqlQuery rows = runSummaryStatement(m_database, statement(), periodParameters(period));
    if (m_writer.open(periodDocumentName(QStringLiteral("Сводка по продукции"), period)) ==
        SpreadsheetWriter::Result::Failed)
        return;

    const QSqlRecord record = rows.record();
    const int kolvo = record.indexOf(QStringLiteral("kolvo"));
    const int vid = record.indexOf(QStringLiteral("vid"));
    const int nom = record.indexOf(QStringLiteral("nom"));
    const int naimen = record.indexOf(QStringLiteral("naimen"));
    const int colour = record.indexOf(QStringLiteral("color"));
    const int mass = record.indexOf(QStringLiteral("mass"));

    // The total is of the rows the choice keeps, so it is counted before anything is written.
    int total = 0;
    for (int at = 0; rows.seek(at); ++at)
        total += productKindShown(productKindChoice, rows.value(naimen)) ? 1 : 0;
    if (m_progress)
        m_progress(0, total);

    m_writer.writeCell(kSheet, NameColumn, 1, QStringLiteral("Наименование"));
    m_writer.writeCell(kSheet, OperationColumn, 1, QStringLiteral("Операция"));
    m_writer.writeCell(kSheet, KindColumn, 1, QStringLiteral("Вид продукции"));
    m_writer.writeCell(kSheet, BoxesColumn, 1, QStringLiteral("Коробки"));
    m_writer.writeCell(kSheet, QuantityColumn, 1, QStringLiteral("Кол-во"));

    int written = 0;
    for (int at = 0; rows.seek(at); ++at) {
        if (!productKindShown(productKindChoice, rows.value(naimen)))
            continue;
        const int row = written + 2;
        m_writer.writeCell(kSheet, NameColumn, row, rows.value(nom).toString());
        m_writer.writeCell(kSheet, OperationColumn, row,
                           operationText(rows.value(vid).toString(), rows.value(colour)));
        m_writer.writeCell(kSheet, KindColumn, row, productKindCaption(rows.value(naimen)));
        m_writer.writeCell(kSheet, BoxesColumn, row, shortestText(rows.value(mass).toDouble()));
        m_writer.writeCell(kSheet, QuantityColumn, row,
                           QString::number(std::llround(rows.value(kolvo).toDouble())));
        ++written;
        if (m_progress)
            m_progress(written, total);
    }
    m_writer.show(true);
}

} // namespace tabel
