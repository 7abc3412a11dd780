#include "tables/findings.h"

#include <gtest/gtest.h>

#include <string>

namespace zk {
namespace {

// Of one kind of warning about one table the first hundred are kept, then one line tells how
// many more there were; a message made on demand is only made for those kept.
TEST(FindingSink, KeepsTheFirstOfAKindAndCountsTheRest) {
  FindingSink sink;
  int made = 0;
  for (long line = 1; line <= FindingSink::kCap + 5; ++line) {
    sink.WarnWith("A:\\B\\X1.TXT", line, "depth-cut", [&] {
      ++made;
      return "cut " + std::to_string(line);
    });
    sink.Warn("A:\\B\\X3.TXT", line, "depth-cut", "colour " + std::to_string(line));
  }
  sink.Warn("A:\\B\\X1.TXT", 7, "not-a-number", "other kind");
  sink.Error("A:\\B\\X1.TXT", 9, "not-cp932", "stops");
  sink.Error("A:\\B\\X1.TXT", 9, "not-cp932", "stops");  // told twice, kept once

  EXPECT_EQ(made, FindingSink::kCap);
  EXPECT_EQ(sink.warnings(), 2 * (FindingSink::kCap + 5) + 1);
  EXPECT_EQ(sink.errors(), 1);
  auto all = sink.findings();
  ASSERT_EQ(all.size(), static_cast<std::size_t>(2 * FindingSink::kCap + 2 + 2));
  // After the last kept warning of each kind, the count of the others.
  const std::size_t cap = FindingSink::kCap;
  EXPECT_EQ(all[2 * cap - 2].message, "cut 100");
  const Finding& moreX1 = all[2 * cap - 1];
  EXPECT_EQ(moreX1.file, "A:\\B\\X1.TXT");
  EXPECT_EQ(moreX1.code, "depth-cut");
  EXPECT_EQ(moreX1.message, "ほかに同じ指摘が 5 件あります (同じ種類は初めの 100 件だけを示します)");
  EXPECT_EQ(all[2 * cap].message, "colour 100");
  EXPECT_EQ(all[2 * cap + 1].file, "A:\\B\\X3.TXT");
  EXPECT_EQ(all[2 * cap + 1].message, moreX1.message);
  EXPECT_EQ(all[2 * cap + 2].message, "other kind");
  EXPECT_EQ(all[2 * cap + 3].message, "stops");
}

}  // namespace
}  // namespace zk
