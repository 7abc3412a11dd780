// CP932 (Windows-31J: Shift-JIS with Microsoft's table, 0x5C is "\") at the file boundary.
// Inside the program all text is UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zk::platform {

// UTF-8 to CP932 bytes; nullopt when a character has no CP932 form.
std::optional<std::string> ToCp932(std::string_view utf8);

// ToCp932 for a writer of many texts (the exchange files of a batch): a run of non-ASCII
// characters met before (a soil name, a test name) is written as it was then, without asking
// the converter again. It remembers a few thousand runs at most.
class Cp932Encoder {
 public:
  std::optional<std::string> Encode(std::string_view utf8);

 private:
  std::unordered_map<std::string, std::string> runs_;
};

// CP932 bytes to UTF-8; nullopt when the bytes are not valid CP932.
std::optional<std::string> FromCp932(std::string_view cp932);
// The same into out (replacing what it held, keeping its storage); false when not valid CP932.
bool FromCp932(std::string_view cp932, std::string& out);

// Where the first byte above 0x7F of text lies at or after from, or text.size().
std::size_t FirstNonAscii(std::string_view text, std::size_t from = 0);

// Where the first invalid CP932 byte lies in bytes, or nullopt when all are valid.
// A lead byte cut off by the end of the text counts as invalid.
std::optional<std::size_t> FirstInvalidCp932(std::string_view cp932);

// Streaming check: feeds consecutive chunks of one file. Keeps a lead byte cut at a chunk
// border for the next chunk.
class Cp932Validator {
 public:
  Cp932Validator();
  ~Cp932Validator();
  Cp932Validator(const Cp932Validator&) = delete;
  Cp932Validator& operator=(const Cp932Validator&) = delete;

  // false when the chunk holds an invalid byte; BadOffset() then gives its offset in the stream.
  bool Feed(std::string_view chunk);
  // false when the stream ended inside a two-byte character.
  bool Finish();
  std::size_t BadOffset() const { return bad_; }

 private:
  std::string carry_;
  std::size_t consumed_ = 0;
  std::size_t bad_ = 0;
};

}  // namespace zk::platform
