#include "conversion/check.h"


#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>
#include <utility>

#include "conversion/numbering.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "records/colour.h"
#include "records/layer_block.h"
#include "support/settings.h"
#include "support/soil_names.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"
#include "tables/table_access.h"
#include "tables/title_tables.h"
#include "writers/measurements.h"

namespace zk {
namespace {

using QXCOMSUB::HasLeadingNumber;
using QXCOMSUB::ParseNumber;
using QXCOMSUB::TrimSpaces;

// Looks at one complete row of a table: its fields and the line of each.
using RowHook = std::function<void(const std::string& path, const std::vector<std::string>& row,
                                   const std::vector<long>& lines)>;

// How the conversion reads one table.
struct TableRule {
  const char* name;
  std::size_t fieldsPerRow;         // 0: a stream of fields (title tables)
  std::vector<int> numberColumns;   // columns (or stream positions) read as numbers
  int depthColumn = 0;              // a depth that must increase from row to row
  long rowLimit = 0;                // rows beyond it are cut (0: none)...
  bool rowsCutShortKept = false;    // read field by field: a short last row is still used
  std::size_t streamCapacity = 0;   // fields a stream holds; further ones are ignored
  bool rowsBeyondLimitNumbered = false;  // ...or written, their numbers keeping three digits
};

const std::vector<TableRule>& BoringTables() {
  static const std::vector<TableRule> rules = {
      {"titl01.txt", 0, {7, 8, 11, 12, 13, 14, 15, 16}, 0, 0, false, 23},
      {"titl02.txt", 0, {17, 19, 23, 25, 26, 31}, 0, 0, false, 41},
      {"titl04.txt", 0, {1, 2, 4}, 0, 0, false, 14},
      {"X1.TXT", 4, {2, 3}, 2, 0},
      {"X3.TXT", 7, {2}, 2, 0},
      {"X5.TXT", 11, {2, 3, 5}, 0, 999, false, 0, true},
      {"X6.TXT", 68, {}, 0, 0},
      {"X7.TXT", 68, {}, 0, 0},
      {"X100.txt", 44, {2, 3, 14, 15, 16, 17, 21, 22, 24, 25, 26, 27, 29, 31, 32}, 0, 999},
      {"X100A.txt", 7, {3, 4, 5, 6, 7}, 0, 0, true},
      {"L209.txt", 15, {3, 5, 7, 8}, 0, 999},
      {"L204.txt", 15, {2, 3, 4, 6}, 0, 999},
      {"L201.txt", 15, {2, 3, 6, 10}, 0, 999},
      {"PCNT.txt", 2, {}, 0, 0},
  };
  return rules;
}

// The findings of one boring. Of each kind about one table only the first kShownPerKind are
// kept, then one line tells how many more there were: a table of a million bad rows gives a
// report to read, not a million lines. The counts of errors and warnings count them all.
class Report {
 public:
  static constexpr long kShownPerKind = 100;

  explicit Report(BoringCheck& check) : check_(check) {}
  void Add(const std::string& file, long line, Severity severity, const char* code, std::string message) {
    (severity == Severity::Error ? check_.errors : check_.warnings) += 1;
    Kind& kind = kinds_[{file, code}];
    kind.severity = severity;
    if (++kind.count <= kShownPerKind) check_.findings.push_back({file, line, severity, code, std::move(message)});
  }
  void Error(const std::string& file, long line, const char* code, std::string message) {
    Add(file, line, Severity::Error, code, std::move(message));
  }
  void Warn(const std::string& file, long line, const char* code, std::string message) {
    Add(file, line, Severity::Warning, code, std::move(message));
  }
  // After the last finding: the count of those not shown, right after the last one shown of
  // their kind.
  void Finish() {
    auto& findings = check_.findings;
    for (const auto& [key, kind] : kinds_) {
      if (kind.count <= kShownPerKind) continue;
      const std::string& file = key.first;
      const std::string& code = key.second;
      auto last = std::find_if(findings.rbegin(), findings.rend(),
                               [&](const Finding& f) { return f.file == file && f.code == code; });
      findings.insert(last.base(), Finding{file, 0, kind.severity, code,
                                           "ほかに同じ指摘が " + std::to_string(kind.count - kShownPerKind) +
                                               " 件あります (同じ種類は初めの " + std::to_string(kShownPerKind) +
                                               " 件だけを示します)"});
    }
  }

