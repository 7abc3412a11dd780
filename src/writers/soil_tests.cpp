#include "writers/soil_tests.h"

#include <cmath>

#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"
#include "writers/formatters.h"
#include "writers/table_block.h"

namespace zk {
namespace {

using QXCOMSUB::FormatExponent;
using QXCOMSUB::FormatFixedPoint;
using QXCOMSUB::IsBlankText;

// The supplement "X100A.txt": its n-th row belongs to the n-th soil test. It is read field by
// field, so a short last row still gives the fields it has; once it runs out, later soil
// tests have no supplement.
class Supplement {
 public:
  Status Open(const TableFile& table) {
    if (!table.IsPlainFile()) return Status::Ok();
    Status s = reader_.Open(table);
    available_ = static_cast<bool>(s);
    return s;
  }

  Row NextRow() {
    std::vector<std::string> fields(Layout(TableId::X100A).fields);
    if (available_ && !reader_.AtEnd()) {
      for (auto& field : fields) {
        if (reader_.AtEnd()) {
          available_ = false;
          break;
        }
        field = reader_.ReadField();
      }
    }
    return Row(std::move(fields));
  }

 private:
  TableReader reader_;
  bool available_ = false;
};

// Soil test fields 4 to 7: right("00" & number text, 2), taken as it falls for decimals.
std::string TwoCharacters(const std::string& column) {
  if (IsBlankText(column)) return "";
  return QXCOMSUB::Right("00" + QXCOMSUB::NumberText(QXCOMSUB::ParseNumber(column)), 2);
}

// Field 13: from 1000 on the whole value's last four characters and a point, as the field
// has room for no more; below, fixed point 3.1.
std::string SampleValue(const std::string& column) {
  if (IsBlankText(column)) return "";
  double value = QXCOMSUB::ParseNumber(column);
  if (value >= 1000) return QXCOMSUB::Right(QXCOMSUB::NumberText(std::trunc(value)), 4) + ".";
  return FormatFixedPoint(column, 3, 1);
}

std::string ExponentOf(const std::string& column) {
  if (IsBlankText(column)) return "";
  return FormatExponent(QXCOMSUB::ToSingle(QXCOMSUB::ParseNumber(column)), 2, 1);
}

// Field 16: the test condition as its one-digit code. A blank column writes nothing and keeps
// the code; any other column writes the code kept from the last recognised condition.
std::string TestKindCode(const std::string& column, std::string& kept) {
  if (IsBlankText(column)) return "";
  static const std::pair<const char*, const char*> kKinds[] = {
      {"ＵＵ", "1"}, {"ＣＵ", "2"}, {"ＵＣ", "3"}, {"ＣＤ", "4"}};
  std::string kind = QXCOMSUB::TrimSpaces(column);
  for (const auto& [text, code] : kKinds)
    if (kind == text) kept = code;
  return kept;
}

Fields SoilTestFields(const Row& a, const Row& b, std::string& keptKind) {
  std::string angle = QXCOMSUB::FormatDegreesMinutes(a[32]);
  return {
      QXCOMSUB::Right(b[2], 1),
      FixedPointOf(a, 2, 3, 2),
      FixedPointOf(a, 3, 3, 2),
      TwoCharacters(a[14]),
      TwoCharacters(a[15]),
      TwoCharacters(a[16]),
      TwoCharacters(a[17]),
      FixedPointOf(a, 24, 1, 3),
      FixedPointOf(a, 26, 4, 1),
      FixedPointOf(a, 25, 1, 3),
      FixedPointOf(a, 27, 1, 3),
      FixedPointOf(a, 21, 3, 1),
      SampleValue(a[22]),
      FixedPointOf(a, 29, 2, 2),
      FormatFixedPoint(b[3], 2, 1),
      TestKindCode(a[30], keptKind),
      FixedPointOf(a, 31, 2, 3),
      angle.substr(0, 2),
      QXCOMSUB::Right(angle, 2),
      FormatFixedPoint(b[4], 2, 2),
      FormatFixedPoint(b[5], 1, 2),
      ExponentOf(b[6]),
      ExponentOf(b[7]),
  };
}

}  // namespace

Status WriteSoilTestRecords(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                            FindingSink& findings) {
  Supplement supplement;
  std::string keptKind;
  TableBlock block{"D", &boring.Table(TableId::X100), Layout(TableId::X100).fields, {}, {}, &findings};
  block.beforeRows = [&](Fields&) { return supplement.Open(boring.Table(TableId::X100A)); };
  auto fields = [&](const Row& a) { return SoilTestFields(a, supplement.NextRow(), keptKind); };
  if (Status s = WriteTableBlock(out, boringIdField, block, fields); !s) return s;
  return out.status();
}

}  // namespace zk
