// The five header records "A" 000 to 004 of an exchange file.
#pragma once

#include <string>

#include "conversion/exchange_file.h"
#include "platform/status.h"
#include "records/flags.h"
#include "tables/title_tables.h"

namespace zk {

// Writes records 000 to 004. boringIdField receives the quoted boring id that every later
// record carries; flags is left holding the table presence flags.
Status WriteHeaderRecords(ExchangeFile& out, const TitleTables& titles, const std::string& source,
                          const std::string& meshCode, long sequence, std::string& boringIdField, FlagArray& flags);

}  // namespace zk
