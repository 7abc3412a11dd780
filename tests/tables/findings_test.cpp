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

// Parts of a run told into sinks of their own and absorbed in order give what telling them
// into one sink gives: the same findings, counts and "more" lines, an error kept once.
TEST(FindingSink, AbsorbingIsTellingInOrder) {
  auto tellFirst = [](FindingSink& sink) {
    for (long line = 1; line <= 60; ++line)
      sink.Warn("A:\\B\\X1.TXT", line, "depth-cut", "first " + std::to_string(line));
    sink.Error("A:\\B\\X1.TXT", 3, "not-cp932", "stops");
  };
  auto tellSecond = [](FindingSink& sink) {
    for (long line = 61; line <= 170; ++line) {
      sink.Warn("A:\\B\\X1.TXT", line, "depth-cut", "second " + std::to_string(line));
      sink.Warn("A:\\B\\X5.TXT", line, "not-a-number", "x5 " + std::to_string(line));
    }
    sink.Error("A:\\B\\X1.TXT", 3, "not-cp932", "stops");  // told by both parts
    sink.Error("A:\\B\\X5.TXT", 4, "not-cp932", "stops too");
  };
  FindingSink direct;
  tellFirst(direct);
  tellSecond(direct);
  FindingSink first, second;
  tellFirst(first);
  tellSecond(second);
  first.Absorb(second);
  EXPECT_EQ(first.findings(), direct.findings());
  EXPECT_EQ(first.warnings(), direct.warnings());
  EXPECT_EQ(first.errors(), direct.errors());
  EXPECT_EQ(first.errors(), 2);
}

}  // namespace
}  // namespace zk
