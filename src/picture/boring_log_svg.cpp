#include "picture/boring_log_svg.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>

#include "exchange/exchange_file.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/gcc_warnings.h"
#include "support/text_bytes.h"
#include "tables/numbers.h"

namespace zk {
namespace {

// ---------------------------------------------------------------- reading the records

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit); }

// III.CC: three digits of whole metres, ".", two of centimetres, as the writers make it.
bool IsDepthText(const std::string& text) {
  return text.size() == 6 && text[3] == '.' && AllDigits(std::string_view(text).substr(0, 3)) &&
         AllDigits(std::string_view(text).substr(4));
}

Status Refuse(const std::string& file, const ExchangeRecord& record, const std::string& description) {
  return Status::Failed(Fault::BadRecord, file, record.Key() + " 記録 " + record.SubNumber() + ": " + description,
                        record.line);
}

Status NeedFields(const std::string& file, const ExchangeRecord& record, std::size_t n) {
  if (record.fields.size() >= n) return Status::Ok();
  return Refuse(
      file, record,
      "項目が " + std::to_string(record.fields.size()) + " つしかありません (" + std::to_string(n) + " つ要ります)");
}

Status ReadDepth(const std::string& file, const ExchangeRecord& record, double& depth) {
  const std::string& text = record.Field(4);
  if (!IsDepthText(text)) return Refuse(file, record, "深度「" + Excerpt(text) + "」が III.CC の形ではありません");
  depth = QXCOMSUB::ParseNumber(text);
  return Status::Ok();
}

Status CollectInterval(const std::string& file, const ExchangeRecord& record, BoringLog& log) {
  if (Status s = NeedFields(file, record, 8); !s) return s;
  LogInterval interval;
  if (Status s = ReadDepth(file, record, interval.bottom); !s) return s;
  interval.depthText = record.Field(4);
  interval.code = record.Field(5);
  interval.soilName = record.Field(6);
  interval.colourLetters = record.Field(7);
  interval.colourWord = record.Field(8);
  log.intervals.push_back(std::move(interval));
  return Status::Ok();
}

Status CollectTest(const std::string& file, const ExchangeRecord& record, BoringLog& log) {
  if (Status s = NeedFields(file, record, 6); !s) return s;
  LogTest test;
  if (Status s = ReadDepth(file, record, test.depth); !s) return s;
  const std::string& blows = record.Field(5);
  if (!AllDigits(blows) || blows.size() > 2)
    return Refuse(file, record, "N 値「" + Excerpt(blows) + "」が 2 桁の数字ではありません");
  test.depthText = record.Field(4);
  test.blows = std::stoi(blows);
  test.penetration = record.Field(6);
  log.tests.push_back(std::move(test));
  return Status::Ok();
}

void CollectHeader(const ExchangeRecord& record, BoringLog& log) {
  const std::string& sub = record.SubNumber();
  if (sub == "001") {
    log.title = record.Field(4);
  } else if (sub == "002") {
    log.boringName = record.Field(4);
  } else if (sub == "003") {
    log.latitude = record.Field(4);
    log.longitude = record.Field(5);
    log.elevation = record.Field(6);
    log.totalDepth = record.Field(12);
  }
}

// ---------------------------------------------------------------- SVG text

// Text from the file as XML character data or attribute text. Control characters that XML
// cannot hold at all become U+FFFD, so no field can break the picture.
std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
          out += "\xEF\xBF\xBD";
        } else {
          out += c;
        }
    }
  }
  return out;
}

// A coordinate with one decimal, whatever the locale.
std::string Px(double value) {
  if (!std::isfinite(value)) value = 0;
  std::array<char, 64> buffer{};
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 1);
  std::string text(buffer.data(), result.ptr);
  if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
  if (text == "-0") text = "0";
  return text;
}

// DDMMSSS (latitude, 7 digits) or DDDMMSSS (longitude, 8 digits) as degrees, minutes, seconds.
std::string AngleText(const std::string& field, std::size_t degreeDigits) {
  if (field.size() != degreeDigits + 5 || !AllDigits(field)) return field;
  std::string seconds = field.substr(degreeDigits + 2, 2);
  if (seconds[0] == '0') seconds.erase(0, 1);
  return std::to_string(std::stoi(field.substr(0, degreeDigits))) + "°" + field.substr(degreeDigits, 2) + "′" +
         seconds + "." + field.substr(degreeDigits + 4, 1) + "″";
}

