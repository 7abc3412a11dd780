// The one way every table is read: a stream of free-format fields.
//
// Fields are ended by a comma or a line end (CR LF, LF or CR). Blanks (space, tab) before a
// field are skipped. An unquoted field runs to the next separator and loses its trailing
// blanks. A field whose first character is a double quote runs to the next quote; commas and
// line ends inside stay, the quotes go, and anything after the closing quote up to the
// separator is dropped. A quote never closed runs to the end of the table (UnclosedQuoteLine()
// tells where, so that the user can be warned). The table is at
// its end when nothing is left after the last separator; a single 0x1A at the very end is
// ignored. Line ends carry no meaning beyond separating fields: rows are groups of a fixed
// number of fields.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace zk {

class TableReader {
 public:
  TableReader() = default;
  ~TableReader();
  TableReader(const TableReader&) = delete;
  TableReader& operator=(const TableReader&) = delete;

  // Opens a table by its drive-form path. The whole file is checked for CP932 first; a file
  // with any invalid byte is refused (NotCp932, with the line of the first bad byte), and so is
  // one holding a NUL byte (Malformed: no text table holds one; it would also cut names short).
  // NotFound when no plain file of that name exists.
  Status Open(const std::string& drivePath);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // No field left to read (also true when not open or after a read error).
  bool AtEnd();
  // The next field as UTF-8 text; "" at the end.
  std::string ReadField();
  // The same into field, whose storage is kept: rows of many fields read without allocating.
  void ReadField(std::string& field) { Scan(&field); }
  // Passes over the next field as ReadField would read it (lines and quotes counted alike).
  void SkipField() { Scan(nullptr); }
  // Skips the rest of the current line, its line end included.
  void SkipLine();
  // Reads n fields into row (resized to n). false when the end cut the row short: the fields
  // that were there are in row, the rest empty. A row is only read when !AtEnd().
  bool ReadRow(std::size_t n, std::vector<std::string>& row);
  // The same, reading only columns first to last (from 1) and leaving the others empty:
  // a pass that needs a few columns of a wide table does not copy or decode the rest.
  bool ReadRow(std::size_t n, std::size_t first, std::size_t last, std::vector<std::string>& row);
  // Passes over a row of n fields; false when the end cut it short.
  bool SkipRow(std::size_t n);

  // The line on which the last field read began (1-based).
  long FieldLine() const { return fieldLine_; }
  // The line on which the next field would begin.
  long Line() const { return line_; }
  // A quote was never closed: the line where it opened, else 0.
  long UnclosedQuoteLine() const { return unclosedQuoteLine_; }
  // The first fault after opening (Ok while none): a read error.
  const Status& status() const { return status_; }
  // The table as written on disk, in drive form.
  const std::string& path() const { return path_; }
  // Every byte of the table as opened (a last 0x1A too) once they came in one buffer, else
  // nullopt: another look at its bytes needs no second reading.
  std::optional<std::string_view> WholeTable() const;

 private:
  bool Fill();
  void CutEndOfFileMark();
  int Peek();
  int Get();
  void SkipBlanks();
  void SkipSeparator();
  void Scan(std::string* field);
  void Decode(std::string& field);
  bool ReadUnquoted(std::string* bytes);
  bool ReadQuoted(std::string* bytes, bool& high);

  int fd_ = -1;
  std::string path_;
  std::unique_ptr<char[]> buffer_;
  std::size_t pos_ = 0;  // next byte of the buffer
  std::size_t end_ = 0;  // bytes in the buffer
  std::string raw_;      // a field's CP932 bytes while it is decoded
  unsigned long long remaining_ = 0;  // bytes of the file not yet in the buffer
  unsigned long long offset_ = 0;     // where the next fill reads from
  bool whole_ = false;                // the buffer holds the whole table, offset_ bytes
  long line_ = 1;
  long fieldLine_ = 0;
  long unclosedQuoteLine_ = 0;
  Status status_;
};

}  // namespace zk
