#include "support/soil_names.h"

#include <optional>

#include <string_view>
#include <system_error>

#include "platform/drives.h"
#include "platform/files.h"
#include "support/settings.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"

namespace zk {
namespace {

constexpr const char* kTableName = "Kishitu.txt";
constexpr std::size_t kFieldsPerRecord = 6;

struct Valued {
  const char* text;
  int value;
};

struct Coded {
  const char* name;
  const char* code;
};

// Compared as whole texts; the first matching row wins.
constexpr Coded kRocks[] = {
    {"硬岩", "091"}, {"中硬岩", "092"}, {"軟岩", "092"},     {"風化岩", "092"}, {"玉石", "093"},   {"浮石", "010"},
    {"軽石", "010"}, {"シラス", "020"}, {"スコリア", "030"}, {"火山灰", "040"}, {"ローム", "050"}, {"黒ボク", "060"},
    {"マサ", "070"}, {"表土", "000"},   {"埋土", "001"},     {"廃棄土", "002"},
};

// "高有機質土" is a highly organic soil and goes with peat at 900.
constexpr Valued kMainNames[] = {
    {"礫", 100},       {"礫質土", 200},         {"砂", 300},     {"砂質土", 400},     {"シルト", 500}, {"粘性土", 600},
    {"有機質土", 700}, {"火山灰質粘性土", 800}, {"腐植土", 900}, {"高有機質土", 900},
};

constexpr Valued kAdjectives[] = {
    {"砂質", 10}, {"シルト質", 20}, {"粘土質", 30}, {"有機質", 40}, {"火山灰質", 50},
};

constexpr Valued kMixtures[] = {
    {"玉石混り", 1},   {"玉石混じり", 1},   {"砂利・礫混り", 2}, {"砂利・礫混じり", 2},
    {"砂混り", 3},     {"砂混じり", 3},     {"シルト混り", 4},   {"シルト混じり", 4},
    {"粘土混り", 5},   {"粘土混じり", 5},   {"有機質土混り", 6}, {"有機質土混じり", 6},
    {"火山灰混り", 7}, {"火山灰混じり", 7}, {"貝殻混り", 8},     {"貝殻混じり", 8},
};

// Main names taken whole, before any "質" could cut them.
constexpr const char* kWholeMainNames[] = {"礫質土", "砂質土", "有機質土", "火山灰質粘性土", "高有機質土"};

template <std::size_t N>
int ValueOf(const Valued (&rows)[N], const std::string& text) {
  for (const Valued& row : rows)
    if (text == row.text) return row.value;
  return 0;
}

// A code as a look-up key: its lenient value, with -0 and 0 one key.
double CodeKey(const std::string& code) {
  double value = QXCOMSUB::ParseNumber(code);
  return value == 0 ? 0.0 : value;
}

// Cuts off the first marker of rest (found after at least one character) into part,
// marker included. true: the name ends with the marker, nothing more to split.
bool CutAfter(std::string& rest, std::string_view marker, std::string& part) {
  std::size_t at = rest.find(marker);
  if (at == std::string::npos || at == 0) return false;
  std::size_t end = at + marker.size();
  part = rest.substr(0, end);
  rest.erase(0, end);
  return rest.empty();
}

// The table is looked for on every look-up; the place where it was found is tried first,
// so that the usual probe is one file status and not a walk through the folder names.
bool TableStillThere(const SoilNameTable& table) {
  std::error_code ec;
  if (!table.hostPath.empty() && std::filesystem::is_regular_file(table.hostPath, ec)) return true;
  return platform::IsPlainFile(table.drivePath);
}

}  // namespace

namespace {

// A table loaded once is taken as loaded while its file is unchanged, so a batch of borings
// reads it once, while an edit between two conversions still takes effect.
struct LoadedTable {
  platform::FileIdentity identity;
  SoilNameTable table;
};

std::optional<LoadedTable>& LastLoaded() {
  static std::optional<LoadedTable> last;
  return last;
}

Status ReadSoilNameTable(SoilNameTable& table) {
  TableReader reader;
  if (Status s = reader.Open(table.drivePath); !s) return s;
  auto loaded = std::make_shared<SoilNameEntries>();
  std::vector<std::string> record;
  while (!reader.AtEnd() && reader.ReadRow(kFieldsPerRecord, 1, 2, record)) {  // code and name
    loaded->first.emplace(CodeKey(record[0]), loaded->entries.size());
    loaded->entries.push_back({record[0], QXCOMSUB::TrimSpaces(record[1])});
  }
  if (Status s = reader.status(); !s) return s;
  table.loaded = std::move(loaded);
  return Status::Ok();
}

}  // namespace

Status LoadSoilNameTable(SoilNameTable& table, const std::string& folder) {
  table.drivePath = folder + kTableName;
  if (!platform::IsPlainFile(table.drivePath)) return Status::Ok();
  auto host = platform::ToHost(table.drivePath);
  auto identity = host ? platform::IdentityOf(platform::HostText(*host)) : std::nullopt;
  auto& last = LastLoaded();
  if (identity && last && last->identity == *identity) {
    std::string drivePath = table.drivePath;
    table = last->table;
    table.drivePath = drivePath;
    return Status::Ok();
  }
  if (Status s = ReadSoilNameTable(table); !s) return s;
  table.hostPath = host ? *host : std::filesystem::path();
  if (identity) last = LoadedTable{*identity, table};
  return Status::Ok();
}

Status LoadSoilNameTable(SoilNameTable& table) { return LoadSoilNameTable(table, CodeTableFolder()); }

std::string LookupSoilName(const std::string& soilCode, const SoilNameTable& table) {
  if (table.size() == 0 || !TableStillThere(table)) return "";
  return FindSoilName(soilCode, table);
}

std::string FindSoilName(const std::string& soilCode, const SoilNameTable& table) {
  if (table.size() == 0) return "";
  auto found = table.loaded->first.find(CodeKey(soilCode));
  return found == table.loaded->first.end() ? "" : table.loaded->entries[found->second].name;
}

std::string ClassifyRockName(const std::string& name) {
  for (const Coded& rock : kRocks)
    if (name == rock.name) return rock.code;
  return "";
}

SplitName SplitSoilName(const std::string& name) {
  SplitName split;
  std::string rest = name;
  if (CutAfter(rest, "混り", split.mixture)) return split;
  if (split.mixture.empty() && CutAfter(rest, "混じり", split.mixture)) return split;
  for (const char* whole : kWholeMainNames) {
    if (rest == whole) {
      split.main = rest;
      return split;
    }
  }
  if (CutAfter(rest, "質", split.adjective)) return split;
  split.main = rest;
  return split;
}

std::string ClassifySoilName(const std::string& soilCode, const SoilNameTable& table, std::string& soilName) {
  soilName = LookupSoilName(soilCode, table);
  std::string rock = ClassifyRockName(soilName);
  if (!rock.empty()) return "0" + rock;
  SplitName split = SplitSoilName(soilName);
  int sum = ValueOf(kMainNames, split.main) + ValueOf(kAdjectives, split.adjective) + ValueOf(kMixtures, split.mixture);
  return QXCOMSUB::ZeroPad(std::to_string(sum), 4);
}

}  // namespace zk
