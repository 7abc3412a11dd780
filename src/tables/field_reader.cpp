#include "tables/field_reader.h"

#include <array>

#include "platform/codepage.h"

namespace zk {
namespace {

bool IsBlank(int c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

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

void TableReader::SkipBlanks() {
  while (pos_ < data_.size() && IsBlank(static_cast<unsigned char>(data_[pos_]))) ++pos_;
}

// Consumes one separator: a comma, CR LF, LF or CR. Nothing at the end of the table.
void TableReader::SkipSeparator() {
  if (pos_ >= data_.size()) return;
  char c = data_[pos_++];
  if (c == '\r') {
    ++line_;
    if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  } else if (c == '\n') {
    ++line_;
  }
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

void TableReader::Scan(std::string* field, bool decode) {
  if (field) field->clear();
  SkipBlanks();
  fieldLine_ = line_;
  overLineEnd_ = false;
  const char* data = data_.data();
  const std::size_t end = data_.size();
  unsigned char seen = 0;
  if (Peek() == '"') {
    ++pos_;
    std::size_t start = pos_;
    bool afterCr = false;
    std::size_t stop = pos_;
    for (; stop < end; ++stop) {
      auto c = static_cast<unsigned char>(data[stop]);
      if (c == '"') break;
      seen |= c;
      if (c == '\r' || (c == '\n' && !afterCr)) ++line_;
      afterCr = c == '\r';
    }
    if (field) field->append(data + start, stop - start);
    overLineEnd_ = line_ != fieldLine_;
    if (stop >= end) {
      // The field runs to the end of the table, as the reader always read it; the user is
      // told through the findings.
      pos_ = stop;
      unclosedQuoteLine_ = fieldLine_;
      if ((seen & 0x80) && field && decode) Decode(*field);
      return;
    }
    pos_ = stop + 1;
    while (pos_ < end && data[pos_] != ',' && !IsLineEnd(static_cast<unsigned char>(data[pos_]))) ++pos_;
  } else {
    std::size_t stop = pos_;
    for (; stop < end; ++stop) {
      auto c = static_cast<unsigned char>(data[stop]);
      if (kFieldEnds[c]) break;
      seen |= c;
    }
    if (field) {  // without its trailing blanks
      std::size_t last = stop;
      while (last > pos_ && IsBlank(static_cast<unsigned char>(data[last - 1]))) --last;
      field->append(data + pos_, last - pos_);
    }
    pos_ = stop;
  }
  SkipSeparator();
  if ((seen & 0x80) && field && decode) Decode(*field);
}

void TableReader::SkipLine() {
  while (pos_ < data_.size() && !IsLineEnd(static_cast<unsigned char>(data_[pos_]))) ++pos_;
  SkipSeparator();
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
