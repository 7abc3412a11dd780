#include "writers/l209.h"

#include "writers/formatters.h"
#include "writers/table_block.h"

namespace zk {
namespace {

Fields L209Fields(const Row& a) {
  using QXCOMSUB::FormatFixedPoint;
  return {FixedPointOf(a, 3, 3, 2), FixedPointOf(a, 7, 2, 2), FixedPointOf(a, 8, 2, 2), FixedPointOf(a, 5, 5, 2)};
}

}  // namespace

Status WriteL209Records(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                        FindingSink& findings) {
  TableBlock block{"E", &boring.Table(TableId::L209), Layout(TableId::L209).fields, {}, {}, &findings};
  // The table code is column 4 of the first row, once for the whole block; blank means 99.
  block.beforeRows = [&block](Fields& header) {
    std::string code;
    if (Status s = ReadFirstRowColumn(*block.table, 4, code); !s) return s;
    header = {TwoDigitCode(QXCOMSUB::IsBlankText(code) ? "99" : code)};
    return Status::Ok();
  };
  return WriteTableBlock(out, boringIdField, block, L209Fields);
}

}  // namespace zk
