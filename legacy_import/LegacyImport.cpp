#include "legacy_import/LegacyImport.h"

#include "db/Database.h"
#include "legacy_import/ImportSteps.h"
#include "legacy_import/SqlState.h"

#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <map>

namespace tabel {

namespace {
struct StepError
{
    ImportFailureReason reason;
    QString detail;
};

struct Cancelled
{
};

QString errorText(const QSqlError& error)
{
    const QString database = error.databaseText().trimmed();
    return database.isEmpty() ? error.text().trimmed() : database;
}

ImportFailureReason reasonOfState(const QString& state)
{
    if (state == QLatin1String("22001"))
        return ImportFailureReason::TextTooLong;
    if (state == QLatin1String("22007") || state == QLatin1String("22008"))
        return ImportFailureReason::DateRefused;
    if (state == QLatin1String("22003"))
        return ImportFailureReason::NumberOutOfRange;
    if (state == QLatin1String("22P02") || state == QLatin1String("22018"))
        return ImportFailureReason::ValueRefused;
    if (state == QLatin1String("23505"))
        return ImportFailureReason::DuplicateId;
    if (state.startsWith(QLatin1String("08")))
        return ImportFailureReason::ConnectionLost;
    if (state == QLatin1String("42P01") || state == QLatin1String("42S02"))
        return ImportFailureReason::SourceTableMissing;
    return ImportFailureReason::Other;
}

[[noreturn]] void fail(const QSqlQuery& query)
{
    throw StepError{reasonOfState(sqlStateOf(query)), errorText(query.lastError())};
}

void execute(QSqlQuery& query)
{
    if (!query.exec())
        fail(query);
}

QSqlQuery prepared(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        fail(query);
    return query;
}

QSqlDatabase connectOdbc(const QString& connection, const QString& dataSource, const QString& user,
                         const QString& password)
{
    if (!QSqlDatabase::contains(connection))
        QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connection);
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (db.isOpen())
        return db;
    db.setDatabaseName(dataSource);
    db.setUserName(user);
    db.setPassword(password);
    if (!db.open())
        throw ImportFailure{
            0, {}, {}, dataSource, ImportFailureReason::NotConnected, errorText(db.lastError())};
    return db;
}

QVariant nullOf(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Integer:
        return QVariant(QMetaType::fromType<qlonglong>());
    case FieldKind::Real:
        return QVariant(QMetaType::fromType<double>());
    case FieldKind::Text:
    case FieldKind::ThroughText:
        break;
    }
    return QVariant(QMetaType::fromType<QString>());
}

// Source values as the target field's kind: an integer stays an integer whatever width the
// source gives it, so that a value the target cannot hold is refused by the target.
QVariant converted(const QVariant& value, const ImportField& field)
{
    if (value.isNull())
        return nullOf(field.kind);
    bool ok = true;
    switch (field.kind) {
    case FieldKind::Integer: {
        const qlonglong whole = value.toLongLong(&ok);
        if (ok)
            return whole;
        const double number = value.toDouble(&ok);
        if (ok && number == double(qlonglong(number)))
            return qlonglong(number);
        break;
    }
    case FieldKind::Real: {
        const double number = value.toDouble(&ok);
        if (ok)
            return number;
        break;
    }
    case FieldKind::Text:
    case FieldKind::ThroughText:
        return value.toString();
    }
    throw StepError{ImportFailureReason::ValueRefused,
                    QStringLiteral("%1 = «%2»").arg(field.name, value.toString())};
}

QString sourceStatement(const ImportStep& step)
{
    QStringList columns;
    for (const ImportField& field : step.fields)
        columns.append(field.kind == FieldKind::ThroughText
                           ? QStringLiteral("cast(%1 as text) as %1").arg(field.name)
                           : field.name);
    // Table and column names come from the fixed list of steps, never from the user or the
    // data: names cannot be bound as values are.
    QString sql =
        QStringLiteral("select %1 from %2").arg(columns.join(QStringLiteral(", ")), step.sourceTable);
    if (step.keepsIds)
        sql += QStringLiteral(" order by id");
    return sql;
}

// Collects rows and sends them many to one insert; a statement is prepared once per row count.
class RowWriter
{
public:
    RowWriter(const QSqlDatabase& target, const ImportStep& step) : m_target(target), m_step(step) {}

