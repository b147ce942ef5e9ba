#pragma once

#include "production_log/ProductionRecordSaver.h"
#include "production_log/RecordPricing.h"
#include "production_log/WorkingDay.h"

#include <QString>
#include <optional>

namespace tabel {

// The columns of the shift entry grid, left to right as a line of the paper sheet is typed.
enum ShiftEntryColumn {
    WorkerColumn,
    OperationColumn,
    QuantityColumn,
    RejectsColumn,
    HoursColumn,
    ColourColumn,
    PriceColumn,
    AmountColumn,
    ShiftEntryColumnCount
};

// An operation as the shift entry takes it: what the record stores and what its price is made of.
struct ShiftEntryOperation
{
    int productId = 0;
    int operationId = 0;
    QString text; // grade; type; kind
    PriceBasis basis;
};

// One line of the shift being entered: the texts as typed, the worker and operation taken.
struct ShiftEntryRow
{
    int workerId = 0;
    QString worker;
    std::optional<ShiftEntryOperation> operation;
    QString quantity;
    QString rejects = QStringLiteral("0");
    QString hours = QStringLiteral("0");
    QString colour;
    bool saved = false;

    bool paint() const { return operation && isPaintOperation(operation->text); }
    static bool isInput(int column) { return column >= WorkerColumn && column <= ColourColumn; }
    // "Цвет" is wanted only for paint operations.
    bool needsInput(int column) const { return isInput(column) && (column != ColourColumn || paint()); }
    // The next cell Enter goes to, or -1 after the last one: the row is then saved.
    int nextInput(int column) const;
    int previousInput(int column) const;
    // The first cell left empty, or -1.
    int firstEmpty() const;
    // Something beyond the worker carried over from the line above.
    bool typed() const;

    double price(const WorkingDay& day) const;
    // (quantity less rejects) times the stored price, 2 decimals; nothing until a quantity is typed.
    std::optional<double> amount(const WorkingDay& day) const;
    QString text(int column, const WorkingDay& day) const;
    ProductionRecord record(const WorkingDay& day) const;
};

} // namespace tabel
