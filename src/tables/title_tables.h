// The three title tables of a boring: titles, coordinates, elevation.
#pragma once

#include <string>
#include <vector>

#include "platform/status.h"
#include "tables/snapshot.h"

namespace zk {

// Slots 1 to capacity; slot 0 unused. A missing file or entry is the empty text.
struct TitleTables {
  std::vector<std::string> t1 = std::vector<std::string>(Layout(TableId::Titl01).fields + 1);  // "titl01.txt"
  std::vector<std::string> t2 = std::vector<std::string>(Layout(TableId::Titl02).fields + 1);  // "titl02.txt"
  std::vector<std::string> t4 = std::vector<std::string>(Layout(TableId::Titl04).fields + 1);  // "titl04.txt"
};

namespace FCOPYSUB {

// Fills the arrays from the boring's title tables, field n into slot n; fields beyond an
// array's capacity are ignored. A missing title file leaves its array as it is.
Status LoadTitleTables(const BoringSnapshot& boring, TitleTables& titles);

}  // namespace FCOPYSUB
}  // namespace zk
