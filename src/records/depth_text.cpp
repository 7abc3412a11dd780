#include "records/depth_text.h"

#include <cmath>

#include "tables/numbers.h"

namespace zk {

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

bool DepthCut(double depth) { return depth < 0 || !(depth < 1000); }

}  // namespace zk
