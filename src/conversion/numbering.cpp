#include "conversion/numbering.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "exchange/exchange_file.h"
#include "platform/files.h"
#include "support/reda32.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"

namespace zk {
namespace {

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

// Coordinates are worked exactly in decimal, as written: a point on the edge of a square
// belongs to the square it begins, whatever binary fractions would make of it. 128 bits hold
// 3661 times a value below 10^9 at 24 decimals.
__extension__ typedef __int128 Wide;

constexpr long long kMostWholeDigits = 9;  // a coordinate value of 10^9 or more has no square
constexpr long long kMostDecimals = 24;    // decimals beyond these (trailing zeros aside) are refused

// A value m / 10^scale.
struct ExactValue {
  Wide m = 0;
  int scale = 0;
};

Wide Pow10(long long n) {
  Wide p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading number of text exactly as the lenient parse reads it (blanks, a sign, digits
// with at most one ".", an optional exponent; no number is 0); false when its value is beyond
// the bounds above. A text of any length is read once through.
bool ReadExact(std::string_view text, ExactValue& v) {
  v = ExactValue{};
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // The significant digits, from the first to the last that is not 0: no more than a value
  // within the bounds can have.
  constexpr long long kMostDigits = kMostWholeDigits + kMostDecimals;
  std::string digits;
  long long zeros = 0;     // zeros read after them, not yet known to be significant
  long long decimals = 0;  // digits read after the point
  bool point = false, any = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      any = true;
      if (point) ++decimals;
      if (text[i] == '0') {
        if (!digits.empty()) ++zeros;
        continue;
      }
      if (static_cast<long long>(digits.size()) + zeros + 1 > kMostDigits) return false;
      digits.append(static_cast<std::size_t>(zeros), '0');
      zeros = 0;
      digits += text[i];
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!any) return true;
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    bool minus = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) minus = text[j++] == '-';
    for (; j < text.size() && IsDigit(text[j]); ++j)
      if (exponent < 1000000) exponent = exponent * 10 + (text[j] - '0');
    if (minus) exponent = -exponent;
  }
  if (digits.empty()) return true;                // zero, however written
  long long power = exponent - decimals + zeros;  // the value is digits x 10^power
  if (static_cast<long long>(digits.size()) + power > kMostWholeDigits || -power > kMostDecimals) return false;
  for (char d : digits) v.m = v.m * 10 + (d - '0');
  if (power > 0) v.m *= Pow10(power);
  v.scale = power < 0 ? static_cast<int>(-power) : 0;
  if (negative) v.m = -v.m;
  return true;
}

}  // namespace

std::string ComputeMeshCode(const Coordinates& c) {
  ExactValue v[6];
  const std::string* texts[6] = {&c.latDegrees, &c.latMinutes, &c.latSeconds,
                                 &c.lonDegrees, &c.lonMinutes, &c.lonSeconds};
  int scale = 0;
  for (int i = 0; i < 6; ++i) {
    if (!ReadExact(*texts[i], v[i])) return {};
    scale = std::max(scale, v[i].scale);
  }
  // Seconds of arc, all six values brought to one scale: S = 3600 D + 60 M + S, in units of
  // 10^-scale seconds.
  auto at = [&](int i) { return v[i].m * Pow10(scale - v[i].scale); };
  const Wide one = Pow10(scale);
  Wide lat = 3600 * at(0) + 60 * at(1) + at(2);
  Wide lon = 3600 * at(3) + 60 * at(4) + at(5);
  if (lat < 0 || lon < 0) return {};
  // A first-level square is 40' of latitude (2400") by 1° of longitude (3600"), divided 8 x 8
  // into second-level squares (300" by 450"), each 10 x 10 into third-level ones (30" by 45").
  Wide p = lat / (2400 * one), q = lat % (2400 * one) / (300 * one), r = lat % (300 * one) / (30 * one);
  Wide u = lon / (3600 * one) - 100, w1 = lon % (3600 * one) / (450 * one), w = lon % (450 * one) / (45 * one);
  if (p < 10 || p > 99 || u < 10 || u > 99) return {};
  auto digits = [](Wide x) { return std::to_string(static_cast<long long>(x)); };
  return digits(p) + digits(u) + digits(q) + digits(w1) + digits(r) + digits(w);
}

