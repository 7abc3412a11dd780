// The conversion of one boring folder into one exchange file.
#pragma once

#include <string>

#include "conversion/window_ops.h"

namespace zk {

struct RunResult {
  bool converted = false;        // the exchange file was written and recorded
  std::string exchangeFilePath;  // drive form, when converted
};

// Reads the two path texts through ui, checks them, and converts. Every stop has told the
// user why before it returns. Set once per program: the code-table folder (settings.h).
RunResult RunConversion(WindowOps& ui);

// Set to 1 after a run that converted; the window clears its status line on the next mouse
// move and sets it back to 0.
extern int gCompletionFlag;

}  // namespace zk