std::string WithUnit(const std::string& field, const char* unit) {
  return field.empty() ? "—" : MetresText(field) + " " + unit;
}

// The penetration field without its leading zero ("08" is 8 cm).
std::string PenetrationText(const std::string& field) {
  std::string text = field;
  while (text.size() > 1 && text[0] == '0') text.erase(0, 1);
  return text;
}

// What the plot writes beside a test: the blow count, and the penetration where it was written
// (50 and more, or no blows at all).
std::string BlowsLabel(const LogTest& test) {
  if (test.penetration == "*") return std::to_string(test.blows) + "以上";
  if (test.penetration.empty()) return std::to_string(test.blows);
  return std::to_string(test.blows) + "/" + PenetrationText(test.penetration);
}

// A pale tint of an interval's colour, from the last hue among its colour letters (in 黒褐,
// dark brown, brown is the hue); shade and pattern letters have none.
const char* Tint(const std::string& letters) {
  static const std::pair<char, const char*> kTints[] = {
      {'K', "#c4c4c4"}, {'C', "#e8d4b8"}, {'R', "#f4c9c9"}, {'O', "#f7dcc0"}, {'Y', "#f8efb8"},
      {'M', "#d4ebd2"}, {'A', "#d3e2f4"}, {'V', "#e2d4ec"}, {'H', "#e0e0e0"}, {'W', "#ffffff"},
  };
  for (auto it = letters.rbegin(); it != letters.rend(); ++it)
    for (const auto& [letter, tint] : kTints)
      if (*it == letter) return tint;
  return "#ffffff";
}

// Text positions that keep at least gap apart, each as near its wish as that allows.
std::vector<double> Spread(const std::vector<double>& wished, double gap, double from) {
  std::vector<double> placed;
  double last = from - gap;
  for (double y : wished) {
    last = std::max(y, last + gap);
    placed.push_back(last);
  }
  return placed;
}

// Layout of the picture, in pixels.
constexpr double kDepthAxisX = 70;  // the depth axis line; its labels to the left
constexpr double kDepthColX = 140;  // right edge of the bottom depth labels
constexpr double kColumnX = 150;    // the layer column
constexpr double kColumnW = 60;
constexpr double kSoilX = 220;    // soil name and code
constexpr double kColourX = 400;  // colour word
constexpr double kPlotX = 480;    // N = 0
constexpr double kPerBlow = 6;    // N = 50 at kPlotX + 300
constexpr double kEdgeX = kPlotX + 50 * kPerBlow;
constexpr double kWidth = kEdgeX + 110;
constexpr double kPlotTop = 190;
constexpr double kLineGap = 14;  // least distance between two labels of a column

constexpr const char* kFonts =
    "'Noto Sans CJK JP', 'Noto Sans JP', 'Source Han Sans JP', 'Hiragino Sans', 'Hiragino Kaku Gothic ProN', "
    "'Yu Gothic', 'Meiryo', 'MS Gothic', 'IPAexGothic', 'IPAGothic', 'TakaoGothic', 'VL Gothic', sans-serif";

// Written out as it is drawn: a picture of millions of layers is never held as one text.
class Svg {
 public:
  explicit Svg(std::ostream& out) : out_(out) {}
  void Text(double x, double y, const std::string& text, const char* extra = "") {
    out_ << "<text x=\"" + Px(x) + "\" y=\"" + Px(y) + "\"" + (*extra ? std::string(" ") + extra : "") + ">" +
                Escape(text) + "</text>\n";
  }
  void Line(double x1, double y1, double x2, double y2, const char* stroke = "#000", double width = 1) {
    out_ << "<line x1=\"" + Px(x1) + "\" y1=\"" + Px(y1) + "\" x2=\"" + Px(x2) + "\" y2=\"" + Px(y2) + "\" stroke=\"" +
                stroke + "\" stroke-width=\"" + Px(width) + "\"/>\n";
  }
  void Rect(double x, double y, double w, double h, const char* fill, const char* stroke = "#000") {
    out_ << "<rect x=\"" + Px(x) + "\" y=\"" + Px(y) + "\" width=\"" + Px(std::max(w, 0.0)) + "\" height=\"" +
                Px(std::max(h, 0.0)) + "\" fill=\"" + fill + "\" stroke=\"" + stroke + "\"/>\n";
  }
  void Raw(const std::string& text) { out_ << text; }

