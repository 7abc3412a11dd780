// Micro-benchmarks of the routines every boring passes through many times: the field reader
// and row scanner, the lenient number parse, number text, path lookup by name without regard
// to letter case, the folder listing of the numbering, and the soil-name look-up.
//
// Tables are written into a fresh temporary folder once per benchmark, in the layouts of the
// boring tables (68-field test tables spread over two lines, quoted Japanese text fields).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/soil_names.h"
#include "tables/catalogue.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"
#include "tables/table_access.h"

namespace fs = std::filesystem;

namespace {

// A temporary folder for one benchmark, removed at the end.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "zkbench-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (char* made = ::mkdtemp(buffer.data())) path_ = made;
  }
  ~Scratch() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  fs::path Host(const std::string& name) const { return path_ / name; }
  std::string Drive(const std::string& name = "") const {
    std::string folder = *zk::platform::DriveMap::FromEnvironment().ToDriveForm(path_);
    return name.empty() ? folder : folder + "\\" + name;
  }
  // Writes UTF-8 text as CP932.
  void Write(const std::string& name, const std::string& utf8) const {
    std::ofstream(Host(name), std::ios::binary) << *zk::platform::ToCp932(utf8);
  }

 private:
  fs::path path_;
};

// A test-kind table of rows of 68 fields over two lines: numbers, then quoted names.
std::string TestKindTable(long rows, bool japanese) {
  const char* names[] = {"標準貫入試験", "ベーン", "ｺﾛｰｼﾞｮﾝ", "", "間隙水圧測定"};
  const char* ascii[] = {"SPT", "VANE", "CONE", "", "PORE"};
  std::mt19937 rng(7);
  std::string text;
  for (long r = 1; r <= rows; ++r) {
    text += std::to_string(r);
    text += ',';
    text += std::to_string(static_cast<double>(rng() % 5000) / 100.0);
    for (int k = 3; k <= 28; ++k) {
      text += ',';
      text += std::to_string(rng() % 100);
    }
    text += "\r\n";
    for (int k = 29; k <= 68; ++k) {
      const char* name = k <= 48 ? (japanese ? names : ascii)[rng() % 5] : "";
      if (k > 29) text += ',';
      text += '"';
      text += name;
      text += '"';
    }
    text += "\r\n";
  }
  return text;
}

