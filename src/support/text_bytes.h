// Text measured and cut in CP932 bytes, where the exchange format counts bytes (half-width
// one byte, full-width two), a trim, and the folder part of a path.
#pragma once

#include <string>
#include <string_view>

namespace zk::QXCOMSUB {

// Without leading and trailing spaces (U+0020 only; tabs and full-width spaces stay).
std::string TrimSpaces(std::string_view text);
// Bytes of the text in CP932 (a character without a CP932 form counts as one byte, "?").
long ByteLength(std::string_view text);
// The bytes from start (1-based) to the end, back as text; "" when start is beyond the end.
std::string ByteMidFrom(std::string_view text, long start);
// count bytes from start (fewer at the end), back as text. A cut through a two-byte
// character leaves nothing of it.
std::string ByteMid(std::string_view text, long start, long count);
// The path up to and including its last ":" or "\"; "" when it has neither.
std::string FolderPart(std::string_view path);

}  // namespace zk::QXCOMSUB
