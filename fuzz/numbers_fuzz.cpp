// The lenient parse, number text and the grid square code over any text.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "conversion/numbering.h"
#include "fuzz_support.h"
#include "tables/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zk;
  using namespace zk::QXCOMSUB;
  std::string_view text(reinterpret_cast<const char*>(data), size);

  double value = ParseNumber(text);
  ZK_FUZZ_CHECK(std::isfinite(value));
  ZK_FUZZ_CHECK(value == 0 || HasLeadingNumber(text));

  // The quick readings and printings agree with the C library's.
  std::string copy(text);
  if (!copy.empty() && copy.find_first_not_of("0123456789+-.eE ") == std::string::npos) {
    char* end = nullptr;
    double reference = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str() + copy.size()) ZK_FUZZ_CHECK(value == (std::isinf(reference) ? 0 : reference));
  }
  char printed[400];
  std::snprintf(printed, sizeof printed, "%.15G", value);
  ZK_FUZZ_CHECK(value == 0 || NumberText(value) == printed);
  std::snprintf(printed, sizeof printed, "%.7G", static_cast<double>(ToSingle(value)));
  ZK_FUZZ_CHECK(ToSingle(value) == 0 || NumberText(ToSingle(value)) == printed);
  std::snprintf(printed, sizeof printed, "%.0f", std::trunc(value));
  ZK_FUZZ_CHECK(std::trunc(value) == 0 || IntText(value) == printed);

  std::string asDouble = NumberText(value);
  std::string asSingle = NumberText(ToSingle(value));
  ZK_FUZZ_CHECK(!asDouble.empty() && asDouble.size() <= 22);
  ZK_FUZZ_CHECK(!asSingle.empty() && asSingle.size() <= 14);
  // The text reads back as the number it came from, to its precision.
  double back = ParseNumber(asDouble);
  // (beyond 1.79769313486232E+308 the 15-digit text itself is past the double range)
  if (back == 0)
    ZK_FUZZ_CHECK(value == 0 || std::fabs(value) > 1.7976931348623e308 || std::fabs(value) < 1e-307);
  else
    ZK_FUZZ_CHECK(std::fabs(back - value) <= std::fabs(value) * 1e-14);
  ZK_FUZZ_CHECK(std::isfinite(ToSingle(value)));

  std::string whole = IntText(value);
  ZK_FUZZ_CHECK(!whole.empty() && whole.size() <= 310);
  ZK_FUZZ_CHECK(ZeroPad(whole, 4).size() == 4);
  ZK_FUZZ_CHECK(Counter3(static_cast<long long>(std::fmod(value, 1e15))).size() == 3);
  ZK_FUZZ_CHECK(Right(text, 3).size() <= text.size());

  // Six coordinate fields split at ",": the code is eight digits or none, whatever they hold.
  std::vector<std::string> parts(6);
  std::size_t k = 0;
  for (char c : text) {
    if (c == ',') {
      if (++k == parts.size()) break;
    } else {
      parts[k] += c;
    }
  }
  Coordinates where{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
  std::string code = ComputeMeshCode(where);
  ZK_FUZZ_CHECK(code.empty() || IsMeshCode(code));
  std::vector<std::string> listing{std::string(text.substr(0, 12)), code.substr(0, 8) + ".999"};
  long next = NextSequenceNumber(listing, code.substr(0, 8));
  ZK_FUZZ_CHECK(next >= 1 && next <= 1000);
  return 0;
}
