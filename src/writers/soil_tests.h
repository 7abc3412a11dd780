#pragma once

#include <string>

#include "exchange/exchange_file.h"
#include "platform/status.h"
#include "tables/findings.h"
#include "tables/snapshot.h"

namespace zk {

// Appends the soil test block "D" from "X100.txt" with "X100A.txt" to the exchange file. boringIdField is the quoted
// boring id.
Status WriteSoilTestRecords(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                            FindingSink& findings);

}  // namespace zk