 private:
  std::ostream& out_;
};

struct Scale {
  double end = 1;        // whole metres shown
  double perMetre = 40;  // pixels
  double Y(double depth) const { return kPlotTop + std::clamp(depth, 0.0, end) * perMetre; }
};

Scale ScaleFor(const BoringLog& log) {
  double deepest = 0;
  if (IsDepthText(log.totalDepth)) deepest = QXCOMSUB::ParseNumber(log.totalDepth);
  for (const auto& i : log.intervals) deepest = std::max(deepest, i.bottom);
  for (const auto& t : log.tests) deepest = std::max(deepest, t.depth);
  Scale scale;
  scale.end = std::floor(deepest) + 1;
  scale.perMetre = std::clamp(1600 / scale.end, 4.0, 40.0);
  return scale;
}

void DrawTitle(Svg& svg, const BoringLog& log, const std::string& fileName) {
  std::string mesh = log.boringId.substr(0, std::min<std::size_t>(8, log.boringId.size()));
  svg.Text(20, 34, "ボーリング柱状図", "font-size=\"20\" font-weight=\"bold\"");
  svg.Text(20, 60, "調査件名: " + log.title);
  svg.Text(20, 82, "ボーリング名: " + log.boringName);
  svg.Text(300, 82, "ボーリング ID: " + log.boringId);
  svg.Text(560, 82, "メッシュコード: " + mesh);
  svg.Text(20, 104, "緯度: " + AngleText(log.latitude, 2));
  svg.Text(200, 104, "経度: " + AngleText(log.longitude, 3));
  svg.Text(400, 104, "孔口標高: " + WithUnit(log.elevation, "m"));
  svg.Text(600, 104, "総掘進長: " + WithUnit(log.totalDepth, "m"));
  svg.Text(20, 126, "交換ファイル: " + fileName, "font-size=\"11\" fill=\"#555\"");
}

void DrawHeadings(Svg& svg) {
  const double y = kPlotTop - 30;
  svg.Text(kDepthAxisX - 6, y, "深度(m)", "text-anchor=\"end\"");
  svg.Text(kDepthColX, y, "下端深度", "text-anchor=\"end\"");
  svg.Text(kColumnX + kColumnW / 2, y, "柱状図", "text-anchor=\"middle\"");
  svg.Text(kSoilX, y, "土質名 (分類コード)");
  svg.Text(kColourX, y, "色調");
  svg.Text(kPlotX, y, "N 値 (打撃回数/貫入量 cm)");
  for (int n = 0; n <= 50; n += 10)
    svg.Text(kPlotX + n * kPerBlow, kPlotTop - 8, std::to_string(n), "text-anchor=\"middle\" font-size=\"11\"");
}

void DrawDepthAxis(Svg& svg, const Scale& scale) {
  double bottom = scale.Y(scale.end);
  svg.Line(kDepthAxisX, kPlotTop, kDepthAxisX, bottom);
  int labelEvery = scale.perMetre >= 15 ? 1 : scale.perMetre >= 6 ? 5 : 10;
  for (int m = 0; m <= static_cast<int>(scale.end); ++m) {
    bool labelled = m % labelEvery == 0;
    svg.Line(kDepthAxisX - (labelled ? 8 : 4), scale.Y(m), kDepthAxisX, scale.Y(m));
    if (labelled) svg.Text(kDepthAxisX - 12, scale.Y(m) + 4, std::to_string(m), "text-anchor=\"end\" font-size=\"11\"");
  }
}

// Where the labels go: each as near its line as the labels above it allow.
struct Labels {
  std::vector<double> depthY, nameY, testY;
  double Lowest() const {
    double lowest = 0;
    for (const auto* ys : {&depthY, &nameY, &testY})
      for (double y : *ys) lowest = std::max(lowest, y);
    return lowest;
  }
};

// The interval's top: the bottom of the deepest interval above it (0 for the first).
std::vector<double> IntervalTops(const BoringLog& log) {
  std::vector<double> tops;
  double top = 0;
  for (const auto& interval : log.intervals) {
    tops.push_back(std::min(top, interval.bottom));
    top = std::max(top, interval.bottom);
  }
  return tops;
}

