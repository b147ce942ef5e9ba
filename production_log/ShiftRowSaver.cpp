#include "production_log/ShiftRowSaver.h"

#include "common/Messages.h"
#include "db/DataModule.h"

namespace tabel {

namespace {
// The saver tells the user through a message box; the grid shows the same words in its line.
class KeptMessage : public Messages
{
public:
    MessageAnswer show(const Message& message) override
    {
        text = message.text;
        return MessageAnswer::Ok;
    }
    QString text;
};

int faultColumn(ProductionRecordSaver::Fault fault, const ShiftEntryRow& row)
{
    using Fault = ProductionRecordSaver::Fault;
    switch (fault) {
    case Fault::Rejects:
        return RejectsColumn;
    case Fault::Hours:
    case Fault::DayHours:
        return HoursColumn;
    case Fault::Worker:
        return WorkerColumn;
    case Fault::Duplicate:
        // Another colour is what makes a second paint line of the same operation.
        return row.paint() ? ColourColumn : OperationColumn;
    case Fault::Operation:
    case Fault::None:
        break;
    }
    return OperationColumn;
}
} // namespace

ShiftRowSaver::ShiftRowSaver(DataModule& dataModule, const Clock& clock, const WorkingDay& day)
    : m_dataModule(dataModule), m_clock(clock), m_day(day)
{
}

ShiftRowSaver::Outcome ShiftRowSaver::save(const ShiftEntryRow& row)
{
    if (const int empty = row.firstEmpty(); empty >= 0)
        return {false, empty, QStringLiteral("Все поля должны быть заполнены!"), false};
    KeptMessage refusal;
    ProductionRecordSaver saver(m_dataModule, refusal, m_clock);
    if (!saver.add(row.record(m_day))) {
        const ProductionRecordSaver::Fault fault = saver.lastFault();
        return {false, faultColumn(fault, row), refusal.text,
                fault == ProductionRecordSaver::Fault::Worker ||
                    fault == ProductionRecordSaver::Fault::Operation};
    }
    // The time sheet reads the ledger afresh the next time it is shown, as after the editor.
    for (int shift = 1; shift <= 3; ++shift)
        m_dataModule.timesheetRows(shift).close();
    return {true, -1, QString(), false};
}

} // namespace tabel
