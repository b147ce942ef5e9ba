#include "legacy_import/LegacyImport.h"

#include "db/Database.h"
#include "legacy_import/ImportSteps.h"
#include "legacy_import/SqlState.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>
#include <map>

namespace tabel {

namespace {
struct StepError
{
    ImportFailureReason reason;
    QString detail;
    QString sourceRow = {};
};

struct Cancelled
{
};

QString errorText(const QSqlError& error)
{
    return Database::errorText(error);
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
    if (state == QLatin1String("42501"))
        return ImportFailureReason::NoPermission;
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
    case FieldKind::Decimal:
    case FieldKind::Text:
    case FieldKind::ThroughText:
        break;
    }
    return QVariant(QMetaType::fromType<QString>());
}

// The source reads decimals as text (QSql::HighPrecision); a driver that still hands over a
// double gets its shortest exact form, never the seventeen digits of its binary value.
QString decimalText(const QVariant& value)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][+-]?[0-9]+)?$"));
    QString text;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        text = QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        break;
    default:
        text = value.toString().trimmed();
    }
    return number.match(text).hasMatch() ? text : QString();
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
    case FieldKind::Decimal: {
        const QString text = decimalText(value);
        if (!text.isEmpty())
            return text;
        break;
    }
    case FieldKind::Text:
    case FieldKind::ThroughText: {
        // The driver would cut a text at a NUL without a word, and the server holds no NUL nor
        // half of a surrogate pair: such a text is refused like any other bad value.
        const QString text = value.toString();
        if (!text.contains(QChar(0)) && text.isValidUtf16())
            return text;
        throw StepError{ImportFailureReason::ValueRefused,
                        QStringLiteral("%1: текст содержит недопустимый символ (NUL)").arg(field.name)};
    }
    }
    throw StepError{ImportFailureReason::ValueRefused,
                    QStringLiteral("%1 = «%2»").arg(field.name, value.toString())};
}