void BM_ReadRows(benchmark::State& state) {
  bool japanese = state.range(1) != 0;
  Scratch scratch;
  std::string text = TestKindTable(state.range(0), japanese);
  scratch.Write("X6.TXT", text);
  std::string path = scratch.Drive("X6.TXT");
  const zk::platform::DriveMap drives = zk::platform::DriveMap::FromEnvironment();
  std::vector<std::string> row;
  for (auto _ : state) {
    zk::TableReader reader;
    if (!reader.Open(drives, path)) state.SkipWithError("open failed");
    long rows = 0;
    while (!reader.AtEnd() && reader.ReadRow(zk::Layout(zk::TableId::X6).fields, row)) ++rows;
    benchmark::DoNotOptimize(rows);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  state.SetLabel(japanese ? "CP932 names" : "ASCII names");
}
BENCHMARK(BM_ReadRows)->Args({999, 1})->Args({999, 0})->Args({1998, 1})->Unit(benchmark::kMicrosecond);

// The counting pass of the table writers.
void BM_CountRows(benchmark::State& state) {
  Scratch scratch;
  std::string text = TestKindTable(state.range(0), true);
  scratch.Write("X7.TXT", text);
  std::string path = scratch.Drive("X7.TXT");
  const zk::platform::DriveMap drives = zk::platform::DriveMap::FromEnvironment();
  for (auto _ : state) {
    long count = 0;
    zk::Status s = zk::FCOPYSUB::CountRows(drives, path, zk::Layout(zk::TableId::X7).fields, count);
    benchmark::DoNotOptimize(count);
    if (!s) state.SkipWithError("scan failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_CountRows)->Arg(999)->Arg(1998)->Unit(benchmark::kMicrosecond);

// Opening alone: the path lookup and the CP932 check of a whole file.
void BM_OpenTable(benchmark::State& state) {
  Scratch scratch;
  std::string text = TestKindTable(state.range(0), true);
  scratch.Write("X7.TXT", text);
  std::string path = scratch.Drive("X7.TXT");
  const zk::platform::DriveMap drives = zk::platform::DriveMap::FromEnvironment();
  for (auto _ : state) {
    zk::TableReader reader;
    bool opened = static_cast<bool>(reader.Open(drives, path));
    benchmark::DoNotOptimize(opened);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_OpenTable)->Arg(1)->Arg(999)->Unit(benchmark::kMicrosecond);

const std::vector<std::string>& NumberTexts() {
  static const std::vector<std::string> texts = {
      "12.5", "  3", "-0.75", "1.5E-05", "99999.99", "", "abc", "12m", "0.00456", "1234.5", "2.5e3", "  ", "+7",
  };
  return texts;
}

void BM_ParseNumber(benchmark::State& state) {
  const auto& texts = NumberTexts();
  for (auto _ : state)
    for (const std::string& t : texts) benchmark::DoNotOptimize(zk::QXCOMSUB::ParseNumber(t));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}
BENCHMARK(BM_ParseNumber);

void BM_NumberTextDouble(benchmark::State& state) {
  const double values[] = {12.5, 3, -0.75, 1.5e-5, 99999.99, 0, 1234.5, 0.1 + 0.2};
  for (auto _ : state)
    for (double v : values) benchmark::DoNotOptimize(zk::QXCOMSUB::NumberText(v));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(std::size(values)));
}
BENCHMARK(BM_NumberTextDouble);

void BM_NumberTextSingle(benchmark::State& state) {
  const float values[] = {12.5f, 3, -0.75f, 1.5e-5f, 99999.99f, 0, 1234.5f, 0.7f};
  for (auto _ : state)
    for (float v : values) benchmark::DoNotOptimize(zk::QXCOMSUB::NumberText(v));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(std::size(values)));
}
BENCHMARK(BM_NumberTextSingle);

// A folder of n measurement pairs (the large boring with "PCNT.txt"), named in upper case.
void FillPairs(const Scratch& scratch, long n) {
  for (long i = 1; i <= n; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "M%05ld", i);
    std::ofstream(scratch.Host(std::string(name) + ".HED")) << "1\r\n";
    std::ofstream(scratch.Host(std::string(name) + ".TMP")) << "1\r\n";
  }
}

// Looking a file up by a name in its own letter case, and in another one (the presence probe
// asks for ".hed" where the folder holds ".HED"), in folders of 2n files.
void BM_ToHost(benchmark::State& state) {
  Scratch scratch;
  FillPairs(scratch, state.range(0));
  bool otherCase = state.range(1) != 0;
  std::string path = scratch.Drive(otherCase ? "M00001.hed" : "M00001.HED");
  const zk::platform::DriveMap drives = zk::platform::DriveMap::FromEnvironment();
  for (auto _ : state) benchmark::DoNotOptimize(zk::platform::IsPlainFile(drives, path));
  state.SetLabel(otherCase ? "other case" : "same case");
}
BENCHMARK(BM_ToHost)->ArgsProduct({{10, 1000, 2000}, {0, 1}})->Unit(benchmark::kMicrosecond);

// The numbering lists the destination folder once per boring.
void BM_ListPlainFiles(benchmark::State& state) {
  Scratch scratch;
  FillPairs(scratch, state.range(0) / 2);
  std::string folder = scratch.Drive() + "\\";
  const zk::platform::DriveMap drives = zk::platform::DriveMap::FromEnvironment();
  for (auto _ : state) benchmark::DoNotOptimize(zk::platform::ListPlainFiles(drives, folder).size());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListPlainFiles)->Arg(100)->Arg(1000)->Arg(2000)->Unit(benchmark::kMicrosecond);

// A "Kishitu.txt" of 10,000 records; layer codes spread over it.
void BM_ClassifySoilName(benchmark::State& state) {
  Scratch scratch;
  const char* names[] = {"砂混りシルト質粘性土", "礫混じり砂", "有機質土", "シルト質砂", "硬岩", "軽石", "砂質粘土"};
  std::string text;
  for (int code = 1; code <= 10000; ++code)
    text += std::to_string(code) + ",\" " + names[code % 7] + " \",\"\",0,,\"\"\r\n";
  scratch.Write("Kishitu.txt", text);
  zk::SoilNameTable table;
  zk::LoadSoilNameTable(zk::platform::DriveMap::FromEnvironment(), table, scratch.Drive() + "\\");
  std::mt19937 rng(3);
  std::vector<std::string> codes;
  for (int i = 0; i < 64; ++i) codes.push_back(std::to_string(rng() % 10000 + 1));
  std::string soilName;
  for (auto _ : state)
    for (const std::string& code : codes) benchmark::DoNotOptimize(zk::ClassifySoilName(code, table, soilName));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(codes.size()));
}
BENCHMARK(BM_ClassifySoilName)->Unit(benchmark::kMicrosecond);

}  // namespace
