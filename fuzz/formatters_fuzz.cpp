// The table writers' number formatters over any number text and any widths: the first byte
// picks the widths, the rest is the column's text.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "tables/numbers.h"
#include "writers/formatters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zk::QXCOMSUB;
  if (size == 0) return 0;
  int intDigits = data[0] & 0x07;  // 0 to 7
  int decDigits = (data[0] >> 3) & 0x07;
  int digits = (data[0] >> 6) + 1;  // 1 to 4 significant digits
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  // The short way to the plain decimal text agrees with the way through the double.
  if (auto shortText = ShortDecimalText(text)) ZK_FUZZ_CHECK(*shortText == PlainDecimalText(ParseNumber(text)));

  std::string fixed = FormatFixedPoint(text, intDigits, decDigits);
  if (!fixed.empty()) {
    ZK_FUZZ_CHECK(fixed.size() == static_cast<std::size_t>(intDigits + 1 + decDigits));
    ZK_FUZZ_CHECK(fixed[static_cast<std::size_t>(intDigits)] == '.');
  }
  std::string angle = FormatDegreesMinutes(text);
  ZK_FUZZ_CHECK(angle.empty() || angle.size() == 4);

  float value = ToSingle(ParseNumber(text));
  for (int expDigits : {1, 2}) {
    std::string e = FormatExponent(value, digits, expDigits);
    ZK_FUZZ_CHECK(!e.empty());
    ZK_FUZZ_CHECK(e.find("inf") == std::string::npos && e.find("nan") == std::string::npos);
    std::size_t at = e.find('E');
    ZK_FUZZ_CHECK(at != std::string::npos && at + 1 < e.size());
    ZK_FUZZ_CHECK(e[at + 1] == '+' || e[at + 1] == '-');
  }
  return 0;
}
