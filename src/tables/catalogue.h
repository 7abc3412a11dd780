// Every table a conversion reads, once: where it lies, how its fields are grouped, which
// columns are numbers or depths, how many rows the exchange file can number, and which block
// of the exchange file it feeds. The run, the blocks, the flags, the findings and the tests
// all take a table's layout from here.
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace zk {

// Title tables; layers, colours, penetration tests, test kinds; soil tests and their
// supplement; further test tables (L202 only for its presence); the measurement file list; the
// record of the last conversion of the boring; code tables.
enum class TableId {
  // clang-format off
  Titl01, Titl02, Titl04,
  X1, X3, X5, X6, X7,
  X100, X100A,
  L209, L204, L201, L202,
  PCNT,
  BorlingNo,
  L9, Kishitu,
  // clang-format on
};

enum class TableFolder { Boring, CodeTables };

enum class TableShape {
  Stream,         // fields one after another, field n into slot n (title tables, "BORLING.NO")
  Rows,           // rows of fieldsPerRow fields; a last row cut short is dropped
  RowsKeptShort,  // rows read field by field: a last row cut short still gives its fields
  PresenceOnly,   // only whether it is there counts
};

struct TableLayout {
  TableId id;
  const char* name;  // as the boring's tables are written ("X1.TXT"); matched in any letter case
  TableFolder folder;
  TableShape shape;
  std::size_t fields;                  // fields per row; for a stream, how many fields it holds (more are ignored)
  std::span<const int> numberColumns;  // columns (or stream positions) read as numbers
  int depthColumn;                     // a depth that should increase from row to row, 0 for none
  long rowLimit;                       // rows the block can number (three digits), 0 for no limit
  const char* block;                   // the record keys of the exchange file it feeds
  bool looked;                         // its fields are looked at for findings (numbers, rows cut short...)
  int rowNumberColumn;                 // the row's own number (1, 2, 3...), 0 for none
  bool rowsWrap;                       // beyond rowLimit rows are still written, their numbers from 000 again
};

// Every table, boring tables first, in the order a check reports them.
std::span<const TableLayout> AllTables();

const TableLayout& Layout(TableId id);

// The table's path: folder\name for a boring table, the code-table folder (ending in "\" as
// the setting writes it, or not) and the name for a code table.
std::string TablePath(const TableLayout& layout, const std::string& boringFolder, const std::string& codeFolder);

// The measurement files that "PCNT.txt" names are read as streams of this many fields.
inline constexpr std::size_t kMeasurementHeadFields = 6;    // name & ".HED"
inline constexpr std::size_t kMeasurementValueFields = 10;  // name & ".TMP"

}  // namespace zk