bool IsMeshCode(const std::string& code) {
  return code.size() == 8 && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

long NextSequenceNumber(const std::vector<std::string>& listing, const std::string& meshCode) {
  long highest = 0;
  for (const std::string& name : listing) {
    if (name.size() != 12 || name.compare(0, 8, meshCode) != 0 || !DigitsAndDots(name)) continue;
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

bool Listed(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The next free name of the mesh code among names and taken, else a fault naming the
// destination and the mesh code: after .999 comes .000, and when that is taken too there is no
// number left.
Status TakeNextName(const std::string& destination, const std::string& meshCode, const std::vector<std::string>& names,
                    const std::vector<std::string>& taken, Numbering& result) {
  long sequence = std::max(NextSequenceNumber(names, meshCode), NextSequenceNumber(taken, meshCode));
  std::string name = ExchangeFileNameOf(meshCode, sequence);
  if (Listed(names, name) || Listed(taken, name))
    return Status::Failed(Fault::Unwritable, destination,
                          "メッシュコード " + meshCode + " の交換ファイルの番号 (.001 から .999 と .000) は" +
                              "すべて使われています。何も書き込みませんでした");
  result.sequence = sequence;
  result.exchangeFileName = name;
  return Status::Ok();
}

// The destination listed afresh into kept (stale temporaries removed on the way).
Status ListInto(const platform::DriveMap& drives, const std::string& destination, DestinationListing& kept) {
  kept.folder.clear();
  kept.names.clear();
  ++kept.listings;
  if (Status s = ListRemovingStaleFiles(drives, destination, kept.names); !s) return s;
  kept.folder = destination;
  return Status::Ok();
}

}  // namespace

void KeepClaimedName(DestinationListing& kept, const std::string& destination, const std::string& name) {
  if (!kept.folder.empty() && SameFolder(kept.folder, destination) && !Listed(kept.names, name))
    kept.names.push_back(name);
}

Status AssignExchangeFileName(const platform::DriveMap& drives, const std::string& source,
                              const std::string& destination, const Coordinates& c, WindowOps& ui, Numbering& result) {
  return AssignExchangeFileName(drives, LoadTableFile(drives, source + "\\BORLING.NO"), destination, c, ui, result);
}

Status AssignExchangeFileName(const platform::DriveMap& drives, const TableFile& record, const std::string& destination,
                              const Coordinates& c, WindowOps& ui, Numbering& result, DestinationListing* kept) {
  result = Numbering{};
  DestinationListing own;
  if (kept == nullptr) kept = &own;
  if (kept->folder.empty() || !SameFolder(kept->folder, destination))
    if (Status s = ListInto(drives, destination, *kept); !s) return s;
  const std::vector<std::string>& listing = kept->names;
  std::string meshCode = ComputeMeshCode(c);

  if (record.IsPlainFile() && record.length >= 2) {
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
    if (ours && Listed(listing, name)) {
      if (!ui.AskYesNo("既に同一ﾌｫﾙﾀﾞ「" + Excerpt(stored) + "」に変換済みです。変換を実行しますか？")) {
        result.stopped = true;
        return Status::Ok();
      }
      result.reuse = true;
      result.exchangeFileName = name;
      result.sequence = NumberAfterDot(name);
      return Status::Ok();
    }
    if (!ui.AskYesNo("既に「" + Excerpt(stored) + "」に変換済みです。変換を実行しますか？")) {
      result.stopped = true;
      return Status::Ok();
    }
  } else if (record.IsPlainFile()) {
    platform::RemoveFile(drives, record.drivePath);
  }
  return TakeNextName(destination, meshCode, listing, {}, result);
}

Status NumberAgain(const platform::DriveMap& drives, const std::string& destination, std::vector<std::string>& taken,
                   Numbering& numbering, DestinationListing* kept) {
  taken.push_back(numbering.exchangeFileName);
  DestinationListing own;
  if (kept == nullptr) kept = &own;
  if (Status s = ListInto(drives, destination, *kept); !s) return s;
  return TakeNextName(destination, numbering.exchangeFileName.substr(0, 8), kept->names, taken, numbering);
}

Status RecordConversion(const platform::DriveMap& drives, const std::string& source, const std::string& destination,
                        const std::string& exchangeFileName) {
  StagedTextFile record;
  if (Status s = StageRecordConversion(drives, source, destination, exchangeFileName, record); !s) return s;
  return record.Commit();
}

Status StageRecordConversion(const platform::DriveMap& drives, const std::string& source,
                             const std::string& destination, const std::string& exchangeFileName,
                             StagedTextFile& record, const std::optional<std::filesystem::path>& host) {
  std::string drivePath = source + "\\BORLING.NO";
  std::string text = destination + "\\" + exchangeFileName + "\r\n";
  return host ? record.StageHost(*host, drivePath, text) : record.Stage(drives, drivePath, text);
}

}  // namespace zk