 private:
  struct Kind {
    long count = 0;
    Severity severity = Severity::Warning;
  };
  BoringCheck& check_;
  std::map<std::pair<std::string, std::string>, Kind> kinds_;
};

// Characters of the NEC and IBM extension rows and the user-defined area: electronic delivery
// rules forbid them, and other systems may show them as something else. One warning a line.
class ExtensionCharacterScan {
 public:
  ExtensionCharacterScan(const std::string& drivePath, Report& report) : path_(drivePath), report_(report) {}

  // The next chunk of the table. Lines are counted only up to a character worth reporting
  // and then at the chunk's end, in a loop without branches: most tables have none.
  void Feed(const char* bytes, std::size_t n) {
    chunk_ = std::string_view(bytes, n);
    counted_ = 0;
    std::size_t i = 0;
    if (lead_ != 0 && n > 0) {  // the trail byte of a character the last chunk ended in
      Character(lead_, static_cast<unsigned char>(bytes[0]), 0);
      lead_ = 0;
      i = 1;
    }
    while ((i = platform::FirstNonAscii(chunk_, i)) < n) {
      auto b = static_cast<unsigned char>(bytes[i]);
      if (!((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))) {
        ++i;
      } else if (i + 1 == n) {
        lead_ = b;
        break;
      } else {
        Character(b, static_cast<unsigned char>(bytes[i + 1]), i);
        i += 2;
      }
    }
    LineAt(n);
  }

 private:
  // The line of the chunk's byte at (no trail byte is ever a line end): CR LF, LF or CR.
  long LineAt(std::size_t at) {
    if (at <= counted_) return line_;
    auto byteAt = [this](std::size_t k) { return static_cast<unsigned char>(chunk_[k]); };
    long ends = (byteAt(counted_) == '\r') + (byteAt(counted_) == '\n' && previous_ != '\r');
    for (std::size_t k = counted_ + 1; k < at; ++k)
      ends += (byteAt(k) == '\r') + (static_cast<int>(byteAt(k) == '\n') & static_cast<int>(byteAt(k - 1) != '\r'));
    line_ += ends;
    previous_ = byteAt(at - 1);
    counted_ = at;
    return line_;
  }

  void Character(unsigned char lead, unsigned char trail, std::size_t at) {
    bool extension = lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA;
    bool userDefined = lead >= 0xF0 && lead <= 0xF9;
    if (!(extension || userDefined) || LineAt(at) == lastReported_) return;
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    auto shown = platform::FromCp932(std::string_view(pair, 2));
    report_.Warn(path_, line_, "extension-character",
                 "機種依存文字「" + (shown ? *shown : std::string("?")) + "」があります (" +
                     (extension ? "NEC・IBM 拡張文字" : "外字") + "。そのまま書き出されます)");
    lastReported_ = line_;
  }

