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

// The code (s_code) of the cmn_contractor.person row aliased `person`, read as a whole number;
// NULL when it is not one (blanks around it allowed) or does not fit an integer. Other
// applications write these codes, so the expression never fails a statement.
QString personNumber(const QString& person);

// The persons that records and ledger rows belong to, as a relation (id, s_caption, worker_id)
// to put in a from list: a w_id belongs to every person whose number is that w_id, and only
// when no person has that number, to the person whose id it is.
QString recordPersons();

} // namespace tabel::statements
