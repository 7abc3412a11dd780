#include "writers/l204.h"

#include "tables/numbers.h"
#include "writers/formatters.h"
#include "writers/table_block.h"

namespace zk {
namespace {

std::string Exponent32(double value) { return QXCOMSUB::FormatExponent(QXCOMSUB::ToSingle(value), 3, 2); }

// Code 08: the value is column 4. Code 99: it is column 6 times 10 (text that is no number
// counts as 0).
std::string L204Value(const Row& a, bool code08) {
  const std::string& column = code08 ? a[4] : a[6];
  if (QXCOMSUB::IsBlankText(column)) return "";
  double value = QXCOMSUB::ParseNumber(column);
  double written = code08 ? value : value * 10;
  std::string text = Exponent32(written);
  // Beyond the single-precision range the value is written as 0.
  if (written != 0 && QXCOMSUB::ToSingle(written) == 0) a.TellCut(code08 ? 4 : 6, text);
  return text;
}

Fields L204Fields(const Row& a, bool code08) {
  using QXCOMSUB::FormatFixedPoint;
  using QXCOMSUB::ParseNumber;
  double end = ParseNumber(a[2]) + ParseNumber(a[3]);
  return {FixedPointOf(a, 3, 3, 2), FormatFixedPoint(QXCOMSUB::NumberText(end), 3, 2), L204Value(a, code08)};
}

}  // namespace

Status WriteL204Records(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                        FindingSink& findings) {
  TableBlock block{"F", &boring.Table(TableId::L204), Layout(TableId::L204).fields, {}, {}, &findings};
  // Only whether the first row has a column 4 counts: it chooses the code and the value column.
  bool code08 = false;
  block.beforeRows = [&](Fields& header) {
    std::string first;
    if (Status s = ReadFirstRowColumn(*block.table, 4, first); !s) return s;
    code08 = !QXCOMSUB::IsBlankText(first);
    header = {TwoDigitCode(code08 ? "08" : "99")};
    return Status::Ok();
  };
  return WriteTableBlock(out, boringIdField, block, [&code08](const Row& a) { return L204Fields(a, code08); });
}

}  // namespace zk
