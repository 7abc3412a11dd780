// The three title tables of a boring: titles, coordinates, elevation.
#pragma once

#include <string>
#include <vector>

#include "platform/status.h"

namespace zk {

// Slots 1 to capacity; slot 0 unused. A missing file or entry is the empty text.
struct TitleTables {
  std::vector<std::string> t1 = std::vector<std::string>(24);  // "titl01.txt", 23 slots
  std::vector<std::string> t2 = std::vector<std::string>(42);  // "titl02.txt", 41 slots
  std::vector<std::string> t4 = std::vector<std::string>(15);  // "titl04.txt", 14 slots
};

namespace FCOPYSUB {

// Fills the arrays from the folder's title tables, field n into slot n; fields beyond an
// array's capacity are ignored. A missing title file leaves its array as it is.
Status LoadTitleTables(const std::string& folder, TitleTables& titles);

}  // namespace FCOPYSUB
}  // namespace zk
