// The one way every table is read: a stream of free-format fields.
//
// Fields are ended by a comma or a line end (CR LF, LF or CR). Blanks (space, tab) before a
// field are skipped. An unquoted field runs to the next separator and loses its trailing
// blanks. A field whose first character is a double quote runs to the next quote; commas and
// line ends inside stay, the quotes go, and anything after the closing quote up to the
// separator is dropped. A quote never closed runs to the end of the table (UnclosedQuoteLine()
// tells where, so that the user can be warned). The table is at its end when nothing is left
// after the last separator; a single 0x1A at the very end is ignored. Line ends carry no
// meaning beyond separating fields: rows are groups of a fixed number of fields.
//
// The reader works on a table already in memory (TableFile): the bytes were read and checked
// for CP932 once, when the boring was taken.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "tables/table_file.h"

namespace zk {

// One field as it stands in the table, read without copying: its CP932 bytes (the quotes of a
// quoted field taken off, the trailing blanks of an unquoted one cut), viewed in the table.
struct RawField {
  std::string_view bytes;
  long line = 0;             // where it begins
  bool nonAscii = false;     // holds a byte above 0x7F: to be decoded before it is shown
  bool overLineEnd = false;  // quoted, and ran over a line end
};

class TableReader {
 public:
  TableReader() = default;
  TableReader(const TableReader&) = delete;
  TableReader& operator=(const TableReader&) = delete;

  // Reads a table taken before; it must outlive the reader. A table that is not a plain file
  // is NotFound; one whose bytes were refused gives its fault (NotCp932, Malformed,
  // Unreadable).
  Status Open(const TableFile& table);
  // Takes the table at a drive-form path and reads it (settings, tests).
  Status Open(const platform::DriveMap& drives, const std::string& drivePath);
  void Close();
  bool IsOpen() const { return open_; }

  // No field left to read (also true when not open).
  bool AtEnd() const { return pos_ >= data_.size(); }
  // The next field as UTF-8 text; "" at the end.
  std::string ReadField();
  // The same into field, whose storage is kept: rows of many fields read without allocating.
  void ReadField(std::string& field) { Scan(&field); }
  // The same with its CP932 bytes as they stand, for a caller that decodes only the fields
  // it keeps.
  void ReadRawField(std::string& field) { Scan(&field, false); }
  // Passes over the next field as ReadField would read it (lines and quotes counted alike).
  void SkipField() { Scan(nullptr); }
  // Skips the rest of the current line, its line end included.
  void SkipLine();
  // Reads n fields into row (resized to n). false when the end cut the row short: the fields
  // that were there are in row, the rest empty. A row is only read when !AtEnd().
  bool ReadRow(std::size_t n, std::vector<std::string>& row);
  // The same, reading only columns first to last (from 1) and leaving the others empty.
  bool ReadRow(std::size_t n, std::size_t first, std::size_t last, std::vector<std::string>& row);
  // Passes over a row of n fields; false when the end cut it short.
  bool SkipRow(std::size_t n);
  // Reads n fields as they stand, for a caller that only looks at some of them; they live as
  // long as the table. false when the end cut the row short (the rest empty).
  bool ReadRawRow(std::size_t n, std::vector<RawField>& row);
  // A raw field as ReadField gives it, in UTF-8.
  static std::string Text(const RawField& field);

  // The line on which the last field read began (1-based).
  long FieldLine() const { return fieldLine_; }
  // The line on which the next field would begin.
  long Line() const { return line_; }
  // A quote was never closed: the line where it opened, else 0.
  long UnclosedQuoteLine() const { return unclosedQuoteLine_; }
  // The last field read was quoted and ran over a line end.
  bool FieldRanOverLineEnd() const { return overLineEnd_; }
  // Ok: a table in memory has no read faults. Kept for the callers that ask.
  const Status& status() const { return status_; }
  // The table as written on disk, in drive form.
  const std::string& path() const { return path_; }

 private:
  void Reset(std::string path, std::string_view data);
  // Reads up to n fields (fewer at the end of the table), handing each to visit(i, field);
  // true when all n were there.
  template <typename Visit>
  bool ForFields(std::size_t n, Visit visit);
  void Scan(std::string* field, bool decode = true);
  void Decode(std::string& field);

  TableFile owned_;  // a table taken by Open(drivePath)
  std::string path_;
  std::string_view data_;
  std::size_t pos_ = 0;
  std::string raw_;  // a field's CP932 bytes while it is decoded
  bool open_ = false;
  long line_ = 1;
  long fieldLine_ = 0;
  long unclosedQuoteLine_ = 0;
  bool overLineEnd_ = false;
  Status status_;
};

}  // namespace zk
