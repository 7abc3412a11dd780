#include "writers/l201.h"

#include <cmath>

#include "tables/numbers.h"
#include "writers/formatters.h"
#include "writers/table_block.h"

namespace zk {
namespace {

// The whole value as four digits: right("0000" & number text, 4); a longer value loses its
// first digits, which is told to the row.
std::string FourDigits(const Row& a, std::size_t column) {
  if (QXCOMSUB::IsBlankText(a[column])) return "";
  std::string whole = QXCOMSUB::NumberText(std::trunc(QXCOMSUB::ParseNumber(a[column])));
  std::string written = QXCOMSUB::Right("0000" + whole, 4);
  if (whole.size() > 4) a.TellCut(column, written);
  return written;
}

Fields L201Fields(const Row& a, std::size_t valueColumn) {
  using QXCOMSUB::FormatFixedPoint;
  using QXCOMSUB::ParseNumber;
  std::string end;
  if (!QXCOMSUB::IsBlankText(a[2]))
    end = FormatFixedPoint(QXCOMSUB::NumberText(ParseNumber(a[2]) + ParseNumber(a[3])), 3, 2);
  return {FixedPointOf(a, 3, 3, 2), end, FourDigits(a, valueColumn)};
}

}  // namespace

Status WriteL201Records(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                        FindingSink& findings) {
  // The two blocks share the table and the interval; "G" takes its value from column 6,
  // "H" from column 10.
  const std::pair<std::string_view, std::size_t> kBlocks[] = {{"G", 6}, {"H", 10}};
  for (const auto& [key, valueColumn] : kBlocks) {
    TableBlock block{key, &boring.Table(TableId::L201), Layout(TableId::L201).fields, {"10"}, {}, &findings};
    auto fields = [column = valueColumn](const Row& a) { return L201Fields(a, column); };
    if (Status s = WriteTableBlock(out, boringIdField, block, fields); !s) return s;
  }
  return out.status();
}

}  // namespace zk
