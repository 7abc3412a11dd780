// A boring as the run took it: every table of the boring folder and of the code-table folder
// read once, at the start, into memory, with what lies under each name decided then. Every
// block, the flags and the findings work on it; nothing opens a table of the boring again, so
// a table changed or removed while the run writes cannot make the file disagree with itself.
#pragma once

#include <array>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "tables/catalogue.h"
#include "tables/table_file.h"

namespace zk {

// The code tables of the code-table folder, as taken once for a batch of borings.
struct CodeTables {
  std::string folder;  // drive form, "" for none
  TableFile l9, kishitu;
};

// Takes the code tables of folder ("" gives two missing tables).
std::shared_ptr<const CodeTables> TakeCodeTables(const platform::DriveMap& drives, const std::string& folder,
                                                 const OpenHook& opened = {});

class BoringSnapshot {
 public:
  BoringSnapshot() = default;
  BoringSnapshot(BoringSnapshot&&) = default;
  BoringSnapshot& operator=(BoringSnapshot&&) = default;
  BoringSnapshot(const BoringSnapshot&) = delete;
  BoringSnapshot& operator=(const BoringSnapshot&) = delete;

  // The boring folder (drive form, no final "\") and the code-table folder ("" for none).
  const std::string& folder() const { return folder_; }
  const std::string& codeFolder() const { return codeFolder_; }

  const TableFile& Table(TableId id) const { return *tables_[static_cast<std::size_t>(id)]; }
  // The names in the boring folder when it was taken, in listing order (none when it could
  // not be listed).
  const std::vector<std::string>& entries() const { return entries_; }
  // A file of the boring folder named by "PCNT.txt" (a measurement file, name & ".HED",
  // ".TMP" or ".hed"), as asked for when the boring was taken; a missing table otherwise.
  const TableFile& File(const std::string& name) const;
  // Where a file the boring folder's listing did not hold, in any letter case, is made on the
  // host. None when the listing held one (it may have gone since) or the folder was not listed.
  std::optional<std::filesystem::path> NewFileHostPath(const std::string& name) const;

  // Takes the boring with the code tables as taken before, finding its files through drives.
  // opened is told of every file opened.
  static BoringSnapshot Take(const platform::DriveMap& drives, const std::string& folder,
                             std::shared_ptr<const CodeTables> codes, const OpenHook& opened = {});
  // The boring alone, its code tables missing until they are given: they can be taken meanwhile.
  static BoringSnapshot TakeBoring(const platform::DriveMap& drives, const std::string& folder,
                                   const OpenHook& opened = {});
  void AttachCodeTables(std::shared_ptr<const CodeTables> codes);
  // The same taking the code tables of codeFolder with it.
  static BoringSnapshot Take(const platform::DriveMap& drives, const std::string& folder, const std::string& codeFolder,
                             const OpenHook& opened = {});

 private:
  std::optional<std::size_t> Find(const std::string& name) const;
  const TableFile* Load(const platform::DriveMap& drives, const std::string& name, const OpenHook& opened);

  std::string folder_, codeFolder_;
  std::deque<TableFile> files_;                     // every file taken, once
  std::map<std::string, const TableFile*> byHost_;  // the same file under another name
  std::array<const TableFile*, 18> tables_{};
  std::map<std::string, const TableFile*> named_;  // PCNT's files by the name asked for
  std::shared_ptr<const CodeTables> codes_;
  std::optional<std::filesystem::path> hostFolder_;  // the boring folder, found once
  std::optional<std::string> hostFolderDriveForm_;   // its drive form, as the files' messages name it
  std::vector<std::string> entries_;                 // its entries, listed once
  std::vector<platform::SeenEntry> entriesSeen_;     // what the listing told of each
  // The entries by name, and by name in lower case (the first of the listing in either case):
  // a boring of thousands of measurement files finds each without going through the listing.
  std::unordered_map<std::string, std::size_t> byName_, byLowerName_;
};

// A measurement file name from "PCNT.txt" names a file of the boring folder itself: no path.
bool IsPlainMeasurementName(const std::string& name);

}  // namespace zk
