#include "production_log/ShiftEntryChoices.h"

#include "db/Database.h"
#include "db/SharedStatements.h"
#include "reference/OperationChoice.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace tabel {

void ShiftEntryChoices::load(const Database& database)
{
    m_workers.clear();
    m_operations.clear();
    QStringList names;
    QSqlQuery workers = database.execute(statements::workers());
    const int id = workers.record().indexOf(QStringLiteral("id"));
    const int fio = workers.record().indexOf(QStringLiteral("fio"));
    while (workers.next()) {
        m_workers.append({workers.value(fio).toString().trimmed(), workers.value(id).toInt()});
        names << m_workers.last().text;
    }
    m_workerNames.setTexts(names);

    QStringList texts;
    QSqlQuery operations = database.execute(statements::operations());
    const QSqlRecord columns = operations.record();
    const int grade = columns.indexOf(QStringLiteral("marka"));
    const int type = columns.indexOf(QStringLiteral("vid"));
    const int kind = columns.indexOf(QStringLiteral("naimen"));
    const int operation = columns.indexOf(QStringLiteral("id"));
    const int product = columns.indexOf(QStringLiteral("i_id"));
    while (operations.next()) {
        m_operations.append(
            {operations.value(product).toInt(), operations.value(operation).toInt(),
             operationChoiceText(operations.value(grade).toString(), operations.value(type).toString(),
                                 operations.value(kind).toInt())});
        texts << m_operations.last().text;
    }
    m_operationTexts.setTexts(texts);
}

} // namespace tabel
