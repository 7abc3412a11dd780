#pragma once

#include <string>

#include "conversion/exchange_file.h"
#include "platform/status.h"

namespace zk {

// Appends the blocks "G" and "H" from "L201.txt" to the exchange file. source is the boring folder (no final "\"),
// boringIdField the quoted boring id.
Status WriteL201Records(ExchangeFile& out, const std::string& source, const std::string& boringIdField);

}  // namespace zk