  const std::string& path_;
  Report& report_;
  std::string_view chunk_;
  std::size_t counted_ = 0;  // bytes of the chunk whose line ends are in line_
  long line_ = 1;
  long lastReported_ = 0;
  unsigned char lead_ = 0;
  unsigned char previous_ = 0;  // the byte before the first one not counted
};

// The table's bytes as they are on disk, through the scan: those the reader holds when the
// table came in one piece, else read again.
void CheckExtensionCharacters(const std::string& drivePath, const TableReader& reader, Report& report) {
  ExtensionCharacterScan scan(drivePath, report);
  if (auto bytes = reader.WholeTable()) {
    scan.Feed(bytes->data(), bytes->size());
    return;
  }
  auto host = platform::ToHost(drivePath);
  if (!host) return;
  int fd = platform::OpenToRead(*host);
  if (fd < 0) return;
  char chunk[1 << 16];
  unsigned long long at = 0;
  for (long long n; (n = platform::ReadAt(fd, chunk, sizeof chunk, at)) > 0; at += static_cast<unsigned long long>(n))
    scan.Feed(chunk, static_cast<std::size_t>(n));
  platform::CloseReadFile(fd);
}

bool IsNumberColumn(const TableRule& rule, std::size_t column) {
  return std::find(rule.numberColumns.begin(), rule.numberColumns.end(), static_cast<int>(column)) !=
         rule.numberColumns.end();
}

void CheckNumber(const std::string& path, long line, std::size_t column, const std::string& field, Report& report) {
  if (TrimSpaces(field).empty() || HasLeadingNumber(field)) return;
  report.Warn(path, line, "not-a-number",
              std::to_string(column) + " 番目の項目「" + Excerpt(field) + "」は数値ではありません (0 として変換されます)");
}

void CheckStream(TableReader& reader, const TableRule& rule, Report& report) {
  std::size_t n = 0;
  while (!reader.AtEnd()) {
    std::string field = reader.ReadField();
    ++n;
    if (n > rule.streamCapacity) {
      if (TrimSpaces(field).empty()) continue;  // a trailing comma loses nothing
      report.Warn(reader.path(), reader.FieldLine(), "too-many-fields",
                  std::to_string(rule.streamCapacity) + " 項目を超える項目「" + Excerpt(field) + "」などは読まれません");
      return;
    }
    if (IsNumberColumn(rule, n)) CheckNumber(reader.path(), reader.FieldLine(), n, field, report);
  }
}

// The columns a check of rows looks at: every one when a hook sees the rows.
std::vector<bool> ColumnsLookedAt(const TableRule& rule, bool hooked) {
  std::vector<bool> wanted(rule.fieldsPerRow, hooked);
  for (std::size_t c = 1; c <= rule.fieldsPerRow; ++c)
    if (IsNumberColumn(rule, c) || static_cast<int>(c) == rule.depthColumn) wanted[c - 1] = true;
  return wanted;
}

void CheckRows(TableReader& reader, const TableRule& rule, const RowHook& hook, Report& report) {
  const std::vector<bool> wanted = ColumnsLookedAt(rule, static_cast<bool>(hook));
  std::vector<std::string> row(rule.fieldsPerRow);
  std::vector<long> lines(rule.fieldsPerRow);
  long rows = 0;
  double lastDepth = 0;
  while (!reader.AtEnd()) {
    long rowLine = reader.Line();
    bool complete = true;
    for (std::size_t i = 0; i < rule.fieldsPerRow; ++i) {
      row[i].clear();
      if (!complete || reader.AtEnd()) {
        complete = false;
        continue;
      }
      if (wanted[i]) reader.ReadField(row[i]);
      else reader.SkipField();
      lines[i] = reader.FieldLine();
      if (i == 0) rowLine = reader.FieldLine();
    }
    if (!complete && !rule.rowsCutShortKept) {
      report.Warn(reader.path(), rowLine, "row-cut-short",
                  "最後の行が途中で終わっています (" + std::to_string(rule.fieldsPerRow) + " 項目に足りないので変換されません)");
      break;
    }
    ++rows;
    if (hook) hook(reader.path(), row, lines);
    for (int column : rule.numberColumns) {  // listed in column order
      auto c = static_cast<std::size_t>(column);
      CheckNumber(reader.path(), lines[c - 1], c, row[c - 1], report);
    }
    if (rule.depthColumn > 0) {
      double depth = ParseNumber(row[static_cast<std::size_t>(rule.depthColumn - 1)]);
      if (rows > 1 && depth <= lastDepth)
        report.Warn(reader.path(), lines[static_cast<std::size_t>(rule.depthColumn - 1)], "depth-not-increasing",
                    "深度 " + QXCOMSUB::NumberText(depth) + " が前の行の " + QXCOMSUB::NumberText(lastDepth) +
                        " より深くありません (そのまま変換されます)");
      lastDepth = depth;
    }
    if (rule.rowLimit > 0 && rows == rule.rowLimit + 1)
      report.Warn(reader.path(), rowLine, "too-many-rows",
                  std::to_string(rule.rowLimit) + (rule.rowsBeyondLimitNumbered
                                                       ? " 行を超えています (999 を超えた番号は下三桁だけになります)"
                                                       : " 行を超えています (それより後の行は変換されません)"));
  }
}

// Reads one table as the conversion would; false when it cannot be read at all.
bool CheckTable(const std::string& folder, const TableRule& rule, const RowHook& hook, Report& report) {
  std::string path = folder + "\\" + rule.name;
  if (!platform::IsPlainFile(path)) return true;
  TableReader reader;
  Status s = reader.Open(path);
  if (!s) {
    report.Error(path, s.line, s.fault == Fault::NotCp932 ? "not-cp932" : "unreadable",
                 s.description + " (変換は止まります)");
    return false;
  }
  if (rule.fieldsPerRow == 0) CheckStream(reader, rule, report);
  else CheckRows(reader, rule, hook, report);
  if (reader.UnclosedQuoteLine() > 0)
    report.Warn(path, reader.UnclosedQuoteLine(), "unclosed-quote",
                "引用符「\"」が閉じていません (表の終わりまでが一つの項目になります)");
  if (!reader.status())
    report.Error(path, reader.status().line, "unreadable", reader.status().description + " (変換は止まります)");
  CheckExtensionCharacters(path, reader, report);
  return true;
}

void CheckCoordinates(const std::string& folder, BoringCheck& check, const std::string& destination, Report& report) {
  TitleTables titles;
  if (!FCOPYSUB::LoadTitleTables(folder, titles)) return;  // told by the table check
  const auto& t = titles.t1;
  std::string path = folder + "\\titl01.txt";
  if (ParseNumber(t[11]) == 0 || ParseNumber(t[14]) == 0) {
    report.Error(path, 0, "no-coordinates", "緯度・経度の度が 0 か空です (変換は止まります)");
    return;
  }
  std::string meshCode = ComputeMeshCode({t[11], t[12], t[13], t[14], t[15], t[16]});
  if (!IsMeshCode(meshCode)) {
    report.Error(path, 0, "no-coordinates", "緯度・経度からメッシュコード (8 桁) が求まりません (変換は止まります)");
    return;
  }
  check.meshCode = meshCode;
  double lat = ParseNumber(t[11]) + ParseNumber(t[12]) / 60 + ParseNumber(t[13]) / 3600;
  double lon = ParseNumber(t[14]) + ParseNumber(t[15]) / 60 + ParseNumber(t[16]) / 3600;
  if (lat < 20 || lat > 46 || lon < 122 || lon > 154)
    report.Warn(path, 0, "outside-japan", "座標が日本の範囲の外です (メッシュコードはそのまま計算されます)");
  std::vector<std::string> listing;
  if (!destination.empty()) listing = platform::ListPlainFiles(destination + "\\");
  check.exchangeFileName = ExchangeFileNameOf(check.meshCode, NextSequenceNumber(listing, check.meshCode));
}

void CheckCodeTables(const std::string& folder, Report& report) {
  const std::string& codes = CodeTableFolder();
  if (!platform::IsPlainFile(folder + "\\X6.TXT") || !FCOPYSUB::IsPresent(folder + "\\X6.TXT")) return;
  std::string l9 = codes + "L9.txt";
  long rows = 0;
  if (platform::IsPlainFile(l9)) {
    TableReader reader;
    if (!reader.Open(l9)) {
      report.Error(l9, 0, "not-cp932", "試験名の表が読めません (変換は止まります)");
      return;
    }
    std::vector<std::string> row;
    while (!reader.AtEnd() && reader.ReadRow(2, row)) ++rows;
  }
  if (rows < 15)
    report.Error(l9, 0, "code-table-short",
                 "試験名の表に 15 行がありません (" + std::to_string(rows) + " 行。変換は止まります)");
}

// What the layer and colour tables mean: soil codes the soil-name table knows, colour codes
// with a colour, and how many intervals their merge gives.
class LayerMeaning {
 public:
  LayerMeaning(const SoilNameTable& soils, Report& report) : soils_(soils), report_(report) {}

