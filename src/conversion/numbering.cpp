#include "conversion/numbering.h"

#include <algorithm>
#include <cmath>

#include "exchange/exchange_file.h"
#include "platform/files.h"
#include "support/reda32.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"

namespace zk {
namespace {

using QXCOMSUB::HasLeadingNumber;
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

// Wide enough for 18 digits times 3600 times 10.
__extension__ typedef __int128 Wide;

// A decimal text as an exact fraction m / 10^scale; false when it will not fit.
struct Decimal {
  Wide m = 0;
  int scale = 0;
};

bool ParseExact(const std::string& text, Decimal& d) {
  d = Decimal{};
  if (!HasLeadingNumber(text)) return true;  // no number reads as 0
  std::size_t i = text.find_first_not_of(" \t");
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  int digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      if (++digits > 18) return false;
      d.m = d.m * 10 + (c - '0');
      if (point) ++d.scale;
    } else {
      break;
    }
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E') && i + 1 < text.size() &&
      std::string("+-0123456789").find(text[i + 1]) != std::string::npos)
    return false;  // exponent forms are left to the floating-point code
  if (negative) d.m = -d.m;
  return true;
}

Wide Pow10(int n) {
  Wide p = 1;
  while (n-- > 0) p *= 10;
  return p;
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

std::string ExactMeshCode(const std::string& latD, const std::string& latM, const std::string& latS,
                          const std::string& lonD, const std::string& lonM, const std::string& lonS) {
  Decimal v[6];
  const std::string* texts[6] = {&latD, &latM, &latS, &lonD, &lonM, &lonS};
  int scale = 0;
  for (int i = 0; i < 6; ++i) {
    if (!ParseExact(*texts[i], v[i])) return {};
    scale = std::max(scale, v[i].scale);
  }
  auto at = [&](int i) { return v[i].m * Pow10(scale - v[i].scale); };
  auto digits = [](Wide x) { return std::to_string(static_cast<long long>(x)); };
  // Latitude x 1.5 in degrees is (3600 D + 60 M + S) / 2400; longitude (3600 D + 60 M + S) / 3600.
  Wide lat = 3600 * at(0) + 60 * at(1) + at(2), latDen = 2400 * Pow10(scale);
  Wide lon = 3600 * at(3) + 60 * at(4) + at(5), lonDen = 3600 * Pow10(scale);
  Wide p = lat / latDen, rest = lat - p * latDen;
  Wide q = rest * 8 / latDen;
  rest = rest * 8 - q * latDen;
  Wide r = rest * 10 / latDen;
  Wide whole = lon / lonDen, lrest = lon - whole * lonDen;
  Wide v1 = lrest * 8 / lonDen;
  lrest = lrest * 8 - v1 * lonDen;
  Wide w = lrest * 10 / lonDen;
  return digits(p) + digits(whole - 100) + digits(q) + digits(v1) + digits(r) + digits(w);
}

std::string ExchangeFileNameOf(const std::string& meshCode, long sequence) {
  return meshCode + "." + QXCOMSUB::Counter3(sequence);
}

Status AssignExchangeFileName(const std::string& source, const std::string& destination, const Coordinates& c,
                              WindowOps& ui, Numbering& result) {
  return AssignExchangeFileName(LoadTableFile(source + "\\BORLING.NO"), destination, c, ui, result);
}

Status AssignExchangeFileName(const TableFile& record, const std::string& destination, const Coordinates& c,
                              WindowOps& ui, Numbering& result) {
  result = Numbering{};
  std::vector<std::string> listing = ListRemovingPartialFiles(destination);

  if (record.IsPlainFile() && record.length >= 2) {
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
  } else if (record.IsPlainFile()) {
    platform::RemoveFile(record.drivePath);
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
