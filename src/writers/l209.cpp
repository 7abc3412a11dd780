#include "writers/l209.h"

#include "tables/table_access.h"
#include "writers/formatters.h"
#include "writers/table_block.h"

namespace zk {
namespace {

constexpr std::size_t kL209Fields = 15;

Fields L209Fields(const Row& a) {
  using QXCOMSUB::FormatFixedPoint;
  return {FormatFixedPoint(a[3], 3, 2), FormatFixedPoint(a[7], 2, 2), FormatFixedPoint(a[8], 2, 2),
          FormatFixedPoint(a[5], 5, 2)};
}

}  // namespace

Status WriteL209Records(ExchangeFile& out, const std::string& source, const std::string& boringIdField) {
  TableBlock block{"E", source + "\\L209.txt", kL209Fields, {}, {}};
  long count = 0;
  if (Status s = FCOPYSUB::CountRows(block.table, kL209Fields, count); !s) return s;
  if (count < 1) return out.status();
  // The table code is column 4 of the first row, once for the whole block; blank means 99.
  std::string code;
  if (Status s = ReadFirstRowColumn(block.table, 4, code); !s) return s;
  block.headerFields = {TwoDigitCode(QXCOMSUB::IsBlankText(code) ? "99" : code)};
  return WriteTableBlock(out, boringIdField, block, L209Fields);
}

}  // namespace zk
