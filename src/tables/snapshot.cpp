#include "tables/snapshot.h"

#include <vector>

#include "platform/drives.h"
#include "tables/field_reader.h"

namespace zk {
namespace {

// Without the spaces around it (the names of "PCNT.txt" are taken so).
std::string WithoutSpaces(const std::string& text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
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

const TableFile* BoringSnapshot::Load(const std::string& drivePath, const OpenHook& opened) {
  // Two names of one file ("M1.hed" and "M1.HED") take it once.
  platform::SeenEntry seen;
  auto host = platform::ToHost(drivePath, seen);
  if (host) {
    auto known = byHost_.find(host->string());
    if (known != byHost_.end()) return known->second;
  }
  files_.push_back(LoadTableFile(drivePath, host, seen, opened));
  if (host) byHost_[host->string()] = &files_.back();
  return &files_.back();
}

std::shared_ptr<const CodeTables> TakeCodeTables(const std::string& folder, const OpenHook& opened) {
  auto codes = std::make_shared<CodeTables>();
  codes->folder = folder;
  auto take = [&](TableId id) {
    std::string path = TablePath(Layout(id), "", folder);
    if (!folder.empty()) return LoadTableFile(path, opened);
    TableFile missing;
    missing.drivePath = path;
    return missing;
  };
  codes->l9 = take(TableId::L9);
  codes->kishitu = take(TableId::Kishitu);
  return codes;
}

BoringSnapshot BoringSnapshot::Take(const std::string& folder, const std::string& codeFolder, const OpenHook& opened) {
  return Take(folder, TakeCodeTables(codeFolder, opened), opened);
}

BoringSnapshot BoringSnapshot::Take(const std::string& folder, std::shared_ptr<const CodeTables> codes,
                                    const OpenHook& opened) {
  BoringSnapshot s;
  s.folder_ = folder;
  s.codeFolder_ = codes->folder;
  s.codes_ = std::move(codes);
  for (const TableLayout& t : AllTables())
    if (t.folder == TableFolder::Boring)
      s.tables_[static_cast<std::size_t>(t.id)] = s.Load(TablePath(t, folder, ""), opened);
  s.tables_[static_cast<std::size_t>(TableId::L9)] = &s.codes_->l9;
  s.tables_[static_cast<std::size_t>(TableId::Kishitu)] = &s.codes_->kishitu;
  // The measurement files "PCNT.txt" names: the head file of its first row for the flags,
  // and both files of every row for the "F" block.
  TableReader reader;
  if (!reader.Open(s.Table(TableId::PCNT))) return s;
  std::string first;
  if (!reader.AtEnd()) reader.SkipField();
  if (!reader.AtEnd()) first = WithoutSpaces(reader.ReadField());
  auto take = [&](const std::string& name) {
    if (s.named_.count(name) == 0) s.named_[name] = s.Load(folder + "\\" + name, opened);
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
