#pragma once

#include <string>

#include "conversion/exchange_file.h"
#include "platform/status.h"

namespace zk {

// Appends the layer description block "B": layers and colour intervals merged by depth to the exchange file. source is the boring folder (no final "\"),
// boringIdField the quoted boring id.
Status WriteLayerBlock(ExchangeFile& out, const std::string& source, const std::string& boringIdField);

}  // namespace zk
