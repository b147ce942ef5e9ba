#pragma once

#include "production_log/RecordPricing.h"

namespace tabel {

class Database;

// What an operation's price is made of, as the norms stand now.
PriceBasis readPriceBasis(const Database& database, int operationId);

} // namespace tabel
