#pragma once

#include <string>

#include "exchange/exchange_file.h"
#include "platform/status.h"
#include "tables/findings.h"
#include "tables/snapshot.h"

namespace zk {

// Appends the blocks "G" and "H" from "L201.txt" to the exchange file. boringIdField is the quoted boring id.
Status WriteL201Records(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                        FindingSink& findings);

}  // namespace zk
