#include "legacy_import/ImportOutcome.h"

#include "legacy_import/ImportSteps.h"

namespace tabel {

namespace {
QString reasonText(const ImportFailure& failure)
{
    switch (failure.reason) {
    case ImportFailureReason::NotConnected:
        return QStringLiteral("не удалось подключиться к источнику данных ODBC «%1»").arg(failure.dataSource);
    case ImportFailureReason::SourceTableMissing:
        return QStringLiteral("в источнике нет таблицы «%1»").arg(failure.sourceTable);
    case ImportFailureReason::TextTooLong:
        return QStringLiteral("текст длиннее, чем допускает поле таблицы %1").arg(failure.targetTable);
    case ImportFailureReason::DateRefused:
        return QStringLiteral("таблица %1 не принимает дату из источника").arg(failure.targetTable);
    case ImportFailureReason::NumberOutOfRange:
        return QStringLiteral("число не помещается в поле таблицы %1").arg(failure.targetTable);
    case ImportFailureReason::ValueRefused:
        return QStringLiteral("значение из источника не подходит к полю таблицы %1").arg(failure.targetTable);
    case ImportFailureReason::DuplicateId:
        return QStringLiteral("код записи (id) повторяется в таблице %1").arg(failure.targetTable);
    case ImportFailureReason::ConnectionLost:
        return QStringLiteral("прервалась связь с базой данных");
    case ImportFailureReason::NoPermission:
        return QStringLiteral("недостаточно прав в базе данных для таблицы %1").arg(failure.targetTable);
    case ImportFailureReason::SourceFieldMissing:
        return QStringLiteral("в таблице «%1» источника нет поля «%2»")
            .arg(failure.sourceTable, failure.detail);
    case ImportFailureReason::Other:
        break;
    }
    return QStringLiteral("ошибка базы данных");
}

QString tableLines(const QList<ImportedTable>& tables)
{
    QStringList lines;
    for (const ImportedTable& table : tables)
        lines.append(QStringLiteral("%1 — записей: %2").arg(table.targetTable).arg(table.rows));
    return lines.join(QLatin1Char('\n'));
}
} // namespace

QString importFailureText(const ImportFailure& failure)
{
    if (failure.step == 0)
        return QStringLiteral("Импорт не выполнен: %1. Ни одна таблица не изменена.")
            .arg(reasonText(failure));
    const QString row = failure.sourceRow.isEmpty()
                            ? QString()
                            : QStringLiteral("; запись %1 %2").arg(failure.sourceTable, failure.sourceRow);
    return QStringLiteral(
               "Импорт остановлен на шаге %1 из %2 (%3 → %4): %5%6. Таблица %4 оставлена как была; "
               "таблицы предыдущих шагов импортированы, следующие шаги не выполнялись.")
        .arg(failure.step)
        .arg(legacyImportSteps().size())
        .arg(failure.sourceTable, failure.targetTable, reasonText(failure), row);
}

QString importSummaryText(const ImportOutcome& outcome)
{
    QString text;
    if (outcome.cancelledAt) {
        const ImportStep& step = legacyImportSteps().at(*outcome.cancelledAt - 1);
        text = QStringLiteral("Импорт отменён на шаге %1 (%2 → %3). Таблица %3 оставлена как была.")
                   .arg(*outcome.cancelledAt)
                   .arg(step.sourceTable, step.targetTable);
    } else {
        text = QStringLiteral("Импорт завершён.");
    }
    if (!outcome.done.isEmpty())
        text += QStringLiteral("\nПолучено записей:\n") + tableLines(outcome.done);
    return text;
}

QString importQuestionText()
{
    QStringList tables;
    for (const ImportStep& step : legacyImportSteps())
        tables.append(step.targetTable);
    return QStringLiteral(
               "Импорт заменит содержимое таблиц:\n%1\nданными из источников ODBC «Tabel» и таблицы "
               "smena (записи с кодом 0 и меньше сохранятся). Продолжить?")
        .arg(tables.join(QLatin1Char('\n')));
}

} // namespace tabel
