#pragma once

#include <string>

#include "exchange/exchange_file.h"
#include "platform/status.h"
#include "tables/findings.h"
#include "tables/snapshot.h"

namespace zk {

// Fields 5 and 6 of a penetration test record: the blow count normalised to two digits and
// the penetration length ("*" when the count is 99 or more, empty when it is below 50).
struct BlowCountFields {
  std::string blowCount;
  std::string penetration;
};

// The two fields of a test with blow count n over a penetration of p centimetres. A count
// below 50 over less than 30 cm is scaled to 30 cm and rounded up; 50 blows or more, or no
// penetration given, round to the nearest count (halves to even). A count too large for any
// integer is simply 99 or more.
BlowCountFields NormaliseBlowCount(double n, double p);

// Appends the penetration test block "C" from "X5.TXT" to the exchange file. boringIdField is the quoted boring id.
// A missing or 0-byte table writes nothing; a table with no complete row still writes the header with count 000.
Status WriteTestBlock(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                      FindingSink& findings);

}  // namespace zk
