#include "conversion/numbering.h"

#include <algorithm>
#include <cmath>

#include "conversion/exchange_file.h"
#include "platform/files.h"
#include "support/reda32.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"

namespace zk {
namespace {

using QXCOMSUB::IntText;
using QXCOMSUB::ParseNumber;

bool DigitsAndDots(const std::string& name) {
  for (char c : name)
    if (!((c >= '0' && c <= '9') || c == '.')) return false;
  return true;
}

// The number after the first "." of a name, 0 when it has none.
long NumberAfterDot(const std::string& name) {
  std::size_t dot = name.find('.');
  if (dot == std::string::npos) return 0;
  double value = std::trunc(ParseNumber(name.substr(dot + 1)));
  if (!(std::fabs(value) < 1e9)) return 0;
  return static_cast<long>(value);
}

}  // namespace

std::string ComputeMeshCode(const Coordinates& c) {
  double lat = (ParseNumber(c.latDegrees) + ParseNumber(c.latMinutes) / 60 + ParseNumber(c.latSeconds) / 3600) * 1.5;
  double lon = ParseNumber(c.lonDegrees) + ParseNumber(c.lonMinutes) / 60 + ParseNumber(c.lonSeconds) / 3600;
  double p = std::trunc(lat);
  double u = std::trunc(lon) - 100;
  lat = (lat - p) * 8;
  lon = (lon - u - 100) * 8;
  double q = std::trunc(lat);
  double v = std::trunc(lon);
  lat = (lat - q) * 10;
  lon = (lon - v) * 10;
  double r = std::trunc(lat);
  double w = std::trunc(lon);
  return IntText(p) + IntText(u) + IntText(q) + IntText(v) + IntText(r) + IntText(w);
}

bool IsMeshCode(const std::string& code) {
  return code.size() == 8 && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

long NextSequenceNumber(const std::vector<std::string>& listing, const std::string& meshCode) {
  long highest = 0;
  for (const std::string& name : listing) {
    if (name.size() != 12 || !DigitsAndDots(name) || name.compare(0, 8, meshCode) != 0) continue;
    long number = static_cast<long>(std::trunc(ParseNumber(name.substr(9))));
    if (number > highest) highest = number;
  }
  return highest + 1;
}

std::string ExchangeFileNameOf(const std::string& meshCode, long sequence) {
  return meshCode + "." + QXCOMSUB::Counter3(sequence);
}

bool IsExchangeFileName(const std::string& name) {
  return name.size() == 12 && name[8] == '.' && IsMeshCode(name.substr(0, 8)) &&
         std::all_of(name.begin() + 9, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool SameFolder(const std::string& a, const std::string& b) {
  auto normal = [](const std::string& path) {
    std::string text;
    for (char c : path) {
      if (c == '/') c = '\\';
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c == '\\' && !text.empty() && text.back() == '\\') continue;
      text += c;
    }
    while (text.size() > 3 && text.back() == '\\') text.pop_back();
    return text;
  };
  return normal(a) == normal(b);
}

namespace {

// The next free name of the mesh code among names, else a fault naming the destination and
// the mesh code: after .999 comes .000, and when that is taken too there is no number left.
Status TakeNextName(const std::string& destination, const std::string& meshCode, const std::vector<std::string>& names,
                    const std::vector<std::string>& taken, Numbering& result) {
  std::vector<std::string> used = names;
  used.insert(used.end(), taken.begin(), taken.end());
  long sequence = NextSequenceNumber(used, meshCode);
  std::string name = ExchangeFileNameOf(meshCode, sequence);
  if (std::find(used.begin(), used.end(), name) != used.end())
    return Status::Failed(Fault::Unwritable, destination,
                          "メッシュコード " + meshCode + " の交換ファイルの番号 (.001 から .999 と .000) は" +
                              "すべて使われています。何も書き込みませんでした");
  result.sequence = sequence;
  result.exchangeFileName = name;
  return Status::Ok();
}

}  // namespace

Status AssignExchangeFileName(const std::string& source, const std::string& destination, const Coordinates& c,
                              WindowOps& ui, Numbering& result) {
  result = Numbering{};
  std::vector<std::string> listing;
  if (Status s = ListRemovingStaleFiles(destination, listing); !s) return s;
  std::string meshCode = ComputeMeshCode(c);

  std::string record = source + "\\BORLING.NO";
  auto length = platform::FileLength(record);
  if (length && *length >= 2) {
    TableReader reader;
    if (Status s = reader.Open(record); !s) return s;
    std::string stored = reader.AtEnd() ? std::string() : reader.ReadField();
    reader.Close();
    std::string folder = QXCOMSUB::FolderPart(stored);
    std::string name = stored.substr(folder.size());
    // Only this boring's own file of this folder may be written over: a name of another
    // folder, of another mesh code (the coordinates were corrected) or of another form
    // ("X1.TXT", "passwd") may belong to something else.
    bool ours = SameFolder(folder, destination) && IsExchangeFileName(name) && name.compare(0, 8, meshCode) == 0;
    if (ours && std::find(listing.begin(), listing.end(), name) != listing.end()) {
      if (!ui.AskYesNo("既に同一ﾌｫﾙﾀﾞ「" + stored + "」に変換済みです。変換を実行しますか？")) {
        result.stopped = true;
        return Status::Ok();
      }
      result.reuse = true;
      result.exchangeFileName = name;
      result.sequence = NumberAfterDot(name);
      return Status::Ok();
    }
    if (!ui.AskYesNo("既に「" + stored + "」に変換済みです。変換を実行しますか？")) {
      result.stopped = true;
      return Status::Ok();
    }
  } else if (length) {
    platform::RemoveFile(record);
  }
  return TakeNextName(destination, meshCode, listing, {}, result);
}

Status NumberAgain(const std::string& destination, std::vector<std::string>& taken, Numbering& numbering) {
  taken.push_back(numbering.exchangeFileName);
  std::vector<std::string> listing;
  if (Status s = ListRemovingStaleFiles(destination, listing); !s) return s;
  return TakeNextName(destination, numbering.exchangeFileName.substr(0, 8), listing, taken, numbering);
}

Status RecordConversion(const std::string& source, const std::string& destination, const std::string& exchangeFileName) {
  StagedTextFile record;
  if (Status s = StageRecordConversion(source, destination, exchangeFileName, record); !s) return s;
  return record.Commit();
}

Status StageRecordConversion(const std::string& source, const std::string& destination,
                             const std::string& exchangeFileName, StagedTextFile& record) {
  return record.Stage(source + "\\BORLING.NO", destination + "\\" + exchangeFileName + "\r\n");
}

}  // namespace zk
