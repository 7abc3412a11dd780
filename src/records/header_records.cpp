#include "records/header_records.h"

#include <algorithm>
#include <cmath>

#include "platform/gcc_warnings.h"
#include "support/path_checks.h"
#include "support/text_bytes.h"
#include "tables/numbers.h"

namespace zk {
namespace {

using QXCOMSUB::IntText;
using QXCOMSUB::NumberText;
using QXCOMSUB::ParseNumber;
using QXCOMSUB::TrimSpaces;
using QXCOMSUB::ZeroPad;

// GCC 12 warns -Wrestrict on a concatenation below, falsely (platform/gcc_warnings.h).
ZK_GCC12_RESTRICT_FALSE_POSITIVE_BEGIN
// A digit field of the title data, "*" and zeros when it holds no number.
std::string CodeOrStars(const std::string& text, std::size_t width) {
  std::string field = ZeroPad(NumberText(ParseNumber(text)), width);
  if (ParseNumber(field) == 0) return "*" + std::string(width - 1, '0');
  return field;
}
ZK_GCC12_RESTRICT_FALSE_POSITIVE_END

// The ground elevation reduced to the common datum by the elevation datum code.
double ReducedElevation(const std::string& datumCode, const std::string& elevation) {
  double e = ParseNumber(elevation);
  double code = ParseNumber(datumCode);
  if (code == 2) return e - 1.1344;
  if (code == 8) return e - 0.8402;
  if (code == 3) return e - 0.8745;
  return e;
}

// The direction of an inclined boring; 0 and 180 (straight down) leave the field empty.
std::string DirectionText(const std::string& text) {
  double a = ParseNumber(text);
  if (a == 0 || a == 180) return "";
  return ZeroPad(IntText(a), 3);
}

std::string GroundClassText(const std::string& text) {
  double b = ParseNumber(text);
  return b >= 1 && b <= 4 ? NumberText(b) : "4";
}

// Record 003: position, elevation, depths and the two flag lists.
Status WritePositionRecord(ExchangeFile& out, const TitleTables& titles, const BoringSnapshot& boring,
                           const std::string& boringId, FlagArray& flags, const TestTableNames& testNames) {
  const auto& t1 = titles.t1;
  const auto& t2 = titles.t2;
  const auto& t4 = titles.t4;
  float depth = 0;
  if (Status s = FNOTHER::MaxLayerDepth(boring.Table(TableId::X1), depth); !s) return s;

  for (int i = 1; i <= 15; ++i) flags[static_cast<std::size_t>(i)] = 0;
  if (Status s = ScanTestKinds(boring, testNames.x6, flags); !s) return s;
  std::string testKinds = FlagDigits(flags, 1, 15);
  for (int i = 1; i <= 15; ++i) flags[static_cast<std::size_t>(i)] = 0;
  if (Status s = ScanTablePresence(boring, testNames.x7, flags); !s) return s;
  std::string tables = FlagDigits(flags, 1, 9);

  out.WriteRecord(
      "A", boringId, "003",
      {AngleText(t1[11], 2, t1[12], t1[13]), AngleText(t1[14], 3, t1[15], t1[16]),
       FixedText(ReducedElevation(t2[17], t2[19]), 4), t4[6] + t4[7], t4[8], ZeroPad(IntText(ParseNumber(t2[25])), 3),
       DirectionText(t2[26]), GroundClassText(t2[31]), FixedText(static_cast<double>(depth), 3),
       FixedText(std::fabs(ParseNumber(t2[23])), 3), testKinds, tables});
  return out.status();
}

}  // namespace

std::string AngleText(const std::string& degrees, std::size_t degreeDigits, const std::string& minutes,
                      const std::string& seconds) {
  return ZeroPad(TrimSpaces(degrees), degreeDigits) + ZeroPad(TrimSpaces(minutes), 2) +
         ZeroPad(IntText(ParseNumber(seconds) * 10), 3);
}

// GCC 12 warns -Wrestrict on a concatenation below, falsely (platform/gcc_warnings.h).
ZK_GCC12_RESTRICT_FALSE_POSITIVE_BEGIN
std::string FixedText(double value, std::size_t width) {
  if (!std::isfinite(value)) value = 0;
  double magnitude = std::fabs(value);
  std::string whole = (value < 0 ? "-" : "") + IntText(magnitude);
  // The same guard as a depth text's: a value held just below its written decimals (11.20 as
  // 11.1999..., 10.7 in single precision as 10.6999998) keeps its written centimetres.
  double centimetres = std::min(99.0, std::trunc((magnitude - std::trunc(magnitude) + 0.001) * 100));
  std::string cents = ZeroPad(IntText(centimetres), 2);
  return ZeroPad(whole, width) + "." + cents;
}
ZK_GCC12_RESTRICT_FALSE_POSITIVE_END

Status WriteHeaderRecords(ExchangeFile& out, const TitleTables& titles, const BoringSnapshot& boring,
                          const std::string& meshCode, long sequence, std::string& boringIdField, FlagArray& flags,
                          const TestTableNames& testNames) {
  const auto& t1 = titles.t1;
  const auto& t4 = titles.t4;
  boringIdField = "\"" + meshCode + ZeroPad(IntText(static_cast<double>(sequence)), 3) + "\"";
  const std::string& id = boringIdField;

  out.WriteRecord("A", id, "000");
  out.WriteRecord("A", id, "001", {t1[1]});
  out.WriteRecord("A", id, "002",
                  {t1[10], CodeOrStars(t4[1], 5), CodeOrStars(t4[2], 4), NumberText(ParseNumber(t4[4])),
                   ZeroPad(t1[4], 4) + ZeroPad(t4[5], 6)});
  if (!out.status()) return out.status();
  if (Status s = WritePositionRecord(out, titles, boring, id, flags, testNames); !s) return s;
  out.WriteRecord("A", id, "004",
                  {t4[9], t4[10], t4[11], t4[12], t4[13], t4[14], ZeroPad(IntText(ParseNumber(t1[7])), 4),
                   ZeroPad(IntText(ParseNumber(t1[8])), 2), TrimSpaces(t1[18])});
  return out.status();
}

}  // namespace zk
