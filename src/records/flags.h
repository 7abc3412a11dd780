// Which tests and tables a boring has: the two flag lists of header record 003.
#pragma once

#include <array>
#include <string>

#include "platform/status.h"

namespace zk {

// Entries 1 to 15 used; 0 or 1.
using FlagArray = std::array<int, 21>;

// Test kinds named in columns 29 to 48 of "X6.TXT", against rows 1 to 15 of "L9.txt" in the
// code-table folder (codeFolder ends with "\").
Status ScanTestKinds(const std::string& source, const std::string& codeFolder, FlagArray& flags);

// Presence of the optional tables and the test kinds of "X7.TXT".
Status ScanTablePresence(const std::string& source, FlagArray& flags);

}  // namespace zk
