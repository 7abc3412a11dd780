#pragma once

#include <string>

#include "conversion/exchange_file.h"
#include "platform/status.h"

namespace zk {

// Appends the block "F" from the measurement files listed in "PCNT.txt" to the exchange file. source is the boring
// folder (no final "\"), boringIdField the quoted boring id.
Status WriteMeasurementFileRecords(ExchangeFile& out, const std::string& source, const std::string& boringIdField);

}  // namespace zk
