#include "tables/field_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace zk {
namespace {

constexpr std::size_t kChunk = 1 << 16;

bool IsBlank(int c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

using platform::ReadAt;

long LineOfOffset(int fd, std::size_t offset) {
  long line = 1;
  char previous = 0;
  char chunk[4096];
  for (std::size_t at = 0; at < offset;) {
    long long n = ReadAt(fd, chunk, std::min(sizeof chunk, offset - at), at);
    if (n <= 0) break;
    for (long long i = 0; i < n; ++i) {
      char c = chunk[i];
      if (c == '\r' || (c == '\n' && previous != '\r')) ++line;
      previous = c;
    }
    at += static_cast<std::size_t>(n);
  }
  return line;
}

// Reads the table's bytes as opened (length of them) once through the CP932 and NUL checks,
// in chunks through buffer. Ok, or where the first bad byte is; read tells how many bytes
// came, so that a table of one chunk is left whole in the buffer.
Status CheckCp932(int fd, const std::string& path, char* buffer, unsigned long long length, unsigned long long& read) {
  platform::Cp932Validator validator;
  bool ok = true;
  read = 0;
  std::size_t nul = std::string::npos;
  while (ok && nul == std::string::npos && read < length) {
    long long n =
        ReadAt(fd, buffer, static_cast<std::size_t>(std::min<unsigned long long>(kChunk, length - read)), read);
    if (n < 0)
      return Status::Failed(Fault::Unreadable, path, std::string("読み込めません (") + std::strerror(errno) + ")");
    if (n == 0) break;
    auto got = static_cast<std::size_t>(n);
    if (const void* at = std::memchr(buffer, 0, got))
      nul = read + static_cast<std::size_t>(static_cast<const char*>(at) - buffer);
    ok = validator.Feed(std::string_view(buffer, got));
    read += got;
  }
  if (ok && nul == std::string::npos) ok = validator.Finish();
  if (ok && nul == std::string::npos) return Status::Ok();
  if (ok || (nul != std::string::npos && nul < validator.BadOffset()))
    return Status::Failed(Fault::Malformed, path, "NUL バイトがあります (テキストの表ではありません)",
                          LineOfOffset(fd, nul));
  long line = LineOfOffset(fd, validator.BadOffset());
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
  platform::SeenEntry seen;
  auto host = platform::ToHost(drivePath, seen);
  if (!host || !platform::IsPlainHostFile(*host, seen))
    return Status::Failed(Fault::NotFound, drivePath, "ファイルがありません");
  // Messages name the table as it is written on disk ("X1.TXT", even when asked for "X1.txt").
  if (auto actual = platform::ToDriveForm(*host)) path_ = *actual;
  fd_ = platform::OpenToRead(*host);  // a pipe put in the table's place is refused below
  platform::OpenedFile opened;
  if (fd_ < 0 || !platform::DescribeOpened(fd_, platform::HostText(*host), opened)) {
    Status failed = Status::Failed(Fault::Unreadable, path_, std::string("開けません (") + std::strerror(errno) + ")");
    Close();
    return failed;
  }
  if (!opened.regular) {
    Close();
    return Status::Failed(Fault::NotFound, drivePath, "ファイルがありません");
  }
  if (!buffer_) buffer_.reset(new char[kChunk]);
  // The length as opened: the fields end there.
  remaining_ = opened.size;
  const auto& identity = opened.identity;
  if (!identity || !Checked().Holds(*identity)) {
    unsigned long long read = 0;
    Status check = CheckCp932(fd_, path_, buffer_.get(), remaining_, read);
    if (!check) {
      Close();
      return check;
    }
    if (identity) Checked().Add(*identity);
    if (remaining_ <= kChunk && read == remaining_) {  // the whole table is in the buffer
      end_ = static_cast<std::size_t>(read);
      offset_ = read;
      remaining_ = 0;
      whole_ = true;
      CutEndOfFileMark();
    }
  }
  return Status::Ok();
}

// A last 0x1A (the end-of-file mark of old editors) is no part of the table.
void TableReader::CutEndOfFileMark() {
  if (end_ > 0 && buffer_[end_ - 1] == 0x1A) --end_;
}

void TableReader::Close() {
  if (fd_ >= 0) platform::CloseReadFile(fd_);
  fd_ = -1;
  pos_ = end_ = 0;
  remaining_ = 0;
  offset_ = 0;
  whole_ = false;
}

std::optional<std::string_view> TableReader::WholeTable() const {
  if (!whole_) return std::nullopt;
  return std::string_view(buffer_.get(), static_cast<std::size_t>(offset_));
}

// Refills the buffer once all of it is used: fields are copied out as they are scanned, so
// nothing in it is needed any more.
bool TableReader::Fill() {
  if (fd_ < 0 || remaining_ == 0) return false;
  std::size_t want = remaining_ < kChunk ? static_cast<std::size_t>(remaining_) : kChunk;
  long long n = ReadAt(fd_, buffer_.get(), want, offset_);
  std::size_t got = n > 0 ? static_cast<std::size_t>(n) : 0;
  pos_ = 0;
  end_ = got;
  offset_ += got;
  if (got < want) {
    if (status_)
      status_ = Status::Failed(Fault::Unreadable, path_, "読み込み中に失敗しました", line_);
    remaining_ = 0;
    return got > 0;
  }
  whole_ = offset_ == got && got == remaining_;
  remaining_ -= got;
  if (remaining_ == 0) CutEndOfFileMark();
  return end_ > 0;
}

int TableReader::Peek() {
  if (pos_ >= end_ && !Fill()) return EOF;
  return static_cast<unsigned char>(buffer_[pos_]);
}

int TableReader::Get() {
  int c = Peek();
  if (c != EOF) ++pos_;
  return c;
}

bool TableReader::AtEnd() { return Peek() == EOF; }

void TableReader::SkipBlanks() {
  while (IsBlank(Peek())) ++pos_;
}

// Consumes one separator: a comma, CR LF, LF or CR. Nothing at the end of the table.
void TableReader::SkipSeparator() {
  int c = Get();
  if (c == '\r') {
    ++line_;
    if (Peek() == '\n') ++pos_;
  } else if (c == '\n') {
    ++line_;
  }
}

// A field holding a byte above 0x7F, to UTF-8. The file was checked at open; a field never
// splits a character, since no CP932 trail byte is a separator, blank or quote.
void TableReader::Decode(std::string& field) {
  raw_.swap(field);
  if (!platform::FromCp932(raw_, field)) field.clear();
}

// The rest of an unquoted field, up to its separator (left unread), in whole runs of the
// buffer: a field may be megabytes long. Kept in bytes unless skipped (nullptr). true when it
// holds a byte above 0x7F.
bool TableReader::ReadUnquoted(std::string* bytes) {
  unsigned char seen = 0;
  while (pos_ < end_ || Fill()) {
    const char* data = buffer_.get();
    std::size_t stop = pos_;
    for (; stop < end_; ++stop) {
      auto c = static_cast<unsigned char>(data[stop]);
      if (c == ',' || c == '\r' || c == '\n') break;
      seen |= c;
    }
    if (bytes) bytes->append(data + pos_, stop - pos_);
    pos_ = stop;
    if (stop < end_) break;
  }
  return (seen & 0x80) != 0;
}

// The rest of a quoted field, up to its closing quote (consumed) or the end of the table.
// Line ends inside stay in the field and are counted, CR LF once. high tells whether it holds
// a byte above 0x7F.
bool TableReader::ReadQuoted(std::string* bytes, bool& high) {
  unsigned char seen = 0;
  bool afterCr = false;
  bool closed = false;
  while (!closed && (pos_ < end_ || Fill())) {
    const char* data = buffer_.get();
    std::size_t stop = pos_;
    for (; stop < end_; ++stop) {
      auto c = static_cast<unsigned char>(data[stop]);
      if (c == '"') break;
      seen |= c;
      if (c == '\r' || (c == '\n' && !afterCr)) ++line_;
      afterCr = c == '\r';
    }
    if (bytes) bytes->append(data + pos_, stop - pos_);
    closed = stop < end_;
    pos_ = closed ? stop + 1 : stop;
  }
  high = (seen & 0x80) != 0;
  return closed;
}

std::string TableReader::ReadField() {
  std::string field;
  ReadField(field);
  return field;
}

void TableReader::Scan(std::string* field) {
  if (field) field->clear();
  SkipBlanks();
  fieldLine_ = line_;
  bool high = false;
  if (Peek() == '"') {
    ++pos_;
    if (!ReadQuoted(field, high)) {
      // The field runs to the end of the table, as the reader always read it; the check
      // report and the command line tell the user.
      unclosedQuoteLine_ = fieldLine_;
      if (high && field) Decode(*field);
      return;
    }
    int c;
    while ((c = Peek()) != EOF && c != ',' && !IsLineEnd(c)) ++pos_;
  } else {
    high = ReadUnquoted(field);
    while (field && !field->empty() && IsBlank(static_cast<unsigned char>(field->back()))) field->pop_back();
  }
  SkipSeparator();
  if (high && field) Decode(*field);
}

void TableReader::SkipLine() {
  int c;
  while ((c = Peek()) != EOF && !IsLineEnd(c)) ++pos_;
  if (c != EOF) SkipSeparator();
}

bool TableReader::ReadRow(std::size_t n, std::vector<std::string>& row) { return ReadRow(n, 1, n, row); }

bool TableReader::ReadRow(std::size_t n, std::size_t first, std::size_t last, std::vector<std::string>& row) {
  row.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (AtEnd()) {
      for (std::size_t k = i; k < n; ++k) row[k].clear();
      return false;
    }
    if (i + 1 >= first && i + 1 <= last) {
      ReadField(row[i]);
    } else {
      row[i].clear();
      SkipField();
    }
  }
  return true;
}

bool TableReader::SkipRow(std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (AtEnd()) return false;
    SkipField();
  }
  return true;
}

}  // namespace zk
