// The colour of a colour interval, from its string of two-character colour codes, as the
// layer records carry it twice: one-letter symbols and the Japanese colour words.
#pragma once

#include <string>
#include <string_view>

namespace zk {

struct ColourFields {
  std::string letters;  // always four characters, "*"-padded on the left ("**KC")
  std::string words;    // the colour words joined ("黒褐"); empty when no code is known
};

// Characters 1-2, 3-4 and 5-6 of the code string are up to three colour codes, each read as
// a number (" 1", "1 " and "01" are all 1); the rest is ignored. A code without a colour
// (0, 3, 11, above 18, no digits) adds nothing; a code repeated adds its colour again.
ColourFields EncodeColour(std::string_view codes);

}  // namespace zk
