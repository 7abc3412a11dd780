#include "writers/table_block.h"

#include <gtest/gtest.h>

namespace zk {
namespace {

// A value is told cut when it is negative or its whole part is wider than the field's: the
// edges of each width, values below 1, and numbers too large for any field.
TEST(FixedPointOf, TellsAWholePartTooWideOrANegativeValue) {
  struct Case {
    const char* text;
    int intDigits;
    bool cut;
  };
  const Case cases[] = {
      {"999.99", 3, false},  {"999.999", 3, false}, {"1000", 3, true},
      {"1000.0", 3, true},   {"9.99", 1, false},    {"10", 1, true},
      {"0.5", 1, false},     {"0", 1, false},       {"", 3, false},
      {"  ", 3, false},      {"-1", 3, true},       {"-0.001", 3, true},
      {"1e3", 3, true},      {"9.9e2", 3, false},   {"9999", 4, false},
      {"10000", 4, true},    {"1e308", 4, true},    {"abc", 3, false},
      {"99999.5", 5, false}, {"1e14", 14, true},    {"99999999999999", 14, false},
  };
  for (const Case& c : cases) {
    Row row({c.text});
    FixedPointOf(row, 1, c.intDigits, 2);
    EXPECT_EQ(!row.cuts.empty(), c.cut) << c.text << " in " << c.intDigits;
  }
}

}  // namespace
}  // namespace zk
