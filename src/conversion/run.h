// The conversion of one boring folder into one exchange file, and its check: the same run,
// writing nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "conversion/context.h"
#include "conversion/window_ops.h"
#include "tables/findings.h"

namespace zk {

// What one run found: the boring, its mesh code and file name, and every finding in the order
// the run met them (the look at the tables first, table by table, then the blocks).
struct BoringCheck {
  std::string folder;            // drive form
  std::string meshCode;          // as the conversion computes it ("" when the coordinates fail)
  std::string exchangeFileName;  // the name it gets (or would get)
  std::vector<Finding> findings;
  long errors = 0, warnings = 0;
  std::optional<Finding> told;  // the error that stopped the run, already told in its message
};

struct RunResult {
  bool converted = false;        // the exchange file was written and recorded
  std::string exchangeFilePath;  // drive form, when converted
  BoringCheck report;            // what the run found on the way
};

// Reads the two path texts through ui, checks them, and converts. Every stop has told the
// user why before it returns.
RunResult RunConversion(WindowOps& ui, ConversionContext& context);

// The same run over one boring folder (drive form), writing nothing anywhere and asking
// nothing: every stop is an error finding. destination (drive form, may be "") is the folder
// the exchange file would go to, for its name; without it the name is the one an empty
// folder gives.
BoringCheck CheckBoring(ConversionContext& context, const std::string& folder, const std::string& destination);

}  // namespace zk
