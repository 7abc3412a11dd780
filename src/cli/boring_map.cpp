#include "cli/boring_map.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/check_report.h"
#include "exchange/exchange_file.h"
#include "platform/files.h"

namespace zk::cli {
namespace {

namespace fs = std::filesystem;

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

int Digits(const std::string& text, std::size_t from, std::size_t count) {
  int value = 0;
  for (std::size_t i = from; i < from + count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

// A number as JSON writes it, in the C form whatever the locale: fixed with the given
// decimals.
std::string Number(double value, int decimals) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

// Depth text III.CC of record 003 field 12.
bool DepthOf(const std::string& field, double& depth) {
  std::size_t dot = field.find('.');
  if (dot == std::string::npos || dot == 0 || dot > 6 || field.size() != dot + 3 || !AllDigits(field.substr(0, dot)) ||
      !AllDigits(field.substr(dot + 1)))
    return false;
  depth = Digits(field, 0, dot) + Digits(field, dot + 1, 2) / 100.0;
  return true;
}

}  // namespace

bool DegreesOf(const std::string& field, std::size_t degreeDigits, double& degrees) {
  if (field.size() != degreeDigits + 5 || !AllDigits(field)) return false;
  int d = Digits(field, 0, degreeDigits);
  int m = Digits(field, degreeDigits, 2);
  int tenths = Digits(field, degreeDigits + 2, 3);
  if (m >= 60 || tenths >= 600) return false;
  degrees = d + m / 60.0 + tenths / 36000.0;
  return true;
}

Status CollectBoringPoint(const std::vector<ExchangeRecord>& records, const std::string& file, BoringPoint& point) {
  point = BoringPoint{};
  point.file = file.substr(file.find_last_of("\\/") + 1);
  const ExchangeRecord* r003 = nullptr;
  bool has002 = false;
  for (const ExchangeRecord& record : records) {
    if (record.Key() != "A") continue;
    point.boringId = record.BoringId();
    if (record.SubNumber() == "001") point.title = record.Field(4);
    if (record.SubNumber() == "002") {
      point.boringName = record.Field(4);
      has002 = true;
    }
    if (record.SubNumber() == "003") r003 = &record;
  }
  if (!r003 || !has002) return Status::Failed(Fault::BadRecord, file, "見出しのレコード \"A\" 002, 003 がありません");
  point.meshCode = point.boringId.substr(0, 8);
  if (!DegreesOf(r003->Field(4), 2, point.latitude))
    return Status::Failed(Fault::BadRecord, file, "緯度「" + r003->Field(4) + "」が DDMMSSS の形ではありません",
                          r003->line);
  if (!DegreesOf(r003->Field(5), 3, point.longitude))
    return Status::Failed(Fault::BadRecord, file, "経度「" + r003->Field(5) + "」が DDDMMSSS の形ではありません",
                          r003->line);
  if (!DepthOf(r003->Field(12), point.depth))
    return Status::Failed(Fault::BadRecord, file, "総掘進長「" + r003->Field(12) + "」が III.CC の形ではありません",
                          r003->line);
  return Status::Ok();
}

std::string BoringMapGeoJson(const std::vector<BoringPoint>& points) {
  std::string out = "{\"type\": \"FeatureCollection\", \"features\": [";
  for (std::size_t i = 0; i < points.size(); ++i) {
    const BoringPoint& p = points[i];
    out += i ? ",\n  " : "\n  ";
    // Seven decimals hold a tenth of a second (about 3 m) without loss.
    out += "{\"type\": \"Feature\", \"geometry\": {\"type\": \"Point\", \"coordinates\": [" + Number(p.longitude, 7) +
           ", " + Number(p.latitude, 7) + "]}, \"properties\": {\"meshCode\": " + JsonString(p.meshCode) +
           ", \"boringName\": " + JsonString(p.boringName) + ", \"depth\": " + Number(p.depth, 2) +
           ", \"boringId\": " + JsonString(p.boringId) + ", \"title\": " + JsonString(p.title) +
           ", \"file\": " + JsonString(p.file) + "}}";
  }
  out += points.empty() ? "]}\n" : "\n]}\n";
  return out;
}

Status WriteWholeFile(const std::string& hostPath, const std::string& text) {
  return ReplaceHostFileBytes(platform::HostPath(hostPath), text);
}

}  // namespace zk::cli
