#pragma once

#include <string>

#include "conversion/exchange_file.h"
#include "platform/status.h"

namespace zk {

// Appends the penetration test block "C" from "X5.TXT" to the exchange file. source is the boring folder (no final "\"),
// boringIdField the quoted boring id.
Status WriteTestBlock(ExchangeFile& out, const std::string& source, const std::string& boringIdField);

}  // namespace zk
