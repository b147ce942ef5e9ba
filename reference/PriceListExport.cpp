#include "reference/PriceListExport.h"

#include "common/Numbers.h"
#include "common/ProductKind.h"
#include "db/Database.h"
#include "spreadsheet/SpreadsheetWriter.h"

#include <QSqlQuery>
#include <QStringList>

namespace tabel {

namespace {
enum Column { GradeColumn = 1, OperationColumn, PriceColumn, KindColumn };
constexpr int kSheet = 1;
} // namespace

PriceListExport::PriceListExport(Database& database, SpreadsheetWriter& writer)
    : m_database(database), m_writer(writer)
{
}

QString PriceListExport::statement()
{
    return QStringList{
        QStringLiteral("select izdel.MARKA, vid_oper.VID, oper.NAIMEN,(SELECT (CASE naimen WHEN 0 THEN "
                       "'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.CENA_new as cena, oper.id, "
                       "oper.i_id,"),
        QStringLiteral(
            "oper.VID as oper_vid from accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where "
            "OPER.i_id=IZDEL.id"),
        QStringLiteral("and oper.vid=vid_oper.id order by izdel.marka, vid_oper.vid, oper.naimen"),
    }
        .join(QLatin1Char('\n'));
}

void PriceListExport::run()
{
    QSqlQuery rows = m_database.execute(statement());
    if (m_writer.open(QStringLiteral("Прайс-лист")) == SpreadsheetWriter::Result::Failed)
        return;

    m_writer.writeCell(kSheet, GradeColumn, 1, QStringLiteral("Марка"));
    m_writer.writeCell(kSheet, OperationColumn, 1, QStringLiteral("Операция"));
    m_writer.writeCell(kSheet, PriceColumn, 1, QStringLiteral("Цена"));
    m_writer.writeCell(kSheet, KindColumn, 1, QStringLiteral("Вид"));

    int row = 2;
    // A NULL price reads as 0, as the old program read it; a NULL kind is blanks, as everywhere.
    while (rows.next()) {
        m_writer.writeCell(kSheet, GradeColumn, row, rows.value(0).toString());
        m_writer.writeCell(kSheet, OperationColumn, row, rows.value(1).toString());
        m_writer.writeCell(kSheet, PriceColumn, row, shortestText(rows.value(4).toDouble()));
        m_writer.writeCell(kSheet, KindColumn, row, productKindCaption(rows.value(2)));
        ++row;
    }
    m_writer.show(true);
}

} // namespace tabel
