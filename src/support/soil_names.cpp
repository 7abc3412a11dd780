#include "support/soil_names.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "platform/codepage.h"
#include "support/text_bytes.h"
#include "tables/catalogue.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"

namespace zk {
namespace {

// Views, not character pointers: a name is compared with each row of these lists, and two
// texts of different lengths then differ at once.
struct Valued {
  std::string_view text;
  int value;
};

struct Coded {
  std::string_view name;
  std::string_view code;
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
constexpr std::string_view kWholeMainNames[] = {"礫質土", "砂質土", "有機質土", "火山灰質粘性土", "高有機質土"};

template <std::size_t N>
int ValueOf(const Valued (&rows)[N], const std::string& text) {
  for (const Valued& row : rows)
    if (text == row.text) return row.value;
  return 0;
}

// A code as a look-up key: its lenient value, with -0 and 0 one key.
double CodeKey(std::string_view code) {
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

}  // namespace

Status LoadSoilNameTable(const TableFile& file, SoilNameTable& table) {
  if (table.loaded && table.found && file.IsPlainFile() && file.fault && table.bytes == file.bytes) {
    table.drivePath = file.drivePath;
    return Status::Ok();
  }
  table = SoilNameTable{};
  table.drivePath = file.drivePath;
  if (!file.IsPlainFile()) return Status::Ok();
  TableReader reader;
  if (Status s = reader.Open(file); !s) return s;
  auto loaded = std::make_shared<SoilNameEntries>();
  const std::size_t fields = Layout(TableId::Kishitu).fields;
  // Room for every record the bytes can hold (a record takes at least six bytes), asked for
  // once: growing by copying would touch the memory of a large table several times over.
  // What is never written takes no memory.
  loaded->codes.reserve(file.bytes.size() / 6 + 1);
  loaded->names.reserve(file.bytes.size());
  std::vector<RawField> record;
  // Code and name of every complete record, as they stand: a code's digits are ASCII either way.
  while (!reader.AtEnd() && reader.ReadRawRow(fields, record)) {
    ++loaded->count;
    double value = CodeKey(record[0].bytes);
    if (std::isnan(value)) continue;  // equal to no code
    // Without its surrounding spaces, which no CP932 character has in its second byte.
    std::string_view bytes = record[1].bytes;
    std::size_t begin = bytes.find_first_not_of(' ');
    bytes = begin == std::string_view::npos ? "" : bytes.substr(begin, bytes.find_last_not_of(' ') - begin + 1);
    loaded->codes.push_back(
        {value, static_cast<std::uint32_t>(loaded->names.size()), static_cast<std::uint32_t>(bytes.size())});
    loaded->names += bytes;
  }
  // In order of value, the first entry of each value kept.
  auto byValue = [](const SoilNameEntries::Code& a, const SoilNameEntries::Code& b) { return a.value < b.value; };
  auto sameValue = [](const SoilNameEntries::Code& a, const SoilNameEntries::Code& b) { return a.value == b.value; };
  std::stable_sort(loaded->codes.begin(), loaded->codes.end(), byValue);
  loaded->codes.erase(std::unique(loaded->codes.begin(), loaded->codes.end(), sameValue), loaded->codes.end());
  table.loaded = std::move(loaded);
  table.found = true;
  table.bytes = file.bytes;
  return Status::Ok();
}

Status LoadSoilNameTable(const platform::DriveMap& drives, SoilNameTable& table, const std::string& folder) {
  return LoadSoilNameTable(LoadTableFile(drives, folder + Layout(TableId::Kishitu).name), table);
}

std::string LookupSoilName(const std::string& soilCode, const SoilNameTable& table) {
  return FindSoilName(soilCode, table);
}

std::string FindSoilName(const std::string& soilCode, const SoilNameTable& table) {
  if (table.size() == 0) return "";
  const SoilNameEntries& entries = *table.loaded;
  double value = CodeKey(soilCode);
  auto found = std::lower_bound(entries.codes.begin(), entries.codes.end(), value,
                                [](const SoilNameEntries::Code& c, double v) { return c.value < v; });
  if (found == entries.codes.end() || found->value != value) return "";
  // Decoded when asked for: a boring looks up a few of the thousands of names. A name whose
  // bytes are no CP932 reads as "", as a field does.
  std::string name;
  if (!platform::FromCp932(std::string_view(entries.names).substr(found->at, found->length), name)) name.clear();
  return name;
}

std::string ClassifyRockName(const std::string& name) {
  for (const Coded& rock : kRocks)
    if (name == rock.name) return std::string(rock.code);
  return "";
}

SplitName SplitSoilName(const std::string& name) {
  SplitName split;
  std::string rest = name;
  if (CutAfter(rest, "混り", split.mixture)) return split;
  if (split.mixture.empty() && CutAfter(rest, "混じり", split.mixture)) return split;
  for (std::string_view whole : kWholeMainNames) {
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