  RowHook Layers() {
    return [this](const std::string& path, const std::vector<std::string>& row, const std::vector<long>& lines) {
      if (!soils_.hostPath.empty() && FindSoilName(row[2], soils_).empty())
        report_.Warn(path, lines[2], "unknown-soil-code",
                     "土質コード「" + Excerpt(row[2]) + "」が Kishitu.txt にありません (分類 0000、土質名なしで変換されます)");
    };
  }
  RowHook Colours() {
    return [this](const std::string& path, const std::vector<std::string>& row, const std::vector<long>& lines) {
      const std::string& codes = row[2];
      for (std::size_t at = 0; at < 6 && at < codes.size(); at += 2) {
        std::string slice = codes.substr(at, 2);
        if (TrimSpaces(slice).empty() || !EncodeColour(slice).words.empty()) continue;
        report_.Warn(path, lines[2], "unknown-colour-code",
                     "色コード「" + slice + "」に色がありません (色なしで変換されます)");
      }
    };
  }
  // The merge read again as the block reads it: no row of either table is kept for it.
  void CheckIntervals(const std::string& folder) {
    long long n = 0;
    if (!MergeBoringLayers(folder, [&n](const MergedInterval&) { ++n; })) return;  // told by the table check
    if (n > 999)
      report_.Warn(folder + "\\X1.TXT", 0, "too-many-rows",
                   "層と色の区間が " + std::to_string(n) + " あります (999 を超えた区間番号は下三桁だけになります)");
  }

