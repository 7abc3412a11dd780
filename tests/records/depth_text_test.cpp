#include "records/depth_text.h"

#include <gtest/gtest.h>

namespace zk {
namespace {

TEST(DepthText, MetresAndCutCentimetres) {
  const std::pair<double, const char*> cases[] = {
      {0, "000.00"},
      {3, "003.00"},
      {1.05, "001.05"},
      {static_cast<double>(1.05f), "001.05"},  // held just below 1.05
      {static_cast<double>(10.7f), "010.70"},
      {12.345, "012.34"},  // cut, not rounded
      {2.15, "002.15"},
      {10.5, "010.50"},
      {0.05, "000.05"},
      {0.7, "000.70"},
      {static_cast<double>(0.7f), "000.70"},
      {15.45, "015.45"},
      {static_cast<double>(15.45f), "015.45"},
      {1.999, "001.99"},  // the 0.001 would carry into a third digit: capped
      {9.9999, "009.99"},
      {999.99, "999.99"},
      {1234.5, "234.50"},  // the leading digit is lost
      {99999.99, "999.99"},
      {1e20, "000.00"},
      {-1.5, "0-1.50"},  // the sign inside the padding, centimetres of the absolute value
      {-12.25, "-12.25"},
      {-0.5, "0-0.50"},
      {-0.0, "000.00"},
  };
  for (const auto& [depth, text] : cases) EXPECT_EQ(DepthText(depth), text) << depth;
}

}  // namespace
}  // namespace zk
