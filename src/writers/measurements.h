#pragma once

#include <functional>
#include <string>
#include <vector>

#include "exchange/exchange_file.h"
#include "platform/status.h"
#include "tables/findings.h"
#include "tables/snapshot.h"

namespace zk {

// One row of "PCNT.txt" and what became of its measurement file pair.
struct MeasurementPair {
  enum class Skip { None, NotInFolder, MissingFile, MissingValue };
  std::string name;   // column 2 without surrounding spaces
  long line = 0;      // where the name stands in "PCNT.txt"
  std::string start;  // ".HED" field 5
  std::string end;    // ".HED" field 6
  std::string value;  // ".TMP" field 10
  Skip skip = Skip::None;
};

// Hands every complete row of "PCNT.txt" with its pair's values to visit, in list order, one
// at a time (a list of millions of rows is never held); a pair is used only when its skip is
// None. A name holding "\", "/" or ":" names no file of the boring folder.
Status ForEachMeasurementPair(const BoringSnapshot& boring, const std::function<void(MeasurementPair&)>& visit);

// Appends the block "F" from the measurement files listed in "PCNT.txt" to the exchange file. boringIdField is the
// quoted boring id.
Status WriteMeasurementFileRecords(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                                   FindingSink& findings);

}  // namespace zk
