// Which tests and tables a boring has: the two flag lists of header record 003.
#pragma once

#include <array>
#include <string>

#include "platform/status.h"
#include "tables/snapshot.h"

namespace zk {

// Entries 1 to 15 used; 0 or 1. The caller clears entries 1 to 15 before each scan.
using FlagArray = std::array<int, 21>;

// Test kinds named in columns 29 to 48 of "X6.TXT", against rows 1 to 15 of "L9.txt" in the
// code-table folder. Fault::CodeTable when "X6.TXT" is present but "L9.txt" is missing or
// shorter than 15 rows.
Status ScanTestKinds(const BoringSnapshot& boring, FlagArray& flags);

// Presence of the optional tables and the test kinds of "X7.TXT".
Status ScanTablePresence(const BoringSnapshot& boring, FlagArray& flags);

// Entries first to last as one text of "0"/"1" digits.
std::string FlagDigits(const FlagArray& flags, int first, int last);

}  // namespace zk
