#include "support/text_bytes.h"

#include <gtest/gtest.h>

namespace zk::QXCOMSUB {
namespace {

TEST(TextBytes, TrimSpacesTakesOnlyTheOrdinarySpace) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(TrimSpaces("　a　"), "　a　");  // full-width spaces stay
}

TEST(TextBytes, ByteMeasuresAreCp932Bytes) {
  EXPECT_EQ(ByteLength("ABC"), 3);
  EXPECT_EQ(ByteLength("漢字"), 4);
  EXPECT_EQ(ByteLength(""), 0);
  EXPECT_EQ(ByteLength("ｶﾅ"), 2);  // half-width katakana: one byte each
  EXPECT_EQ(ByteMid("AB漢字", 3, 2), "漢");
  // A cut through two characters: the trail byte 0xBF of 漢 reads as the half-width ｿ on its
  // own, the lone lead byte of 字 is dropped.
  EXPECT_EQ(ByteMid("AB漢字", 4, 2), "ｿ");
  EXPECT_EQ(ByteMid("C:\\DATA", 2, 1), ":");
  EXPECT_EQ(ByteMid("AB", 5, 1), "");
  EXPECT_EQ(ByteMidFrom("AB漢字", 5), "字");
  EXPECT_EQ(ByteMidFrom("AB", 3), "");
}

TEST(TextBytes, FolderPart) {
  EXPECT_EQ(FolderPart("C:\\DATA\\B01\\X.TXT"), "C:\\DATA\\B01\\");
  EXPECT_EQ(FolderPart("A:FILE"), "A:");
  EXPECT_EQ(FolderPart("FILE"), "");
}

}  // namespace
}  // namespace zk::QXCOMSUB
