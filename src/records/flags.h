// Which tests and tables a boring has: the two flag lists of header record 003.
#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

#include "platform/status.h"
#include "tables/field_reader.h"
#include "tables/snapshot.h"

namespace zk {

// Entries 1 to 15 used; 0 or 1. The caller clears entries 1 to 15 before each scan.
using FlagArray = std::array<int, 21>;

// The names, not blank, in columns 29 to 48 of the complete rows of a test table ("X6.TXT"
// or "X7.TXT"), each once: all the flags need of such a table, so that a run gathers them
// while it looks at the table's rows anyway.
class TestNames {
 public:
  // One complete row, its fields as they stand.
  void Add(const std::vector<RawField>& row);
  const std::set<std::string>& names() const { return names_; }

 private:
  std::set<std::string> names_;
};

// The names of both test tables of a boring.
struct TestTableNames {
  TestNames x6, x7;
};

// The names of a test table, read from it.
TestNames CollectTestNames(const TableFile& table);
// The names of a boring's two test tables, read from them.
TestTableNames CollectTestNames(const BoringSnapshot& boring);

// Test kinds named in columns 29 to 48 of "X6.TXT", against rows 1 to 15 of "L9.txt" in the
// code-table folder. Fault::CodeTable when "X6.TXT" is present but "L9.txt" is missing or
// shorter than 15 rows. x6 holds the names of "X6.TXT" as gathered before.
Status ScanTestKinds(const BoringSnapshot& boring, const TestNames& x6, FlagArray& flags);

// Presence of the optional tables and the test kinds of "X7.TXT" (x7: its names).
Status ScanTablePresence(const BoringSnapshot& boring, const TestNames& x7, FlagArray& flags);

// Entries first to last as one text of "0"/"1" digits.
std::string FlagDigits(const FlagArray& flags, int first, int last);

}  // namespace zk