Labels PlaceLabels(const BoringLog& log, const Scale& scale) {
  std::vector<double> bottoms, middles, tests;
  std::vector<double> tops = IntervalTops(log);
  for (std::size_t i = 0; i < log.intervals.size(); ++i) {
    double bottom = scale.Y(log.intervals[i].bottom);
    bottoms.push_back(bottom - 3);  // just above its boundary line
    middles.push_back((scale.Y(tops[i]) + bottom) / 2 + 4);
  }
  for (const auto& test : log.tests) tests.push_back(scale.Y(test.depth) + 4);
  return {Spread(bottoms, kLineGap, kPlotTop + 12), Spread(middles, kLineGap, kPlotTop + 4),
          Spread(tests, kLineGap, kPlotTop + 4)};
}

void DrawLayers(Svg& svg, const BoringLog& log, const Scale& scale, const Labels& labels) {
  svg.Raw("<g class=\"layers\">\n");
  std::vector<double> tops = IntervalTops(log);
  for (std::size_t i = 0; i < log.intervals.size(); ++i) {
    const LogInterval& interval = log.intervals[i];
    double top = scale.Y(tops[i]), bottom = scale.Y(interval.bottom);
    svg.Rect(kColumnX, top, kColumnW, bottom - top, Tint(interval.colourLetters));
    svg.Line(kDepthAxisX, bottom, kColumnX, bottom, "#888", 0.5);
    svg.Text(kDepthColX, labels.depthY[i], MetresText(interval.depthText), "text-anchor=\"end\" font-size=\"12\"");
    std::string name = interval.soilName.empty() ? "—" : interval.soilName;
    svg.Text(kSoilX, labels.nameY[i], name + " (" + interval.code + ")", "font-size=\"12\"");
    svg.Text(kColourX, labels.nameY[i], interval.colourWord.empty() ? "—" : interval.colourWord, "font-size=\"12\"");
  }
  svg.Raw("</g>\n");
}

// GCC 12 warns -Wrestrict on a concatenation below, falsely (platform/gcc_warnings.h).
ZK_GCC12_RESTRICT_FALSE_POSITIVE_BEGIN
void DrawTests(Svg& svg, const BoringLog& log, const Scale& scale, const Labels& labels) {
  double bottom = scale.Y(scale.end);
  for (int n = 0; n <= 50; n += 10)
    svg.Line(kPlotX + n * kPerBlow, kPlotTop, kPlotX + n * kPerBlow, bottom, n == 0 || n == 50 ? "#000" : "#ccc");
  svg.Raw("<g class=\"tests\">\n");
  std::string points;
  for (const auto& test : log.tests) {
    double x = kPlotX + std::min(test.blows, 50) * kPerBlow;
    points += (points.empty() ? "" : " ") + Px(x) + "," + Px(scale.Y(test.depth));
  }
  if (log.tests.size() > 1) svg.Raw("<polyline points=\"" + points + "\" fill=\"none\" stroke=\"#1f4e9c\"/>\n");
  for (std::size_t i = 0; i < log.tests.size(); ++i) {
    const LogTest& test = log.tests[i];
    double y = scale.Y(test.depth);
    if (test.blows >= 50) {
      // At the edge, pointing out of the axis: the count goes beyond what the axis shows.
      svg.Raw("<path d=\"M" + Px(kEdgeX) + "," + Px(y - 5) + " L" + Px(kEdgeX + 8) + "," + Px(y) + " L" + Px(kEdgeX) +
              "," + Px(y + 5) + " Z\" fill=\"#c0392b\"/>\n");
      svg.Text(kEdgeX + 12, labels.testY[i], BlowsLabel(test), "font-size=\"12\"");
    } else {
      double x = kPlotX + test.blows * kPerBlow;
      svg.Raw("<circle cx=\"" + Px(x) + "\" cy=\"" + Px(y) + "\" r=\"3\" fill=\"#1f4e9c\"/>\n");
      svg.Text(x + 6, labels.testY[i], BlowsLabel(test), "font-size=\"12\"");
    }
  }
  svg.Raw("</g>\n");
}
ZK_GCC12_RESTRICT_FALSE_POSITIVE_END

}  // namespace

