#include "tables/catalogue.h"

#include <array>

namespace zk {
namespace {

constexpr int kTitl01Numbers[] = {7, 8, 11, 12, 13, 14, 15, 16};
constexpr int kTitl02Numbers[] = {17, 19, 23, 25, 26, 31};
constexpr int kTitl04Numbers[] = {1, 2, 4};
constexpr int kX1Numbers[] = {2, 3};
constexpr int kX3Numbers[] = {2};
constexpr int kX5Numbers[] = {2, 3, 5};
constexpr int kX100Numbers[] = {2, 3, 14, 15, 16, 17, 21, 22, 24, 25, 26, 27, 29, 31, 32};
constexpr int kX100ANumbers[] = {3, 4, 5, 6, 7};
constexpr int kL209Numbers[] = {3, 5, 7, 8};
constexpr int kL204Numbers[] = {2, 3, 4, 6};
constexpr int kL201Numbers[] = {2, 3, 6, 10};

using enum TableId;
using enum TableShape;
constexpr TableFolder kBoring = TableFolder::Boring;
constexpr TableFolder kCodes = TableFolder::CodeTables;

constexpr std::array<TableLayout, 18> kTables = {{
    {Titl01, "titl01.txt", kBoring, Stream, 23, kTitl01Numbers, 0, 0, "A", true, 0, false},
    {Titl02, "titl02.txt", kBoring, Stream, 41, kTitl02Numbers, 0, 0, "A", true, 0, false},
    {Titl04, "titl04.txt", kBoring, Stream, 14, kTitl04Numbers, 0, 0, "A", true, 0, false},
    {X1, "X1.TXT", kBoring, Rows, 4, kX1Numbers, 2, 0, "B", true, 1, false},
    {X3, "X3.TXT", kBoring, Rows, 7, kX3Numbers, 2, 0, "B", true, 1, false},
    {X5, "X5.TXT", kBoring, Rows, 11, kX5Numbers, 0, 999, "C", true, 1, true},
    {X6, "X6.TXT", kBoring, Rows, 68, {}, 0, 0, "A", true, 1, false},
    {X7, "X7.TXT", kBoring, Rows, 68, {}, 0, 0, "A", true, 1, false},
    {X100, "X100.txt", kBoring, Rows, 44, kX100Numbers, 0, 999, "D", true, 1, false},
    {X100A, "X100A.txt", kBoring, RowsKeptShort, 7, kX100ANumbers, 0, 0, "D", true, 1, false},
    {L209, "L209.txt", kBoring, Rows, 15, kL209Numbers, 0, 999, "E", true, 1, false},
    {L204, "L204.txt", kBoring, Rows, 15, kL204Numbers, 0, 999, "F", true, 1, false},
    {L201, "L201.txt", kBoring, Rows, 15, kL201Numbers, 0, 999, "GH", true, 1, false},
    {L202, "L202.txt", kBoring, PresenceOnly, 0, {}, 0, 0, "A", false, 0, false},
    {PCNT, "PCNT.txt", kBoring, Rows, 2, {}, 0, 0, "F", true, 1, false},
    {BorlingNo, "BORLING.NO", kBoring, Stream, 1, {}, 0, 0, "", false, 0, false},
    {L9, "L9.txt", kCodes, Rows, 2, {}, 0, 0, "A", false, 0, false},
    {Kishitu, "Kishitu.txt", kCodes, Rows, 6, {}, 0, 0, "B", false, 0, false},
}};

// Listed in the order of their ids, so that a layout is found by its id alone: the readers
// ask for one at every row.
constexpr bool InIdOrder() {
  for (std::size_t i = 0; i < kTables.size(); ++i)
    if (static_cast<std::size_t>(kTables[i].id) != i) return false;
  return true;
}
static_assert(InIdOrder(), "the catalogue lists every table in the order of its id");

}  // namespace

std::span<const TableLayout> AllTables() { return kTables; }

const TableLayout& Layout(TableId id) { return kTables[static_cast<std::size_t>(id)]; }

std::string TablePath(const TableLayout& layout, const std::string& boringFolder, const std::string& codeFolder) {
  if (layout.folder == TableFolder::Boring) return boringFolder + "\\" + layout.name;
  if (!codeFolder.empty() && codeFolder.back() != '\\') return codeFolder + "\\" + layout.name;
  return codeFolder + layout.name;
}

}  // namespace zk
