#pragma once

#include <QString>

namespace tabel::statements {

QString workers();
QString products();
QString operationTypes();
// One row per operation that has norm entries: its base price (the lowest) and entry count.
QString operations();
// The records of one shift (1..4) of :data whose closed mark differs from :ok.
QString dailyList(int shift);
// Ledger rows of one shift (1..3) for :mnth and :yea, with the month's total.
QString timesheetRows(int shift);

} // namespace tabel::statements
