#include "writers/table_block.h"

#include <algorithm>
#include <cmath>

#include "tables/field_reader.h"
#include "tables/numbers.h"
#include "writers/formatters.h"

namespace zk {

const std::string& Row::operator[](std::size_t column) const {
  static const std::string kNone;
  return column >= 1 && column <= fields_.size() ? fields_[column - 1] : kNone;
}

std::string Row::CutMessage(const Cut& cut) const {
  return std::to_string(cut.column) + " 番目の項目「" + Excerpt((*this)[cut.column]) + "」は「" + cut.written +
         "」と書かれます (項目の幅に収まりません)";
}

namespace {

// The whole part, as the fixed-point text writes it, has more than digits digits: measured on
// the value, without writing it again. A value below 1 and what is no finite number are
// written "0"; beyond 14 digits the written form (15 significant digits) decides.
bool WholePartWider(double whole, int digits) {
  if (digits < 1) return true;
  if (!std::isfinite(whole)) return false;
  if (digits > 14) return QXCOMSUB::PlainDecimalText(whole).size() > static_cast<std::size_t>(digits);
  double limit = 1;
  for (int i = 0; i < digits; ++i) limit *= 10;  // exact up to 10^22
  return whole >= limit;
}

}  // namespace

std::string FixedPointOf(const Row& row, std::size_t column, int intDigits, int decDigits) {
  const std::string& text = row[column];
  std::string written = QXCOMSUB::FormatFixedPoint(text, intDigits, decDigits);
  if (QXCOMSUB::IsBlankText(text)) return written;
  double value = QXCOMSUB::ParseNumber(text);
  if (value < 0 || WholePartWider(std::trunc(std::fabs(value)), intDigits)) row.TellCut(column, written);
  return written;
}

Status WriteBlock(ExchangeFile& out, std::string_view key, const std::string& boringIdField, long count,
                  const Fields& headerFields, const NextRecord& next) {
  if (count < 1) return out.status();
  Fields header{QXCOMSUB::Counter3(std::min(count, kMaxBlockRows))};
  header.insert(header.end(), headerFields.begin(), headerFields.end());
  out.WriteRecord(key, boringIdField, "000", header);
  Fields fields;
  for (long row = 1; row <= kMaxBlockRows && next(fields); ++row)
    out.WriteRecord(key, boringIdField, QXCOMSUB::Counter3(row), fields);
  return out.status();
}

Status WriteTableBlock(ExchangeFile& out, const std::string& boringIdField, const TableBlock& block,
                       const RowFields& fieldsOf) {
  if (!block.table->IsPlainFile()) return out.status();  // a missing table writes nothing
  TableReader reader;
  if (Status s = reader.Open(*block.table); !s) return s;
  Row row;
  // A last row cut short by the end of the table is not a row: counted nowhere, never written.
  auto readRow = [&] {
    row.line = reader.Line();
    return !reader.AtEnd() && reader.ReadRow(block.fieldsPerRow, row.fields());
  };
  if (!readRow()) return out.status();
  Fields headerFields = block.headerFields;
  if (block.beforeRows)
    if (Status s = block.beforeRows(headerFields); !s) return s;
  // The records are made first, in one pass over the table: the header before them tells how
  // many there are.
  std::vector<Fields> records;
  do {
    records.push_back(fieldsOf(row));
    if (block.findings)
      for (const Row::Cut& cut : row.cuts)
        block.findings->WarnWith(block.table->drivePath, row.line, "value-cut", [&] { return row.CutMessage(cut); });
    row.cuts.clear();
  } while (static_cast<long>(records.size()) < kMaxBlockRows && readRow());
  std::size_t written = 0;
  auto next = [&](Fields& fields) {
    if (written == records.size()) return false;
    fields = std::move(records[written++]);
    return true;
  };
  return WriteBlock(out, block.key, boringIdField, static_cast<long>(records.size()), headerFields, next);
}

Status ReadFirstRowColumn(const TableFile& table, std::size_t column, std::string& text) {
  text.clear();
  TableReader reader;
  if (Status s = reader.Open(table); !s) return s;
  std::vector<std::string> fields;
  reader.ReadRow(column, fields);
  text = fields[column - 1];
  return Status::Ok();
}

std::string TwoDigitCode(std::string_view text) {
  return QXCOMSUB::Right("00" + QXCOMSUB::NumberText(QXCOMSUB::ParseNumber(text)), 2);
}

}  // namespace zk
