// Look before you send: what a conversion of a boring would refuse, and what it would quietly
// change. Reads every table exactly as a conversion does, and writes nothing anywhere.
#pragma once

#include <string>
#include <vector>

namespace zk {

enum class Severity { Error, Warning };

struct Finding {
  std::string file;   // the table's drive-form path
  long line = 0;      // 0 when no line applies
  Severity severity = Severity::Warning;
  std::string code;   // a short stable name of the kind of finding, for other tools
  std::string message;  // what is wrong (what the conversion will do with it)
};

struct BoringCheck {
  std::string folder;            // drive form
  std::string meshCode;          // as the conversion computes it ("" when the coordinates fail)
  std::string exchangeFileName;  // the name it would get
  // Grouped by table, in reading order. Of each kind (code) about one table the first 100,
  // then one finding on line 0 with the count of the rest.
  std::vector<Finding> findings;
  long errors = 0, warnings = 0;
};

// Checks one boring folder (drive form). destination (drive form, may be "") is the folder the
// exchange file would go to, for its name; without it the name is the one an empty folder gives.
BoringCheck CheckBoring(const std::string& folder, const std::string& destination);

}  // namespace zk
