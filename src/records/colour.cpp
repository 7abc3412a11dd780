#include "records/colour.h"

#include "tables/numbers.h"

namespace zk {
namespace {

struct Colour {
  int code;
  const char* letter;
  const char* word;
};

// Codes 13 to 18 are shades and patterns; they take a slot of their own like any hue.
constexpr Colour kColours[] = {
    {1, "K", "黒"},  {2, "C", "褐"},  {4, "R", "赤"},  {5, "O", "橙"},  {6, "Y", "黄"},  {7, "M", "緑"},
    {8, "A", "青"},  {9, "V", "紫"},  {10, "H", "灰"}, {12, "W", "白"}, {13, "N", "濃"}, {14, "L", "淡"},
    {15, "D", "暗"}, {16, "B", "帯"}, {17, "P", "雑"}, {18, "S", "斑"},
};

const Colour* FindColour(double code) {
  for (const Colour& colour : kColours)
    if (colour.code == code) return &colour;
  return nullptr;
}

// count characters from character index first (0-based); fewer at the end of the text.
std::string_view CharacterSlice(std::string_view text, std::size_t first, std::size_t count) {
  auto advance = [&](std::size_t at, std::size_t characters) {
    while (characters > 0 && at < text.size()) {
      ++at;
      while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
      --characters;
    }
    return at;
  };
  std::size_t begin = advance(0, first);
  std::size_t end = advance(begin, count);
  return text.substr(begin, end - begin);
}

}  // namespace

ColourFields EncodeColour(std::string_view codes) {
  std::string letters;
  ColourFields fields;
  for (std::size_t slot = 0; slot < 3; ++slot) {
    const Colour* colour = FindColour(QXCOMSUB::ParseNumber(CharacterSlice(codes, 2 * slot, 2)));
    if (!colour) continue;
    letters += colour->letter;
    fields.words += colour->word;
  }
  fields.letters = QXCOMSUB::Right("****" + letters, 4);
  return fields;
}

}  // namespace zk
