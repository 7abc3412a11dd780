#include "tables/snapshot.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/drives.h"
#include "platform/files.h"
#include "tables/field_reader.h"

namespace zk {
namespace {

// Without the spaces around it (the names of "PCNT.txt" are taken so).
std::string WithoutSpaces(const std::string& text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// Each byte as the name look-up compares it, without regard to letter case.
std::string LowerCase(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

const TableFile& MissingTable() {
  static const TableFile missing;
  return missing;
}

}  // namespace

bool IsPlainMeasurementName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string::npos;
}

const TableFile& BoringSnapshot::File(const std::string& name) const {
  auto found = named_.find(name);
  return found == named_.end() ? MissingTable() : *found->second;
}

// A name of the boring folder in its one listing: exactly as written first, else in another
// letter case, as the drive map finds names.
std::optional<std::size_t> BoringSnapshot::Find(const std::string& name) const {
  if (auto exact = byName_.find(name); exact != byName_.end()) return exact->second;
  if (auto other = byLowerName_.find(LowerCase(name)); other != byLowerName_.end()) return other->second;
  return std::nullopt;
}

std::optional<std::filesystem::path> BoringSnapshot::NewFileHostPath(const std::string& name) const {
  if (!hostFolder_ || Find(name)) return std::nullopt;
  return *hostFolder_ / name;
}

// A file of the boring folder by name, found in the folder's one listing.
const TableFile* BoringSnapshot::Load(const platform::DriveMap& drives, const std::string& name,
                                      const OpenHook& opened) {
  std::string drivePath = folder_ + "\\" + name;
  platform::SeenEntry seen;
  std::optional<std::filesystem::path> host;
  std::optional<std::string> hostDriveForm;
  if (!hostFolder_) {
    host = drives.ToHost(drivePath, seen);
  } else {
    std::optional<std::size_t> index = Find(name);
    const std::string* found = index ? &entries_[*index] : nullptr;
    host = *hostFolder_ / (found ? *found : name);
    if (found)
      seen = entriesSeen_[*index];
    else
      seen.type = std::filesystem::file_type::not_found;
    // A name of the listing is one more level below the folder: its drive form follows from
    // the folder's, found once, unless it holds what a drive-form path cannot.
    if (found && hostFolderDriveForm_ && found->find('\\') == std::string::npos) {
      const std::string& folder = *hostFolderDriveForm_;
      hostDriveForm = folder + (folder.ends_with('\\') ? "" : "\\") + *found;
    }
  }
  // Two names of one file ("M1.hed" and "M1.HED") take it once.
  if (host) {
    auto known = byHost_.find(platform::HostText(*host));
    if (known != byHost_.end()) return known->second;
  }
  files_.push_back(LoadTableFile(drives, drivePath, host, seen, opened, hostDriveForm));
  if (host) byHost_[platform::HostText(*host)] = &files_.back();
  return &files_.back();
}

std::shared_ptr<const CodeTables> TakeCodeTables(const platform::DriveMap& drives, const std::string& folder,
                                                 const OpenHook& opened) {
  auto codes = std::make_shared<CodeTables>();
  codes->folder = folder;
  auto take = [&](TableId id) {
    std::string path = TablePath(Layout(id), "", folder);
    if (!folder.empty()) return LoadTableFile(drives, path, opened);
    TableFile missing;
    missing.drivePath = path;
    return missing;
  };
  codes->l9 = take(TableId::L9);
  codes->kishitu = take(TableId::Kishitu);
  return codes;
}

BoringSnapshot BoringSnapshot::Take(const platform::DriveMap& drives, const std::string& folder,
                                    const std::string& codeFolder, const OpenHook& opened) {
  return Take(drives, folder, TakeCodeTables(drives, codeFolder, opened), opened);
}

BoringSnapshot BoringSnapshot::Take(const platform::DriveMap& drives, const std::string& folder,
                                    std::shared_ptr<const CodeTables> codes, const OpenHook& opened) {
  BoringSnapshot s = TakeBoring(drives, folder, opened);
  s.AttachCodeTables(std::move(codes));
  return s;
}

void BoringSnapshot::AttachCodeTables(std::shared_ptr<const CodeTables> codes) {
  codeFolder_ = codes->folder;
  codes_ = std::move(codes);
  tables_[static_cast<std::size_t>(TableId::L9)] = &codes_->l9;
  tables_[static_cast<std::size_t>(TableId::Kishitu)] = &codes_->kishitu;
}

BoringSnapshot BoringSnapshot::TakeBoring(const platform::DriveMap& drives, const std::string& folder,
                                          const OpenHook& opened) {
  BoringSnapshot s;
  s.folder_ = folder;
  // Until the code tables are given, they read as missing.
  s.tables_[static_cast<std::size_t>(TableId::L9)] = &MissingTable();
  s.tables_[static_cast<std::size_t>(TableId::Kishitu)] = &MissingTable();
  // The folder is listed once; a name is looked for in the listing, not in the folder again.
  platform::SeenEntry folderSeen;
  s.hostFolder_ = drives.ToHost(folder, folderSeen);
  // What the drive map saw of the folder serves, unless that was a link or nothing.
  auto isFolder = [&] {
    using enum std::filesystem::file_type;
    if (folderSeen.type == directory) return true;
    if (folderSeen.type != none && folderSeen.type != symlink) return false;
    std::error_code ec;
    return std::filesystem::is_directory(*s.hostFolder_, ec);
  };
  if (s.hostFolder_ && isFolder()) {
    for (platform::ListedEntry& entry : platform::ListEntries(*s.hostFolder_)) {
      s.entries_.push_back(std::move(entry.name));
      s.entriesSeen_.push_back(entry.seen);
    }
    for (std::size_t i = 0; i < s.entries_.size(); ++i) {
      s.byName_.emplace(s.entries_[i], i);
      s.byLowerName_.emplace(LowerCase(s.entries_[i]), i);  // the first of the listing stays
    }
    s.hostFolderDriveForm_ = drives.ToDriveForm(*s.hostFolder_);
  } else {
    s.hostFolder_.reset();
  }
  for (const TableLayout& t : AllTables())
    if (t.folder == TableFolder::Boring) s.tables_[static_cast<std::size_t>(t.id)] = s.Load(drives, t.name, opened);
  // The measurement files "PCNT.txt" names: the head file of its first row for the flags,
  // and both files of every row for the "F" block.
  TableReader reader;
  if (!reader.Open(s.Table(TableId::PCNT))) return s;
  std::string first;
  if (!reader.AtEnd()) reader.SkipField();
  if (!reader.AtEnd()) first = WithoutSpaces(reader.ReadField());
  auto take = [&](const std::string& name) {
    if (s.named_.count(name) == 0) s.named_[name] = s.Load(drives, name, opened);
  };
  if (IsPlainMeasurementName(first)) take(first + ".hed");
  // Row by row: a list of millions of rows is never held as names.
  reader.Open(s.Table(TableId::PCNT));
  std::vector<std::string> row;
  while (!reader.AtEnd() && reader.ReadRow(Layout(TableId::PCNT).fields, row)) {
    std::string name = WithoutSpaces(row[1]);
    if (!IsPlainMeasurementName(name)) continue;
    take(name + ".HED");
    take(name + ".TMP");
  }
  return s;
}

}  // namespace zk