// The source's own spelling of each field, quoted: field names match without regard to case,
// as a migration tool may have written them in capitals ("W_ID").
QStringList sourceColumns(const QSqlDatabase& source, const ImportStep& step)
{
    QSqlQuery probe(source);
    probe.setForwardOnly(true);
    if (!probe.exec(QStringLiteral("select * from %1 where 1=0").arg(step.sourceTable)))
        fail(probe);
    const QSqlRecord record = probe.record();
    QStringList columns;
    for (const ImportField& field : step.fields) {
        int found = -1;
        for (int i = 0; i < record.count() && found < 0; ++i)
            if (record.fieldName(i).compare(field.name, Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0)
            throw StepError{ImportFailureReason::SourceFieldMissing, field.name};
        columns.append(source.driver()->escapeIdentifier(record.fieldName(found), QSqlDriver::FieldName));
    }
    return columns;
}

QString sourceStatement(const ImportStep& step, const QStringList& columns)
{
    QStringList selected;
    for (int i = 0; i < step.fields.size(); ++i)
        selected.append(
            step.fields.at(i).kind == FieldKind::ThroughText
                ? QStringLiteral("cast(%1 as text) as %2").arg(columns.at(i), step.fields.at(i).name)
                : columns.at(i));
    // Table and column names come from the fixed list of steps and the source's own catalogue,
    // never from the user or the data: names cannot be bound as values are.
    QString sql =
        QStringLiteral("select %1 from %2").arg(selected.join(QStringLiteral(", ")), step.sourceTable);
    if (step.keepsIds)
        sql += QStringLiteral(" order by ") + columns.constFirst();
    return sql;
}

// Collects rows and sends them many to one insert; a statement is prepared once per row count.
class RowWriter
{
public:
    RowWriter(const QSqlDatabase& target, const ImportStep& step) : m_target(target), m_step(step) {}

    void append(const QSqlQuery& source)
    {
        ++m_read;
        const QString label = m_step.keepsIds ? QStringLiteral("id %1").arg(source.value(0).toString())
                                              : QStringLiteral("№ %1").arg(m_read);
        try {
            for (int i = 0; i < m_step.fields.size(); ++i)
                m_values.append(converted(source.value(i), m_step.fields.at(i)));
        } catch (StepError& error) {
            error.sourceRow = label;
            throw;
        }
        m_labels.append(label);
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
        m_labels.clear();
        m_rows = 0;
    }

    // The server refuses a statement of many rows without saying which row it was. Once the
    // step is rolled back, its rows go in again one at a time in a transaction of their own,
    // which is rolled back too, until one is refused.
    void nameRefusedRow(StepError& error)
    {
        if (m_rows == 0 || !m_target.transaction())
            return;
        QSqlQuery clear(m_target);
        if (clear.exec(QStringLiteral("delete from %1 where id>0").arg(m_step.targetTable))) {
            QSqlQuery& insert = statementFor(1);
            const int fields = m_step.fields.size();
            for (int row = 0; row < m_rows; ++row) {
                for (int i = 0; i < fields; ++i)
                    insert.bindValue(i, m_values.at(row * fields + i));
                if (!insert.exec()) {
                    error.sourceRow = m_labels.at(row);
                    break;
                }
            }
        }
        m_target.rollback();
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
    QStringList m_labels; // of the rows in m_values
    int m_rows = 0;
    int m_read = 0;
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
    void rollback()
    {
        if (!m_done)
            m_target.rollback();
        m_done = true;
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
// insert would then repeat an id. A view's id is numbered by the table it shows: the id column
// of a table its rule reads. The catalogues asked here answer any role, unlike
// information_schema, which shows a role only the views it owns.
void advanceIdSequence(const QSqlDatabase& target, const ImportStep& step)
{
    QSqlQuery find =
        prepared(target, QStringLiteral(
                             "select coalesce(pg_get_serial_sequence(?, 'id'), "
                             "(select pg_get_serial_sequence(cast(d.refobjid as regclass)::text, a.attname) "
                             "from pg_rewrite r "
                             "join pg_depend d on d.classid = 'pg_rewrite'::regclass and d.objid = r.oid "
                             "and d.refclassid = 'pg_class'::regclass and d.refobjid <> r.ev_class "
                             "join pg_attribute a on a.attrelid = d.refobjid and a.attnum = d.refobjsubid "
                             "where r.ev_class = cast(? as regclass) and a.attname = 'id' "
                             "and pg_get_serial_sequence(cast(d.refobjid as regclass)::text, a.attname) "
                             "is not null limit 1))"));
    find.addBindValue(step.targetTable);
    find.addBindValue(step.targetTable);
    execute(find);
    const QString sequence = find.next() ? find.value(0).toString() : QString();
    if (sequence.isEmpty())
        return;
    // nextval says where the sequence stands with the UPDATE right that setval needs anyway
    // (reading it without taking a number needs SELECT as well); one number goes unused.
    QSqlQuery advance = prepared(
        target,
        QStringLiteral("select setval(cast(? as regclass), greatest(m.top, nextval(cast(? as regclass)))) "
                       "from (select cast(max(id) as bigint) as top from %1) m where m.top is not null")
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
            outcome.failure = ImportFailure{i + 1,        step.sourceTable, step.targetTable, {},
                                            error.reason, error.detail,     error.sourceRow};
            break;
        } catch (const DbError& error) {
            ImportFailureReason reason = ImportFailureReason::Other;
            if (error.kind() == FailureKind::ConnectionLost)
                reason = ImportFailureReason::ConnectionLost;
            else if (error.kind() == FailureKind::NoPermission)
                reason = ImportFailureReason::NoPermission;
            outcome.failure =
                ImportFailure{i + 1, step.sourceTable, step.targetTable, {}, reason, error.text()};
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
    QSqlQuery rows = prepared(source, sourceStatement(step, sourceColumns(source, step)));
    rows.setNumericalPrecisionPolicy(QSql::HighPrecision);
    execute(rows);

    TargetTransaction transaction(target);
    QSqlQuery clear = prepared(target, QStringLiteral("delete from %1 where id>0").arg(step.targetTable));
    execute(clear);

    RowWriter writer(target, step);
    int done = 0;
    const auto flush = [&] {
        try {
            writer.flush();
        } catch (StepError& error) {
            transaction.rollback();
            writer.nameRefusedRow(error);
            throw;
        }
    };
    while (done < total && rows.next()) {
        writer.append(rows);
        ++done;
        // The first row is shown on its own, so that the count starts at 1 as users know it.
        if (done == 1 || done == total || writer.pendingRows() >= m_rowsPerStatement) {
            flush();
            progress.showProgress(progressText(step, done, total));
            if (progress.cancelRequested())
                throw Cancelled{};
        }
    }
    if (rows.lastError().isValid())
        fail(rows);
    flush();
    if (step.keepsIds)
        advanceIdSequence(target, step);
    transaction.commit();
    return done;
}

} // namespace tabel
