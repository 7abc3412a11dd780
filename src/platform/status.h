// The outcome of reading or writing one file: ok, or what went wrong, in which file and on
// which line. Carried by value instead of exceptions, so that every writer can hand a fault
// up to the run, which tells the user and leaves nothing half-written.
#pragma once

#include <string>

namespace zk {

enum class Fault {
  None,
  NotFound,     // the file is not there (where the caller needed it)
  Unreadable,   // the file is there but cannot be opened or read
  NotCp932,     // bytes that are not Shift-JIS (CP932) text
  Unwritable,   // the exchange file or the record file could not be written
  CodeTable,    // a code table is missing or too short
  BadRecord,    // an exchange file line that is not a record of quoted fields
  Malformed,    // a table's text cannot be read as fields (a NUL byte)
  NotAFile,     // a folder, a dangling link or a device where a table belongs
  NameTaken,    // a new file's name was taken by another entry the moment it was to be given
};

struct Status {
  Fault fault = Fault::None;
  std::string file;         // the path as the user knows it (drive form where there is one)
  long line = 0;            // 1-based line of the fault; 0 when no line applies
  std::string description;  // what is wrong, in the user's language

  explicit operator bool() const { return fault == Fault::None; }

  // The text shown to the user: file, line where known, and the description.
  std::string Message() const;

  static Status Ok() { return {}; }
  static Status Failed(Fault f, std::string file, std::string description, long line = 0) {
    return Status{f, std::move(file), line, std::move(description)};
  }
};

}  // namespace zk
