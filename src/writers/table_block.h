// The one shape of every table writer's block: a header record (key, boring id, "000", the
// row count capped at 999, maybe a table code), then one data record per row, numbered 001
// to 999. The writers differ only in the columns they take and how they format them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/exchange_file.h"
#include "platform/status.h"
#include "tables/findings.h"
#include "tables/snapshot.h"

namespace zk {

// The most data records a block holds: three-digit row numbers.
inline constexpr long kMaxBlockRows = 999;

// One row of a table, its columns counted from 1 as the column layouts count them.
class Row {
 public:
  Row() = default;
  explicit Row(std::vector<std::string> fields) : fields_(std::move(fields)) {}
  // Column n (from 1); "" for a column the row does not have.
  const std::string& operator[](std::size_t column) const;
  std::vector<std::string>& fields() { return fields_; }

  // Where the row begins in its table (1-based), 0 when not known.
  long line = 0;
  // What its fields could not hold as the table says (the column and what is written
  // instead), told once the row is written.
  struct Cut {
    std::size_t column;
    std::string written;
  };
  mutable std::vector<Cut> cuts;
  void TellCut(std::size_t column, const std::string& written) const { cuts.push_back({column, written}); }
  // The warning text of a cut.
  std::string CutMessage(const Cut& cut) const;

 private:
  std::vector<std::string> fields_;
};

// The fixed-point field of a column (FormatFixedPoint); a value too wide for intDigits, or a
// negative one, is told to the row.
std::string FixedPointOf(const Row& row, std::size_t column, int intDigits, int decDigits);

// The data fields of one record (after the row number).
using Fields = std::vector<std::string>;

// Gives the next record's data fields; false when there are no more.
using NextRecord = std::function<bool(Fields& fields)>;

// Writes a block of count records drawn from next: nothing at all when count is below 1,
// else the header (count capped at 999, then headerFields) and up to 999 data records.
Status WriteBlock(ExchangeFile& out, std::string_view key, const std::string& boringIdField, long count,
                  const Fields& headerFields, const NextRecord& next);

// A block with one record per row of a table.
struct TableBlock {
  std::string_view key;
  const TableFile* table = nullptr;  // as the boring was taken
  std::size_t fieldsPerRow = 0;
  Fields headerFields;  // after the count: the table code where the block has one
  // Called once the table is known to have rows, before anything is written: a supplement
  // table opens here, a table code read from the first row goes into the header fields.
  std::function<Status(Fields& headerFields)> beforeRows;
  // Where values cut to their fields are told (none: not told).
  FindingSink* findings = nullptr;
};

// The record fields of one table row.
using RowFields = std::function<Fields(const Row& row)>;

// Writes the block of the table's complete rows: a missing table or one without a complete
// row writes nothing. Faults of the reader come back as the Status.
Status WriteTableBlock(ExchangeFile& out, const std::string& boringIdField, const TableBlock& block,
                       const RowFields& fieldsOf);

// The first row's column, read from the start of the table ("" when the table has less).
Status ReadFirstRowColumn(const TableFile& table, std::size_t column, std::string& text);

// A two-digit table code: the lenient number of the text as number text without spaces,
// right("00" & it, 2): 8 gives 08, 123 gives 23, letters give 00.
std::string TwoDigitCode(std::string_view text);

}  // namespace zk