std::string MetresText(const std::string& field) {
  std::size_t point = field.find('.');
  if (point == std::string::npos || point == 0 || !AllDigits(std::string_view(field).substr(0, point)) ||
      !AllDigits(std::string_view(field).substr(point + 1)))
    return field;
  std::size_t first = field.find_first_not_of('0');
  return field.substr(std::min(first, point - 1));
}

Status CollectRecord(const ExchangeRecord& record, const std::string& file, BoringLog& log) {
  if (log.boringId.empty()) log.boringId = record.BoringId();
  const std::string& key = record.Key();
  bool header = record.SubNumber() == "000";
  if (key == "A") {
    CollectHeader(record, log);
  } else if (key == "B" && !header) {
    return CollectInterval(file, record, log);
  } else if (key == "C" && !header) {
    return CollectTest(file, record, log);
  }
  return Status::Ok();
}

Status CollectBoringLog(const std::vector<ExchangeRecord>& records, const std::string& file, BoringLog& log) {
  log = BoringLog{};
  for (const ExchangeRecord& record : records)
    if (Status s = CollectRecord(record, file, log); !s) return s;
  return Status::Ok();
}

std::string BoringLogSvg(const BoringLog& log, const std::string& fileName) {
  std::ostringstream out;
  WriteBoringLogSvg(log, fileName, out);
  return out.str();
}

void WriteBoringLogSvg(const BoringLog& log, const std::string& fileName, std::ostream& out) {
  Scale scale = ScaleFor(log);
  Labels labels = PlaceLabels(log, scale);
  // Labels pushed apart may reach below the last metre.
  double height = std::max(scale.Y(scale.end), labels.Lowest()) + 30;
  Svg svg(out);
  svg.Raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  svg.Raw("<!-- Boring log drawn from an exchange file. UTF-8, not CP932: this picture is no input table. -->\n");
  svg.Raw("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Px(kWidth) + "\" height=\"" + Px(height) +
          "\" viewBox=\"0 0 " + Px(kWidth) + " " + Px(height) + "\" font-family=\"" + kFonts +
          "\" font-size=\"13\">\n");
  svg.Rect(0, 0, kWidth, height, "#fff", "none");
  DrawTitle(svg, log, fileName);
  DrawHeadings(svg);
  DrawDepthAxis(svg, scale);
  DrawLayers(svg, log, scale, labels);
  DrawTests(svg, log, scale, labels);
  svg.Raw("</svg>\n");
}

namespace {

// The records go into the log as they are read; only what the picture shows is kept, and the
// first bad line refuses the file.
Status ReadBoringLog(const platform::DriveMap& drives, const std::string& exchangeFile, BoringLog& log) {
  auto collect = [&](const ExchangeRecord& record) { return CollectRecord(record, exchangeFile, log); };
  return ReadExchangeFile(drives, exchangeFile, collect);
}

std::string NamePart(const std::string& exchangeFile) {
  return exchangeFile.substr(QXCOMSUB::FolderPart(exchangeFile).size());
}

}  // namespace

Status DrawLogPicture(const platform::DriveMap& drives, const std::string& exchangeFile, std::string& svg) {
  svg.clear();
  BoringLog log;
  if (Status s = ReadBoringLog(drives, exchangeFile, log); !s) return s;
  svg = BoringLogSvg(log, NamePart(exchangeFile));
  return Status::Ok();
}

Status WriteBoringLogPicture(const platform::DriveMap& drives, const std::string& exchangeFile,
                             const std::string& folder, std::string& written) {
  written.clear();
  if (!platform::IsFolder(drives, folder)) return Status::Failed(Fault::NotFound, folder, "出力フォルダがありません");
  BoringLog log;
  if (Status s = ReadBoringLog(drives, exchangeFile, log); !s) return s;
  std::string name = NamePart(exchangeFile);
  std::string target = folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + name + ".svg";
  // Written under a temporary name of this run, then put over an earlier picture of that name;
  // what killed runs left there goes first.
  std::vector<std::string> ignored;
  (void)ListRemovingStaleFiles(drives, folder, ignored);
  // Written out as it is drawn: a picture of a large exchange file is never held whole.
  StagedTextFile picture;
  if (Status s = picture.StageStream(drives, target, [&](std::ostream& out) { WriteBoringLogSvg(log, name, out); }); !s)
    return s;
  if (Status s = picture.Commit(); !s) return s;
  written = target;
  return Status::Ok();
}

}  // namespace zk
