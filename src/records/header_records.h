// The five header records "A" 000 to 004 of an exchange file.
#pragma once

#include <cstddef>
#include <string>

#include "exchange/exchange_file.h"
#include "platform/status.h"
#include "records/flags.h"
#include "tables/snapshot.h"
#include "tables/title_tables.h"

namespace zk {

// Writes records 000 to 004. boringIdField receives the quoted boring id that every later
// record carries; flags is left holding the table presence flags. testNames: the names of the
// boring's test tables, as the look at its tables gathered them (or CollectTestNames).
Status WriteHeaderRecords(ExchangeFile& out, const TitleTables& titles, const BoringSnapshot& boring,
                          const std::string& meshCode, long sequence, std::string& boringIdField, FlagArray& flags,
                          const TestTableNames& testNames);

// An angle of record 003: degrees and minutes as written, zero-padded and cut to degreeDigits
// and 2 characters, the seconds in tenths cut (59.96 gives 599).
std::string AngleText(const std::string& degrees, std::size_t degreeDigits, const std::string& minutes,
                      const std::string& seconds);

// A value as width integer digits, "." and two decimals (III.CC), the centimetres cut, not
// rounded, after 0.001 is added as for a depth text: trunc((frac(|v|) + 0.001) x 100), at
// most 99 (11.20 gives 0011.20 at width 4, 12.345 gives 012.34 at width 3). A negative value keeps its minus sign
// inside the zero padding (-1.5 at width 4 is 00-1.50); the integer digits of a value too wide are cut to the last
// width.
std::string FixedText(double value, std::size_t width);

}  // namespace zk