 private:
  const SoilNameTable& soils_;
  Report& report_;
};

// Measurement file pairs the "F" block leaves out, and why. Only where they are used: with no
// "L204.txt" in the boring.
void CheckMeasurementPairs(const std::string& folder, Report& report) {
  if (platform::IsPlainFile(folder + "\\L204.txt") || !FCOPYSUB::IsPresent(folder + "\\PCNT.txt")) return;
  using Skip = MeasurementPair::Skip;
  long accepted = 0;
  Status listed = ForEachMeasurementPair(folder, [&](const MeasurementPair& p) {
    std::string why;
    switch (p.skip) {
      case Skip::None: ++accepted; return;
      case Skip::NotInFolder: why = "ボーリングのフォルダの外を指す名前です"; break;
      case Skip::MissingFile: why = ".HED か .TMP のファイルがありません"; break;
      case Skip::MissingValue: why = ".HED の 5・6 番目か .TMP の 10 番目の項目が空です"; break;
    }
    report.Warn(folder + "\\PCNT.txt", p.line, "measurement-skipped",
                "測定ファイル「" + Excerpt(p.name) + "」は使われません: " + why);
  });
  if (!listed) {
    report.Error(listed.file, listed.line, listed.fault == Fault::NotCp932 ? "not-cp932" : "unreadable",
                 listed.description + " (変換は止まります)");
    return;
  }
  if (accepted > 999)
    report.Warn(folder + "\\PCNT.txt", 0, "too-many-rows",
                "使える測定ファイルが " + std::to_string(accepted) + " 組あります (999 組を超えた分は変換されません)");
}

}  // namespace

BoringCheck CheckBoring(const std::string& folder, const std::string& destination) {
  BoringCheck check;
  check.folder = folder;
  Report report(check);
  SoilNameTable soils;
  if (Status s = LoadSoilNameTable(soils); !s)
    report.Error(s.file, s.line, "not-cp932", s.description + " (変換は止まります)");
  else if (soils.hostPath.empty() && platform::IsPlainFile(folder + "\\X1.TXT"))
    report.Warn(CodeTableFolder() + "Kishitu.txt", 0, "no-soil-table",
                "土質名の表がありません (すべての層が分類 0000、土質名なしになります)");
  LayerMeaning meaning(soils, report);
  bool titlesReadable = true;
  for (const TableRule& rule : BoringTables()) {
    std::string name = rule.name;
    RowHook hook = name == "X1.TXT" ? meaning.Layers() : name == "X3.TXT" ? meaning.Colours() : RowHook();
    bool readable = CheckTable(folder, rule, hook, report);
    if (name == "X3.TXT") meaning.CheckIntervals(folder);
    if (std::string(rule.name).rfind("titl", 0) == 0) titlesReadable = titlesReadable && readable;
  }
  CheckMeasurementPairs(folder, report);
  CheckCodeTables(folder, report);
  if (titlesReadable) CheckCoordinates(folder, check, destination, report);
  report.Finish();
  return check;
}

}  // namespace zk
