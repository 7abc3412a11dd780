#include "tables/field_reader.h"

#include <array>

#include "platform/codepage.h"

namespace zk {
namespace {

bool IsBlank(int c) { return c == ' ' || c == '\t'; }

// The bytes that end an unquoted field, looked up at once: most bytes of a table are in such
// fields.
constexpr std::array<bool, 256> kFieldEnds = [] {
  std::array<bool, 256> ends{};
  ends[','] = ends['\r'] = ends['\n'] = true;
  return ends;
}();

}  // namespace

void TableReader::Reset(std::string path, std::string_view data) {
  path_ = std::move(path);
  data_ = data;
  pos_ = 0;
  line_ = 1;
  fieldLine_ = 0;
  unclosedQuoteLine_ = 0;
  status_ = Status::Ok();
}

Status TableReader::Open(const TableFile& table) {
  Close();
  if (!table.IsPlainFile()) {
    if (!table.fault) return table.fault;
    return Status::Failed(Fault::NotFound, table.drivePath, "ファイルがありません");
  }
  if (!table.fault) return table.fault;
  Reset(table.drivePath, table.bytes);
  open_ = true;
  return Status::Ok();
}

Status TableReader::Open(const platform::DriveMap& drives, const std::string& drivePath) {
  Close();
  owned_ = LoadTableFile(drives, drivePath);
  return Open(owned_);
}

void TableReader::Close() {
  open_ = false;
  data_ = {};
  pos_ = 0;
}

// A field holding a byte above 0x7F, to UTF-8. The table was checked when it was taken; a
// field never splits a character, since no CP932 trail byte is a separator, blank or quote.
void TableReader::Decode(std::string& field) {
  raw_.swap(field);
  if (!platform::FromCp932(raw_, field)) field.clear();
}

std::string TableReader::ReadField() {
  std::string field;
  ReadField(field);
  return field;
}

namespace {

// Where reading stands, held in locals while a row is read: most fields are a few bytes, so
// what is done once per field costs as much as the bytes.
struct Cursor {
  const char* data;
  std::size_t end;
  std::size_t pos;
  long line;
  long unclosedQuoteLine;
};

// The one way a field is found: from the blanks before it through its separator.
inline RawField NextField(Cursor& at) {
  const char* data = at.data;
  const std::size_t end = at.end;
  std::size_t pos = at.pos;
  long line = at.line;
  while (pos < end && IsBlank(static_cast<unsigned char>(data[pos]))) ++pos;
  RawField field;
  field.line = line;
  unsigned char seen = 0;
  std::size_t start = pos;
  std::size_t stop = pos;
  if (pos < end && data[pos] == '"') {
    start = ++pos;
    bool afterCr = false;
    for (stop = start; stop < end; ++stop) {
      auto c = static_cast<unsigned char>(data[stop]);
      if (c == '"') break;
      seen |= c;
      if (c == '\r' || (c == '\n' && !afterCr)) ++line;
      afterCr = c == '\r';
    }
    field.overLineEnd = line != field.line;
    if (stop >= end) {
      // The field runs to the end of the table, as the reader always read it; the user is
      // told through the findings.
      pos = stop;
      at.unclosedQuoteLine = field.line;
    } else {
      pos = stop + 1;  // what follows the closing quote up to the separator is dropped
      while (pos < end && !kFieldEnds[static_cast<unsigned char>(data[pos])]) ++pos;
    }
  } else {
    for (; pos < end; ++pos) {
      auto c = static_cast<unsigned char>(data[pos]);
      if (kFieldEnds[c]) break;
      seen |= c;
    }
    stop = pos;  // without its trailing blanks
    while (stop > start && IsBlank(static_cast<unsigned char>(data[stop - 1]))) --stop;
  }
  // One separator: a comma, CR LF, LF or CR; nothing at the end of the table.
  if (pos < end) {
    char c = data[pos++];
    if (c == '\r') {
      ++line;
      if (pos < end && data[pos] == '\n') ++pos;
    } else if (c == '\n') {
      ++line;
    }
  }
  at.pos = pos;
  at.line = line;
  field.bytes = std::string_view(data + start, stop - start);
  field.nonAscii = (seen & 0x80) != 0;
  return field;
}

}  // namespace

template <typename Visit>
bool TableReader::ForFields(std::size_t n, Visit visit) {
  Cursor at{data_.data(), data_.size(), pos_, line_, unclosedQuoteLine_};
  std::size_t i = 0;
  RawField field;
  for (; i < n && at.pos < at.end; ++i) {
    field = NextField(at);
    visit(i, field);
  }
  pos_ = at.pos;
  line_ = at.line;
  unclosedQuoteLine_ = at.unclosedQuoteLine;
  if (i > 0) {
    fieldLine_ = field.line;
    overLineEnd_ = field.overLineEnd;
  }
  return i == n;
}

void TableReader::Scan(std::string* field, bool decode) {
  if (AtEnd()) {  // an empty field at the end
    if (field) field->clear();
    fieldLine_ = line_;
    overLineEnd_ = false;
    return;
  }
  ForFields(1, [&](std::size_t, const RawField& raw) {
    if (!field) return;
    field->assign(raw.bytes);
    if (raw.nonAscii && decode) Decode(*field);
  });
}

bool TableReader::ReadRawRow(std::size_t n, std::vector<RawField>& row) {
  row.resize(n);
  std::size_t got = 0;
  bool complete = ForFields(n, [&](std::size_t i, const RawField& field) {
    row[i] = field;
    got = i + 1;
  });
  for (std::size_t k = got; k < n; ++k) row[k] = RawField{};
  return complete;
}

std::string TableReader::Text(const RawField& field) {
  if (!field.nonAscii) return std::string(field.bytes);
  std::string text;
  if (!platform::FromCp932(field.bytes, text)) text.clear();
  return text;
}

void TableReader::SkipLine() {
  while (pos_ < data_.size() && data_[pos_] != '\r' && data_[pos_] != '\n') ++pos_;
  if (pos_ < data_.size()) {
    char c = data_[pos_++];
    ++line_;
    if (c == '\r' && pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  }
}

bool TableReader::ReadRow(std::size_t n, std::vector<std::string>& row) { return ReadRow(n, 1, n, row); }

bool TableReader::ReadRow(std::size_t n, std::size_t first, std::size_t last, std::vector<std::string>& row) {
  row.resize(n);
  std::size_t got = 0;
  bool complete = ForFields(n, [&](std::size_t i, const RawField& field) {
    got = i + 1;
    std::string& text = row[i];
    if (got < first || got > last) {
      text.clear();
      return;
    }
    text.assign(field.bytes);
    if (field.nonAscii) Decode(text);
  });
  for (std::size_t k = got; k < n; ++k) row[k].clear();
  return complete;
}

bool TableReader::SkipRow(std::size_t n) {
  return ForFields(n, [](std::size_t, const RawField&) {});
}

}  // namespace zk
