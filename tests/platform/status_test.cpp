#include "platform/status.h"

#include <gtest/gtest.h>

namespace zk {
namespace {

TEST(Excerpt, WholeUpToItsLengthElseCutAtACharacterWithAnEllipsis) {
  const std::string kanji = "深度";  // 3 bytes a character in UTF-8
  const std::string cases[][2] = {
      {"", ""},
      {"12.5m", "12.5m"},
      {std::string(kExcerptBytes, 'a'), std::string(kExcerptBytes, 'a')},
      {std::string(kExcerptBytes + 1, 'a'), std::string(kExcerptBytes, 'a') + "…"},
      {std::string(10 << 20, 'Z'), std::string(kExcerptBytes, 'Z') + "…"},
      // 199 bytes, then a character that would end past byte 200: cut before it.
      {std::string(kExcerptBytes - 1, 'a') + kanji + kanji, std::string(kExcerptBytes - 1, 'a') + "…"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(Excerpt(text), shown) << text.size();
}

}  // namespace
}  // namespace zk
