#pragma once

#include <string>

#include "exchange/exchange_file.h"
#include "platform/status.h"
#include "tables/findings.h"
#include "tables/snapshot.h"

namespace zk {

// Appends the block "F" from "L204.txt" to the exchange file. boringIdField is the quoted boring id.
Status WriteL204Records(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                        FindingSink& findings);

}  // namespace zk
