#include "records/test_block.h"

#include <cmath>
#include <limits>
#include <vector>

#include "records/depth_text.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"

namespace zk {
namespace {

struct TestRow {
  double depth;
  double blows;
  double penetration;
};

// Nearest whole number, halves to the even neighbour (50.5 gives 50, 51.5 gives 52).
double RoundHalfEven(double v) {
  double r = std::round(v);
  if (std::fabs(r - v) == 0.5 && std::fmod(r, 2.0) != 0) r -= std::copysign(1.0, v);
  return r;
}

// Right("00" & text, 2).
std::string TwoDigits(const std::string& text) { return QXCOMSUB::ZeroPad(text, 2); }

BlowCountFields CountFields(double count, double penetration) {
  if (count >= 99) return {"99", "*"};
  std::string blows = TwoDigits(QXCOMSUB::IntText(count));
  if (count < 50) return {blows, ""};
  return {blows, TwoDigits(QXCOMSUB::NumberText(penetration))};
}

Status ReadTests(const TableFile& table, std::vector<TestRow>& tests, FindingSink& findings) {
  TableReader reader;
  if (Status s = reader.Open(table); !s) return s;
  std::vector<std::string> f;
  for (long line = reader.Line(); !reader.AtEnd() && reader.ReadRow(Layout(TableId::X5).fields, f);
       line = reader.Line()) {
    tests.push_back({QXCOMSUB::ParseNumber(f[1]), QXCOMSUB::ParseNumber(f[2]), QXCOMSUB::ParseNumber(f[4])});
    if (DepthCut(tests.back().depth))
      findings.Warn(table.drivePath, line, "depth-cut",
                    "深度「" + Excerpt(f[1]) + "」は「" + DepthText(tests.back().depth) +
                        "」と書かれます (0 m から 999.99 m までしか書けません)");
  }
  return Status::Ok();
}

}  // namespace

BlowCountFields NormaliseBlowCount(double n, double p) {
  if (n <= 0) return {"00", TwoDigits(QXCOMSUB::NumberText(p))};
  if (n >= 50) return CountFields(RoundHalfEven(n), p);
  if (p <= 0) return CountFields(RoundHalfEven(n), 0);
  // The blows for 30 cm, held in single precision as the count has always been.
  double scaled = (30 / p) * n;
  if (scaled > std::numeric_limits<float>::max()) return {"99", "*"};
  float x = static_cast<float>(scaled);
  return CountFields(std::ceil(static_cast<double>(x)), p);
}

Status WriteTestBlock(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                      FindingSink& findings) {
  const TableFile& table = boring.Table(TableId::X5);
  if (!table.IsPresent()) return out.status();
  std::vector<TestRow> tests;
  if (Status s = ReadTests(table, tests, findings); !s) return s;
  out.WriteRecord("C", boringIdField, "000", {QXCOMSUB::Counter3(static_cast<long long>(tests.size()))});
  long long number = 0;
  for (const TestRow& test : tests) {
    BlowCountFields fields = NormaliseBlowCount(test.blows, test.penetration);
    out.WriteRecord("C", boringIdField, QXCOMSUB::Counter3(++number),
                    {DepthText(test.depth), fields.blowCount, fields.penetration});
  }
  return out.status();
}

}  // namespace zk
