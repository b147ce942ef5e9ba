#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace tabel {

class Database;

// One cell (or one surplus row) of the hours ledger that does not match the production records.
struct LedgerDifference
{
    enum class Kind {
        Differs = 1,     // both have the day, with other hours
        NotInLedger = 2, // records without a ledger row, or without a value on their day
        NoRecords = 3,   // ledger hours on a day without records
        ExtraRow = 4,    // more than one ledger row for one worker, shift and month
    };

    Kind kind = Kind::Differs;
    int workerId = 0;
    QString name; // empty when no person has the worker's number or id
    int shift = 0;
    int day = 0; // 0 for a surplus row, which has no day of its own
    // Hours; null where there is nothing to show. For a surplus row: the month's hours of all
    // the worker's rows of that shift, and those of the records.
    QVariant ledgerHours;
    QVariant recordHours;

    static QString kindText(Kind kind);
    QString kindText() const { return kindText(kind); }
    // The person's name, or the worker's number when no person answers to it, so that the
    // difference can still be traced.
    QString displayName() const;
    QString dayText() const { return day > 0 ? QString::number(day) : QString(); }
    QStringList texts() const; // name, shift, day, ledger, records, kind
};

struct LedgerCheckResult
{
    int month = 0;
    int year = 0;
    int ledgerRows = 0; // of shifts 1 to 4
    int days = 0;       // of the month
    QList<LedgerDifference> differences;

    bool agrees() const { return differences.isEmpty(); }
    QString summary() const;
    // "Сверка табеля — Март 2024"
    QString caption() const;
    static QStringList columnTitles();
};

// Compares a month's hours ledger with the production records by the day recompute's rule:
// shifts 1 to 4, every closed mark, each day column the sum of that day's hours. One
// read-only statement, so it sees one moment of both tables and holds up no save.
class LedgerCheck
{
public:
    explicit LedgerCheck(Database& database);

    LedgerCheckResult run(int month, int year);

    static QString statement();

private:
    Database& m_database;
};

} // namespace tabel
