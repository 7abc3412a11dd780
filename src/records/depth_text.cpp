#include "records/depth_text.h"

#include <cmath>

#include "platform/gcc_warnings.h"
#include "tables/numbers.h"

namespace zk {

// GCC 12 warns -Wrestrict on a concatenation below, falsely (platform/gcc_warnings.h).
ZK_GCC12_RESTRICT_FALSE_POSITIVE_BEGIN
std::string DepthText(double depth) {
  if (!std::isfinite(depth)) depth = 0;
  bool negative = depth < 0;
  double metres = std::fabs(depth);
  double whole = std::trunc(metres);
  double centimetres = std::trunc((metres - whole + 0.001) * 100);
  if (centimetres > 99) centimetres = 99;
  std::string integerPart = (negative ? "-" : "") + QXCOMSUB::IntText(whole);
  return QXCOMSUB::ZeroPad(integerPart, 3) + "." + QXCOMSUB::ZeroPad(QXCOMSUB::IntText(centimetres), 2);
}
ZK_GCC12_RESTRICT_FALSE_POSITIVE_END

}  // namespace zk