    void append(const QSqlQuery& source)
    {
        for (int i = 0; i < m_step.fields.size(); ++i)
            m_values.append(converted(source.value(i), m_step.fields.at(i)));
        ++m_rows;
    }
    int pendingRows() const { return m_rows; }

    void flush()
    {
        if (m_rows == 0)
            return;
        QSqlQuery& insert = statementFor(m_rows);
        for (int i = 0; i < m_values.size(); ++i)
            insert.bindValue(i, m_values.at(i));
        execute(insert);
        m_values.clear();
        m_rows = 0;
    }

private:
    QSqlQuery& statementFor(int rows)
    {
        auto found = m_statements.find(rows);
        if (found != m_statements.end())
            return found->second;
        QStringList names;
        for (const ImportField& field : m_step.fields)
            names.append(field.name);
        const QString row = QLatin1Char('(') +
                            QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')) +
                            QLatin1Char(')');
        const QString sql = QStringLiteral("insert into %1 (%2) values %3")
                                .arg(m_step.targetTable, names.join(QStringLiteral(", ")),
                                     QStringList(rows, row).join(QLatin1Char(',')));
        return m_statements.emplace(rows, prepared(m_target, sql)).first->second;
    }

    QSqlDatabase m_target;
    const ImportStep& m_step;
    QVariantList m_values;
    int m_rows = 0;
    std::map<int, QSqlQuery> m_statements;
};

// The step's deletion and inserts commit together; anything else rolls them back.
class TargetTransaction
{
public:
    explicit TargetTransaction(QSqlDatabase target) : m_target(std::move(target))
    {
        if (!m_target.transaction())
            throw StepError{ImportFailureReason::ConnectionLost, errorText(m_target.lastError())};
    }
    ~TargetTransaction()
    {
        if (!m_done)
            m_target.rollback();
    }
    void commit()
    {
        m_done = true;
        if (!m_target.commit())
            throw StepError{reasonOfState({}), errorText(m_target.lastError())};
    }

private:
    QSqlDatabase m_target;
    bool m_done = false;
};

// The program's connection reads the last step's source in one snapshot, so that the count
// shown matches the rows read.
class MainSnapshot
{
public:
    explicit MainSnapshot(Database& main) : m_main(main)
    {
        m_main.begin();
        m_main.execute(QStringLiteral("set transaction isolation level repeatable read, read only"));
    }
    ~MainSnapshot() { m_main.rollback(); }

private:
    Database& m_main;
};

// Ids written explicitly leave the sequence that numbers new rows behind; the program's next
// insert would then repeat an id. A view's id is numbered by the table it shows.
void advanceIdSequence(const QSqlDatabase& target, const ImportStep& step)
{
    QSqlQuery find = prepared(
        target,
        QStringLiteral("select coalesce(pg_get_serial_sequence(?, 'id'), "
                       "(select pg_get_serial_sequence(quote_ident(u.table_schema) || '.' || "
                       "quote_ident(u.table_name), 'id') "
                       "from information_schema.view_column_usage u "
                       "where u.view_schema = ? and u.view_name = ? and u.column_name = 'id' limit 1))"));
    find.addBindValue(step.targetTable);
    find.addBindValue(step.targetSchema());
    find.addBindValue(step.targetName());
    execute(find);
    const QString sequence = find.next() ? find.value(0).toString() : QString();
    if (sequence.isEmpty())
        return;
    QSqlQuery advance = prepared(
        target, QStringLiteral("select setval(cast(? as regclass), m.top) "
                               "from (select cast(max(id) as bigint) as top from %1) m "
                               "where m.top > coalesce(pg_sequence_last_value(cast(? as regclass)), 0)")
                    .arg(step.targetTable));
    advance.addBindValue(sequence);
    advance.addBindValue(sequence);
    execute(advance);
}

bool hasTable(const QSqlDatabase& legacy, const QString& name)
{
    const QStringList tables = legacy.tables(QSql::Tables);
    return std::any_of(tables.cbegin(), tables.cend(),
                       [&](const QString& table) { return table.compare(name, Qt::CaseInsensitive) == 0; });
}

