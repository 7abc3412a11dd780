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

Status AssignExchangeFileName(const std::string& source, const std::string& destination, const Coordinates& c,
                              WindowOps& ui, Numbering& result) {
  result = Numbering{};
  std::vector<std::string> listing = ListRemovingPartialFiles(destination);

  std::string record = source + "\\BORLING.NO";
  auto length = platform::FileLength(record);
  if (length && *length >= 2) {
    TableReader reader;
    if (Status s = reader.Open(record); !s) return s;
    std::string stored = reader.AtEnd() ? std::string() : reader.ReadField();
    reader.Close();
    std::string name = stored.substr(QXCOMSUB::FolderPart(stored).size());
    for (const std::string& entry : listing) {
      if (entry != name) continue;
      if (!ui.AskYesNo("既に同一ﾌｫﾙﾀﾞ「" + stored + "」に変換済みです。変換を実行しますか？")) {
        result.stopped = true;
        return Status::Ok();
      }
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
  std::string meshCode = ComputeMeshCode(c);
  result.sequence = NextSequenceNumber(listing, meshCode);
  result.exchangeFileName = ExchangeFileNameOf(meshCode, result.sequence);
  return Status::Ok();
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
