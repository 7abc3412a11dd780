#pragma once

#include <string>

#include "conversion/exchange_file.h"
#include "platform/status.h"

namespace zk {

// Appends the block "E" from "L209.txt" to the exchange file. source is the boring folder (no final "\"),
// boringIdField the quoted boring id.
Status WriteL209Records(ExchangeFile& out, const std::string& source, const std::string& boringIdField);

}  // namespace zk
