#include "records/colour.h"

#include <gtest/gtest.h>

namespace zk {
namespace {

TEST(EncodeColour, LettersAndWords) {
  struct Case {
    const char* codes;
    const char* letters;
    const char* words;
  };
  const Case cases[] = {
      {"", "****", ""},
      {"    ", "****", ""},  // the blank of an exhausted colour table
      {"0102", "**KC", "黒褐"},
      {"010213", "*KCN", "黒褐濃"},
      {"0311", "****", ""},      // 3 and 11 have no colour
      {"0108", "**KA", "黒青"},  // blue is A; B is 16
      {"16", "***B", "帯"},
      {"01020405", "*KCR", "黒褐赤"},  // a fourth code is ignored
      {"1", "***K", "黒"},             // a one-character slice is still a code
      {" 1", "***K", "黒"},
      {"1 ", "***K", "黒"},
      {"0101", "**KK", "黒黒"},  // repeated codes repeat
      {"0001", "***K", "黒"},    // 0 is no colour, the slot is skipped
      {"19", "****", ""},
      {"99", "****", ""},
      {"ab12", "***W", "白"},
      {"121314", "*WNL", "白濃淡"},
      {"151617", "*DBP", "暗帯雑"},
      {"18100907", "*SHV", "斑灰紫"},
      {"0506", "**OY", "橙黄"},
      {"04", "***R", "赤"},
      {"07", "***M", "緑"},
      {"黒01", "***K", "黒"},  // slices are characters, not bytes
  };
  for (const Case& c : cases) {
    ColourFields fields = EncodeColour(c.codes);
    EXPECT_EQ(fields.letters, c.letters) << c.codes;
    EXPECT_EQ(fields.words, c.words) << c.codes;
  }
}

}  // namespace
}  // namespace zk
