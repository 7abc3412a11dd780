// One table as taken from the disk: what lies under its name, decided once, and its bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/drives.h"
#include "platform/status.h"

namespace zk {

enum class TableState {
  Missing,       // nothing of that name (or a hidden name, or a drive that is not ready)
  Empty,         // a plain file of 0 bytes
  Text,          // a plain file of CP932 text
  Folder,        // a folder where the table belongs
  DanglingLink,  // a link to nothing
  NotAFile,      // a pipe, a device or a socket
  Unreadable,    // a plain file the run may not open or read
  NotCp932,      // bytes that are not Shift-JIS (CP932)
  HasNul,        // a NUL byte: no text table holds one
};

struct TableFile {
  std::string drivePath;  // as written on disk once found ("X1.TXT" even when asked for "X1.txt")
  TableState state = TableState::Missing;
  Status fault;               // what is wrong, for the states from Folder on
  std::uintmax_t length = 0;  // bytes of a plain file
  std::string bytes;          // the CP932 bytes, a last 0x1A (end-of-file mark) cut

  // A plain file, whatever its bytes: the table counts as there.
  bool IsPlainFile() const {
    return state == TableState::Empty || state == TableState::Text || state == TableState::Unreadable ||
           state == TableState::NotCp932 || state == TableState::HasNul;
  }
  // A plain file with bytes: an optional table that counts as present.
  bool IsPresent() const { return IsPlainFile() && length > 0; }
  // Something other than nothing or a plain file lies under the name, or the file cannot be
  // opened: the run stops before it writes anything.
  bool IsEntryFault() const {
    return state == TableState::Folder || state == TableState::DanglingLink || state == TableState::NotAFile ||
           state == TableState::Unreadable;
  }
};

// Told the host path of every file opened to be read.
using OpenHook = std::function<void(const std::string& hostPath)>;

// Takes the table at a drive-form path: looks at what lies there, and reads a plain file
// whole, checked for CP932 and NUL bytes. Never fails: what went wrong is in the state.
TableFile LoadTableFile(const platform::DriveMap& drives, const std::string& drivePath, const OpenHook& opened = {});
// The same with the host path already found (nullopt: no ready drive, or out of scope) and
// what finding it saw; hostDriveForm, when the caller knows it, is the drive form of host
// (else it is worked out from the drive map).
TableFile LoadTableFile(const platform::DriveMap& drives, const std::string& drivePath,
                        const std::optional<std::filesystem::path>& host, const platform::SeenEntry& seen,
                        const OpenHook& opened, const std::optional<std::string>& hostDriveForm = std::nullopt);

// The same over bytes already in memory (tests, fuzzing): a Text table, or NotCp932/HasNul.
TableFile TableFromBytes(std::string drivePath, std::string bytes);

}  // namespace zk
