#include "tables/field_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace zk {
namespace {

constexpr std::size_t kChunk = 1 << 16;

bool IsBlank(int c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

long LineOfOffset(std::FILE* file, std::size_t offset) {
  std::rewind(file);
  long line = 1;
  int previous = 0;
  for (std::size_t i = 0; i < offset; ++i) {
    int c = std::fgetc(file);
    if (c == EOF) break;
    if (c == '\n' && previous != '\r') ++line;
    if (c == '\r') ++line;
    previous = c;
  }
  return line;
}

// Reads the whole file once through the CP932 and NUL checks. Ok, or where the first bad byte is.
Status CheckCp932(std::FILE* file, const std::string& path) {
  platform::Cp932Validator validator;
  std::string chunk(kChunk, '\0');
  bool ok = true;
  std::size_t offset = 0;
  std::size_t nul = std::string::npos;
  while (ok && nul == std::string::npos) {
    std::size_t n = std::fread(chunk.data(), 1, chunk.size(), file);
    if (n == 0) break;
    if (const void* at = std::memchr(chunk.data(), 0, n))
      nul = offset + static_cast<std::size_t>(static_cast<const char*>(at) - chunk.data());
    ok = validator.Feed(std::string_view(chunk.data(), n));
    offset += n;
  }
  if (std::ferror(file))
    return Status::Failed(Fault::Unreadable, path, std::string("読み込めません (") + std::strerror(errno) + ")");
  if (ok && nul == std::string::npos) ok = validator.Finish();
  if (ok && nul == std::string::npos) return Status::Ok();
  if (ok || (nul != std::string::npos && nul < validator.BadOffset()))
    return Status::Failed(Fault::Malformed, path, "NUL バイトがあります (テキストの表ではありません)",
                          LineOfOffset(file, nul));
  long line = LineOfOffset(file, validator.BadOffset());
  return Status::Failed(Fault::NotCp932, path, "Shift-JIS (CP932) でない文字があります", line);
}

// Tables found whole and clean, as long as they stay unchanged: a table opened again (a
// counting pass, then a writing pass; the same code table for every boring of a batch) is
// not read through the check a second time.
class CheckedTables {
 public:
  bool Holds(const platform::FileIdentity& id) const {
    return std::find(checked_.begin(), checked_.end(), id) != checked_.end();
  }
  void Add(platform::FileIdentity id) {
    if (checked_.size() >= kKept) checked_.erase(checked_.begin());
    checked_.push_back(std::move(id));
  }

 private:
  static constexpr std::size_t kKept = 64;
  std::vector<platform::FileIdentity> checked_;
};

CheckedTables& Checked() {
  static CheckedTables tables;
  return tables;
}

}  // namespace

TableReader::~TableReader() { Close(); }

Status TableReader::Open(const std::string& drivePath) {
  Close();
  path_ = drivePath;
  line_ = 1;
  fieldLine_ = 0;
  unclosedQuoteLine_ = 0;
  status_ = Status::Ok();
  buffer_.clear();
  pos_ = 0;
  auto host = platform::ToHost(drivePath);
  if (!host || !platform::IsPlainFile(drivePath))
    return Status::Failed(Fault::NotFound, drivePath, "ファイルがありません");
  // Messages name the table as it is written on disk ("X1.TXT", even when asked for "X1.txt").
  if (auto actual = platform::ToDriveForm(*host)) path_ = *actual;
  file_ = std::fopen(host->c_str(), "rb");
  if (!file_)
    return Status::Failed(Fault::Unreadable, path_, std::string("開けません (") + std::strerror(errno) + ")");
  auto identity = platform::IdentityOf(host->string());
  if (!identity || !Checked().Holds(*identity)) {
    Status check = CheckCp932(file_, path_);
    if (!check) {
      Close();
      return check;
    }
    if (identity) Checked().Add(*identity);
  }
  // The length as read, so that a last 0x1A can be left out.
  std::fseek(file_, 0, SEEK_END);
  long size = std::ftell(file_);
  remaining_ = size > 0 ? static_cast<unsigned long long>(size) : 0;
  if (remaining_ > 0) {
    std::fseek(file_, -1, SEEK_END);
    if (std::fgetc(file_) == 0x1A) --remaining_;
  }
  std::rewind(file_);
  return Status::Ok();
}

void TableReader::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  buffer_.clear();
  pos_ = 0;
  remaining_ = 0;
}