QString progressText(const ImportStep& step, int done, int total)
{
    return QStringLiteral("%1: %2 из %3 записей").arg(step.sourceTable).arg(done).arg(total);
}

std::atomic<int> connectionCounter{0};
} // namespace

LegacyImport::LegacyImport(Database& main, int rowsPerStatement)
    : m_main(main), m_rowsPerStatement(std::max(1, rowsPerStatement))
{
    const int number = ++connectionCounter;
    m_legacyConnection = QStringLiteral("legacy-import-source-%1").arg(number);
    m_targetConnection = QStringLiteral("legacy-import-target-%1").arg(number);
}

LegacyImport::~LegacyImport()
{
    for (const QString& name : {m_legacyConnection, m_targetConnection}) {
        if (QSqlDatabase::contains(name))
            QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
}

ImportOutcome LegacyImport::run(ImportProgress& progress)
{
    ImportOutcome outcome;
    try {
        connectOdbc(m_legacyConnection, LegacyDataSources::legacy, {}, LegacyDataSources::legacyPassword);
        connectOdbc(m_targetConnection, LegacyDataSources::target, LegacyDataSources::targetUser, {});
    } catch (const ImportFailure& failure) {
        outcome.failure = failure;
        return outcome;
    }
    const QList<ImportStep>& steps = legacyImportSteps();
    for (int i = 0; i < steps.size(); ++i) {
        const ImportStep& step = steps.at(i);
        try {
            outcome.done.append({step.targetTable, runStep(step, progress)});
        } catch (const Cancelled&) {
            outcome.cancelledAt = i + 1;
            break;
        } catch (const StepError& error) {
            outcome.failure =
                ImportFailure{i + 1, step.sourceTable, step.targetTable, {}, error.reason, error.detail};
            break;
        } catch (const DbError& error) {
            outcome.failure = ImportFailure{i + 1,
                                            step.sourceTable,
                                            step.targetTable,
                                            {},
                                            error.kind() == FailureKind::ConnectionLost
                                                ? ImportFailureReason::ConnectionLost
                                                : ImportFailureReason::Other,
                                            error.text()};
            break;
        }
    }
    return outcome;
}

int LegacyImport::runStep(const ImportStep& step, ImportProgress& progress)
{
    const bool fromMain = step.source == SourceConnection::Main;
    const QSqlDatabase source =
        fromMain ? m_main.connection() : QSqlDatabase::database(m_legacyConnection, false);
    const QSqlDatabase target = QSqlDatabase::database(m_targetConnection, false);

    std::optional<MainSnapshot> snapshot;
    if (fromMain) {
        m_main.reconnectIfLost();
        snapshot.emplace(m_main);
        if (!m_main
                 .readValue(QStringLiteral("select to_regclass(:name) is not null as found"),
                            QStringLiteral("found"), {{QStringLiteral(":name"), step.sourceTable}})
                 .toBool())
            throw StepError{ImportFailureReason::SourceTableMissing, {}};
    } else if (!hasTable(source, step.sourceTable)) {
        throw StepError{ImportFailureReason::SourceTableMissing, {}};
    }

    QSqlQuery count = prepared(source, QStringLiteral("select count(*) from %1").arg(step.sourceTable));
    execute(count);
    const int total = count.next() ? count.value(0).toInt() : 0;
    count.finish();
    QSqlQuery rows = prepared(source, sourceStatement(step));
    execute(rows);

    TargetTransaction transaction(target);
    QSqlQuery clear = prepared(target, QStringLiteral("delete from %1 where id>0").arg(step.targetTable));
    execute(clear);

    RowWriter writer(target, step);
    int done = 0;
    while (done < total && rows.next()) {
        writer.append(rows);
        ++done;
        // The first row is shown on its own, so that the count starts at 1 as users know it.
        if (done == 1 || done == total || writer.pendingRows() >= m_rowsPerStatement) {
            writer.flush();
            progress.showProgress(progressText(step, done, total));
            if (progress.cancelRequested())
                throw Cancelled{};
        }
    }
    if (rows.lastError().isValid())
        fail(rows);
    writer.flush();
    if (step.keepsIds)
        advanceIdSequence(target, step);
    transaction.commit();
    return done;
}

} // namespace tabel
