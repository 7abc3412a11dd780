#pragma once

#include <string>

#include "conversion/exchange_file.h"
#include "platform/status.h"

namespace zk {

// Appends the soil test block "D" from "X100.txt" with "X100A.txt" to the exchange file. source is the boring folder
// (no final "\"), boringIdField the quoted boring id.
Status WriteSoilTestRecords(ExchangeFile& out, const std::string& source, const std::string& boringIdField);

}  // namespace zk