bool TableReader::Fill() {
  if (!file_ || remaining_ == 0) return false;
  buffer_.erase(0, pos_);
  pos_ = 0;
  std::size_t want = remaining_ < kChunk ? static_cast<std::size_t>(remaining_) : kChunk;
  std::size_t old = buffer_.size();
  buffer_.resize(old + want);
  std::size_t n = std::fread(buffer_.data() + old, 1, want, file_);
  buffer_.resize(old + n);
  if (n < want) {
    if (status_)
      status_ = Status::Failed(Fault::Unreadable, path_, "読み込み中に失敗しました", line_);
    remaining_ = 0;
    return n > 0;
  }
  remaining_ -= n;
  return true;
}

int TableReader::Peek() {
  if (pos_ >= buffer_.size() && !Fill()) return EOF;
  return static_cast<unsigned char>(buffer_[pos_]);
}

int TableReader::Get() {
  int c = Peek();
  if (c != EOF) ++pos_;
  return c;
}

bool TableReader::AtEnd() { return Peek() == EOF; }

// Consumes one separator: a comma, CR LF, LF or CR. Nothing at the end of the table.
void TableReader::SkipSeparator() {
  int c = Get();
  if (c == '\r') {
    ++line_;
    if (Peek() == '\n') Get();
  } else if (c == '\n') {
    ++line_;
  }
}

std::string TableReader::Decode(std::string&& bytes) {
  // The file was checked at open; a field never splits a character, since no CP932 trail
  // byte is a separator, blank or quote.
  bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return std::move(bytes);
  if (auto text = platform::FromCp932(bytes)) return std::move(*text);
  return std::string();
}

// The rest of a quoted field, up to its closing quote (consumed) or the end of the table.
// Line ends inside stay in the field and are counted, CR LF once.
bool TableReader::ReadQuoted(std::string& bytes) {
  bool afterCr = false;
  while (Peek() != EOF) {
    std::size_t quote = buffer_.find('"', pos_);
    std::size_t stop = quote == std::string::npos ? buffer_.size() : quote;
    for (std::size_t i = pos_; i < stop; ++i) {
      char c = buffer_[i];
      if (c == '\r' || (c == '\n' && !afterCr)) ++line_;
      afterCr = c == '\r';
    }
    bytes.append(buffer_, pos_, stop - pos_);
    pos_ = stop;
    if (quote != std::string::npos) {
      ++pos_;
      return true;
    }
  }
  return false;
}

std::string TableReader::ReadField() {
  while (IsBlank(Peek())) Get();
  fieldLine_ = line_;
  std::string bytes;
  int c = Peek();
  if (c == '"') {
    Get();
    if (!ReadQuoted(bytes)) {
      // The field runs to the end of the table, as the reader always read it; the check
      // report and the command line tell the user.
      unclosedQuoteLine_ = fieldLine_;
      return Decode(std::move(bytes));
    }
    while ((c = Peek()) != EOF && c != ',' && !IsLineEnd(c)) Get();
  } else {
    // Whole runs of the buffer at a time: a field may be megabytes long.
    while (Peek() != EOF) {
      std::size_t stop = pos_;
      while (stop < buffer_.size() && buffer_[stop] != ',' && !IsLineEnd(buffer_[stop])) ++stop;
      bytes.append(buffer_, pos_, stop - pos_);
      bool ended = stop < buffer_.size();
      pos_ = stop;
      if (ended) break;
    }
    while (!bytes.empty() && IsBlank(static_cast<unsigned char>(bytes.back()))) bytes.pop_back();
  }
  SkipSeparator();
  return Decode(std::move(bytes));
}

void TableReader::SkipLine() {
  int c;
  while ((c = Peek()) != EOF && !IsLineEnd(c)) Get();
  if (c != EOF) SkipSeparator();
}

bool TableReader::ReadRow(std::size_t n, std::vector<std::string>& row) {
  row.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (AtEnd()) {
      for (std::size_t k = i; k < n; ++k) row[k].clear();
      return false;
    }
    row[i] = ReadField();
  }
  return true;
}

}  // namespace zk
