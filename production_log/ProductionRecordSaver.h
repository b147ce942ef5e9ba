#pragma once

#include "db/Database.h"

#include <QDate>
#include <QString>
#include <optional>

namespace tabel {

class Clock;
class DataModule;
class Messages;

// One production record as the editor saves it.
struct ProductionRecord
{
    int workerId = 0;
    int productId = 0;
    int operationId = 0;
    double price = 0; // final price, 4 decimals
    int quantity = 0;
    int rejects = 0;
    QDate date;
    int shift = 1;
    int colour = 0;
    int hours = 0;
};

// Saves a production record: the duplicate check, the insert or update and the hours
// ledger of its day land together in one transaction, or nothing does.
class ProductionRecordSaver
{
public:
    static constexpr int maxDayHours = 24;
    ProductionRecordSaver(DataModule& dataModule, Messages& messages, const Clock& clock);

    // What the last refusal was about, so that a window can put the caret where the fault is.
    enum class Fault { None, Rejects, Hours, DayHours, Worker, Operation, Duplicate };

    // False when the record was refused (the user has been told why); nothing is written.
    bool add(const ProductionRecord& record);
    // Also recomputes the day the record left when it moves to another worker, day or shift.
    bool change(int recordId, const ProductionRecord& record);
    Fault lastFault() const { return m_lastFault; }

private:
    bool refused(const ProductionRecord& record, std::optional<int> excludedId);
    // Within the save's transaction: why the worker, operation or product can no longer be
    // used, or nothing when all three still exist.
    QString goneReference(const ProductionRecord& record, Fault& fault);
    bool refuse(Fault fault, const QString& text);
    SqlParams recordParams(const ProductionRecord& record) const;

    DataModule& m_dataModule;
    Messages& m_messages;
    const Clock& m_clock;
    Fault m_lastFault = Fault::None;
};

} // namespace tabel
