#include "conversion/run.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <future>
#include <numeric>
#include <optional>
#include <vector>

#include "conversion/numbering.h"
#include "exchange/exchange_file.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "records/depth_text.h"
#include "records/flags.h"
#include "records/header_records.h"
#include "records/layer_block.h"
#include "records/test_block.h"
#include "support/path_checks.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/inspect.h"
#include "tables/numbers.h"
#include "tables/snapshot.h"
#include "tables/title_tables.h"
#include "writers/l201.h"
#include "writers/l204.h"
#include "writers/l209.h"
#include "writers/measurements.h"
#include "writers/soil_tests.h"

namespace zk {
namespace {

constexpr const char* kBadPath = "指定されたパスは正しくありません。";

// Work for a second thread; where the system has no thread to give, it is done when its result
// is asked for, on the thread that asks.
constexpr auto kBeside = std::launch::async | std::launch::deferred;

// The code tables, with the soil names parsed from them, and the files that were opened for
// them, told on afterwards by the thread that runs the conversion.
struct TakenCodeTables {
  std::shared_ptr<const CodeTables> tables;
  SoilNameTable soilNames;
  bool soilNamesLoaded = false;
  std::vector<std::string> opened;
};

// soilNames: the table parsed before, which serves again when the soil-name table is the same.
TakenCodeTables TakeCodeTablesAndNames(const platform::DriveMap& drives, const std::string& folder,
                                       SoilNameTable soilNames) {
  TakenCodeTables taken;
  taken.tables = TakeCodeTables(drives, folder, [&taken](const std::string& host) { taken.opened.push_back(host); });
  taken.soilNamesLoaded = static_cast<bool>(LoadSoilNameTable(taken.tables->kishitu, soilNames));
  taken.soilNames = std::move(soilNames);
  return taken;
}

// Asks once, then creates every missing level of the destination, top first. false: No.
bool PrepareDestination(const platform::DriveMap& drives, const std::string& checked, WindowOps& ui, Status& fault) {
  std::vector<std::string> parts;
  long k = FNOTHER::CountDelimiters(checked, "\\");
  FNOTHER::SplitAtDelimiters(checked, "\\", parts);
  auto prefix = [&](long i) {
    std::string path = parts[1];
    for (long j = 2; j <= i; ++j) path += "\\" + parts[static_cast<std::size_t>(j)];
    return path;
  };
  // The whole path a folder (every run of a batch into one destination): so is every level.
  if (platform::IsFolder(drives, prefix(k + 1))) return true;
  bool missing = false;
  for (long i = 2; i <= k + 1 && !missing; ++i) missing = !platform::IsFolder(drives, prefix(i));
  if (!missing) return true;
  if (!ui.AskYesNo("フォルダがありません。新規作成しますか？")) return false;
  for (long i = 2; i <= k + 1; ++i) {
    std::string level = prefix(i);
    if (platform::IsFolder(drives, level)) continue;
    // Another run into the same new folder may make it first.
    if (!platform::CreateFolder(drives, level) && !platform::IsFolder(drives, level)) {
      fault = Status::Failed(Fault::Unwritable, level, "フォルダを作成できません");
      return false;
    }
  }
  return true;
}

// A folder path checked; the drive-name fault told here, the rest by the caller, with why on
// the line below its message.
bool FolderPathOk(platform::DriveMap& drives, std::string& path, WindowOps& ui, std::string& why) {
  FNOTHER::FolderPathFault fault = FNOTHER::CheckFolderPath(drives, path, why);
  if (fault == FNOTHER::FolderPathFault::DriveName) ui.ShowMessage(FNOTHER::kDriveNameMessage, Icon::Information, "");
  return fault == FNOTHER::FolderPathFault::None;
}

// The window of a check: nothing is shown and nothing asked; what would stop the conversion
// with a message is an error finding.
class CheckWindow : public WindowOps {
 public:
  CheckWindow(std::string folder, std::string destination, FindingSink& findings)
      : folder_(std::move(folder)), destination_(std::move(destination)), findings_(findings) {}
  void SetStatus(const std::string&) override {}
  void ShowMessage(const std::string& text, Icon, const std::string& title) override {
    findings_.Error(title.empty() ? folder_ : title, 0, "stopped", text);
  }
  bool AskYesNo(const std::string&) override { return false; }
  void SetBusy(bool) override {}
  void FocusDestination() override {}
  void RefreshDestinationList() override {}
  std::string SourceText() override { return folder_; }
  std::string DestinationText() override { return destination_; }

 private:
  std::string folder_, destination_;
  FindingSink& findings_;
};

// One run over one boring: a conversion, or a check, which goes the same way and writes
// nothing.
class Run {
 public:
  Run(WindowOps& ui, ConversionContext& context, bool checking) : ui_(ui), context_(context), checking_(checking) {}

  RunResult Execute();

 private:
  // An orderly stop: the status line cleared and, once the pointer was set busy, reset.
  RunResult Stop(bool busy) {
    scope_.reset();
    ui_.SetStatus("");
    if (busy) ui_.SetBusy(false);
    return Result();
  }
  RunResult Fail(const Status& status) {
    scope_.reset();
    Finding finding = findings_.Fault(status);
    if (!checking_) {
      ui_.ShowMessage(status.Message(), Icon::Exclamation, "");
      result_.report.told = finding;
    }
    return Stop(true);
  }
  RunResult Result() {
    result_.report.findings = findings_.findings();
    result_.report.errors = findings_.errors();
    result_.report.warnings = findings_.warnings();
    return std::move(result_);
  }
  Status CheckCoordinates(const TitleTables& titles, const BoringSnapshot& boring, Coordinates& where);
  void CheckAngleWritten(const std::string& path, const char* which, const std::string& degrees,
                         std::size_t degreeDigits, const std::string& minutes, const std::string& seconds);
  void CheckTotalDepth(const BoringSnapshot& boring);
  void LookAtTables(const BoringSnapshot& boring);
  Status WriteBlocks(ExchangeFile& out, const BoringSnapshot& boring, const TitleTables& titles,
                     const Numbering& numbering);
  Status WriteExchangeFile(const BoringSnapshot& boring, const TitleTables& titles, Numbering& numbering);
  std::string MissingTitleReason(const BoringSnapshot& boring) const;

  WindowOps& ui_;
  ConversionContext& context_;
  bool checking_;
  std::string source_, destination_;
  std::optional<platform::PathScope> scope_;
  FindingSink findings_;
  TestTableNames testNames_;  // of "X6.TXT" and "X7.TXT", gathered while looking at them
  RunResult result_;
};

// The boring's point: a mesh code of eight digits, else a stop. Points far from Japan and
// angles written other than read are warnings.
Status Run::CheckCoordinates(const TitleTables& titles, const BoringSnapshot& boring, Coordinates& where) {
  const auto& t = titles.t1;
  where = Coordinates{t[11], t[12], t[13], t[14], t[15], t[16]};
  const std::string& path = boring.Table(TableId::Titl01).drivePath;
  using QXCOMSUB::ParseNumber;
  if (!boring.Table(TableId::Titl01).IsPlainFile())
    return Status::Failed(Fault::NotFound, path, "表題の表 titl01.txt がありません");
  if (ParseNumber(where.latDegrees) == 0 || ParseNumber(where.lonDegrees) == 0)
    return Status::Failed(Fault::BadRecord, path, "緯度・経度の度が 0 か空です");
  // A point whose grid square code is not eight digits (far off the grid, a negative value, a
  // value such as 1e39) would name the file with a code that its boring id cannot carry.
  std::string meshCode = ComputeMeshCode(where);
  if (!IsMeshCode(meshCode))
    return Status::Failed(Fault::BadRecord, path, "緯度・経度からメッシュコード (8 桁) が求まりません");
  result_.report.meshCode = meshCode;
  double lat = ParseNumber(t[11]) + ParseNumber(t[12]) / 60 + ParseNumber(t[13]) / 3600;
  double lon = ParseNumber(t[14]) + ParseNumber(t[15]) / 60 + ParseNumber(t[16]) / 3600;
  if (lat < 20 || lat > 46 || lon < 122 || lon > 154)
    findings_.Warn(path, 0, "outside-japan", "座標が日本の範囲の外です (メッシュコードはそのまま計算されます)");
  CheckAngleWritten(path, "緯度", t[11], 2, t[12], t[13]);
  CheckAngleWritten(path, "経度", t[14], 3, t[15], t[16]);
  return Status::Ok();
}

// Record 003 writes degrees and minutes as they stand, cut to their widths: decimal degrees
// (35.6812), minutes or seconds of 60 or more, or too many digits give a position other than
// the one the mesh code was computed from.
void Run::CheckAngleWritten(const std::string& path, const char* which, const std::string& degrees,
                            std::size_t degreeDigits, const std::string& minutes, const std::string& seconds) {
  using QXCOMSUB::ParseNumber;
  auto whole = [](const std::string& text, std::size_t digits) {
    std::string t = QXCOMSUB::TrimSpaces(text);
    return t.size() <= digits && t.find_first_not_of("0123456789") == std::string::npos;
  };
  bool written = whole(degrees, degreeDigits) && whole(minutes, 2) && ParseNumber(minutes) < 60 &&
                 ParseNumber(seconds) >= 0 && ParseNumber(seconds) < 60;
  if (written) return;
  findings_.Warn(path, 0, "coordinate-written-differently",
                 std::string(which) + " " + Excerpt(QXCOMSUB::TrimSpaces(degrees)) + " 度 " +
                     Excerpt(QXCOMSUB::TrimSpaces(minutes)) + " 分 " + Excerpt(QXCOMSUB::TrimSpaces(seconds)) +
                     " 秒は座標レコードに「" + Excerpt(AngleText(degrees, degreeDigits, minutes, seconds)) +
                     "」と書かれます (度・分は整数で、分・秒は 60 未満で書いてください)");
}

// The total depth of record 003 is the deepest layer bottom held in single precision: a
// bottom written finer than centimetres (10.009 m) can come out a centimetre short there,
// while the layer records, from the text, say otherwise.
void Run::CheckTotalDepth(const BoringSnapshot& boring) {
  const TableFile& layers = boring.Table(TableId::X1);
  if (!layers.IsPresent()) return;
  TableReader reader;
  if (!reader.Open(layers)) return;
  float single = 0;  // as the header takes it (FNOTHER::MaxLayerDepth), in the same pass
  double deepest = 0;
  long line = 0;
  std::vector<std::string> row;
  while (!reader.AtEnd() && reader.ReadRow(Layout(TableId::X1).fields, 2, 2, row)) {
    double bottom = QXCOMSUB::ParseNumber(row[1]);
    single = std::max(single, QXCOMSUB::ToSingle(bottom));
    if (bottom > deepest) {
      deepest = bottom;
      line = reader.FieldLine();
    }
  }
  std::string asWritten = DepthText(deepest), inHeader = FixedText(static_cast<double>(single), 3);
  if (asWritten == inHeader) return;
  findings_.Warn(layers.drivePath, line, "total-depth-differs",
                 "最も深い層の下端 " + QXCOMSUB::NumberText(deepest) + " m は表題の総深度に「" + inHeader +
                     "」と書かれます (単精度で読まれるため、層の記録の「" + asWritten + "」と違います)");
}

// The look at every table, which also gathers the test names the flags need: one pass over
// them. Each table's findings go to a sink of its own and are told in the catalogue's order,
// so that the tables of a large boring can be looked at on two threads, each taking the next
// table not yet taken, the largest first; for a typical boring a second thread would cost more
// than it saves.
void Run::LookAtTables(const BoringSnapshot& boring) {
  constexpr std::size_t kTwoThreadsFrom = 128 * 1024;  // bytes of the tables looked at
  testNames_ = TestTableNames{};
  std::vector<const TableLayout*> looked;
  std::size_t bytes = 0;
  for (const TableLayout& layout : AllTables()) {
    if (!layout.looked) continue;
    looked.push_back(&layout);
    bytes += boring.Table(layout.id).bytes.size();
  }
  std::vector<std::size_t> largestFirst(looked.size());
  std::iota(largestFirst.begin(), largestFirst.end(), std::size_t{0});
  std::stable_sort(largestFirst.begin(), largestFirst.end(), [&](std::size_t a, std::size_t b) {
    return boring.Table(looked[a]->id).bytes.size() > boring.Table(looked[b]->id).bytes.size();
  });
  std::vector<FindingSink> sinks(looked.size());
  std::atomic<std::size_t> next{0};
  auto lookAtTheRest = [&] {
    for (std::size_t taken = next++; taken < looked.size(); taken = next++) {
      std::size_t i = largestFirst[taken];
      const TableLayout& layout = *looked[i];
      RowVisitor visit;
      if (layout.id == TableId::X6) visit = [this](const std::vector<RawField>& row) { testNames_.x6.Add(row); };
      if (layout.id == TableId::X7) visit = [this](const std::vector<RawField>& row) { testNames_.x7.Add(row); };
      InspectTable(boring.Table(layout.id), layout, sinks[i], visit);
    }
  };
  std::future<void> other;
  if (bytes >= kTwoThreadsFrom) other = std::async(kBeside, lookAtTheRest);
  lookAtTheRest();
  if (other.valid()) other.get();
  for (const FindingSink& sink : sinks) findings_.Absorb(sink);
}

// Every block into the exchange file, under its temporary name (a check's file goes nowhere).
Status Run::WriteBlocks(ExchangeFile& out, const BoringSnapshot& boring, const TitleTables& titles,
                        const Numbering& numbering) {
  std::string meshCode = numbering.exchangeFileName.substr(0, 8);
  std::string boringId;
  FlagArray flags{};
  if (Status s = WriteHeaderRecords(out, titles, boring, meshCode, numbering.sequence, boringId, flags, testNames_); !s)
    return s;
  if (boring.Table(TableId::X1).IsPresent() && context_.soilNamesFrom != context_.codeTables) {
    if (Status s = LoadSoilNameTable(boring.Table(TableId::Kishitu), context_.soilNames); !s) return s;
    context_.soilNamesFrom = context_.codeTables;
  }
  if (Status s = WriteLayerBlock(out, boring, context_.soilNames, boringId, findings_); !s) return s;
  if (flags[1] == 1)
    if (Status s = WriteTestBlock(out, boring, boringId, findings_); !s) return s;
  auto present = [&](TableId id) { return boring.Table(id).IsPresent(); };
  if (present(TableId::X100))
    if (Status s = WriteSoilTestRecords(out, boring, boringId, findings_); !s) return s;
  if (present(TableId::L209))
    if (Status s = WriteL209Records(out, boring, boringId, findings_); !s) return s;
  if (present(TableId::L204)) {
    if (Status s = WriteL204Records(out, boring, boringId, findings_); !s) return s;
  } else if (!boring.Table(TableId::L204).IsPlainFile() && present(TableId::PCNT)) {
    if (Status s = WriteMeasurementFileRecords(out, boring, boringId, findings_); !s) return s;
  }
  if (present(TableId::L201))
    if (Status s = WriteL201Records(out, boring, boringId, findings_); !s) return s;
  return out.Finish();
}

// The exchange file written and given its name, then the record file. A new name is only ever
// claimed, never taken over: when another run took it first, the file is written again under
// the next free number (its boring id carries the number).
Status Run::WriteExchangeFile(const BoringSnapshot& boring, const TitleTables& titles, Numbering& numbering) {
  if (checking_) {
    ExchangeFile out;
    out.CreateDiscarding(destination_, numbering.exchangeFileName);
    return WriteBlocks(out, boring, titles, numbering);
  }
  std::vector<std::string> taken;
  const FindingSink before = findings_;
  for (;;) {
    findings_ = before;  // a file written again tells what it found once
    ExchangeFile out;
    if (Status s = out.Create(context_.drives, destination_, numbering.exchangeFileName, &context_.encoder); !s)
      return s;
    if (Status s = WriteBlocks(out, boring, titles, numbering); !s) return s;
    // Both files complete on the disk before either takes its real name: a failure up to the
    // renames leaves the old exchange file and the old "BORLING.NO" as they were.
    StagedTextFile record;
    if (Status s = StageRecordConversion(context_.drives, source_, destination_, numbering.exchangeFileName, record,
                                         boring.NewFileHostPath(Layout(TableId::BorlingNo).name));
        !s)
      return s;
    Status named = out.Commit(numbering.reuse);
    if (named.fault == Fault::NameTaken) {
      if (Status s = NumberAgain(context_.drives, destination_, taken, numbering, &context_.destination); !s) return s;
      result_.report.exchangeFileName = numbering.exchangeFileName;
      continue;
    }
    if (!named) return named;
    KeepClaimedName(context_.destination, destination_, numbering.exchangeFileName);
    result_.exchangeFilePath = out.drivePath();
    if (Status s = record.Commit(); !s) {
      s.description += " (交換ファイル「" + result_.exchangeFilePath + "」は書き終わっています)";
      return s;
    }
    return Status::Ok();
  }
}

// The line below the coordinates message when the coordinates were never there to read: the
// source folder or its title table is missing.
std::string Run::MissingTitleReason(const BoringSnapshot& boring) const {
  if (!platform::IsFolder(context_.drives, source_)) return "\n変換元フォルダ「" + source_ + "」がありません";
  if (!boring.Table(TableId::Titl01).IsPlainFile())
    return "\n変換元フォルダ「" + source_ + "」に titl01.txt がありません";
  return "";
}

RunResult Run::Execute() {
  ui_.SetStatus("只今変換中！　しばらくお待ちください。");

  // An empty box is told as such, before its path is checked (which would call it a path
  // without a drive).
  std::string sourceChecked = ui_.SourceText();
  result_.report.folder = sourceChecked;
  std::string why;
  if (QXCOMSUB::TrimSpaces(sourceChecked).empty()) {
    ui_.ShowMessage("変換元ファイルが選択されていません。", Icon::None, "");
    return Stop(false);
  }
  if (!FolderPathOk(context_.drives, sourceChecked, ui_, why)) {
    ui_.ShowMessage(why.empty() ? kBadPath : kBadPath + ("\n" + why), Icon::Exclamation, ui_.SourceText());
    return Stop(false);
  }
  // A check without a destination looks at the boring alone.
  bool toDestination = !checking_ || !ui_.DestinationText().empty();
  std::string destinationChecked = ui_.DestinationText();
  if (toDestination && QXCOMSUB::TrimSpaces(destinationChecked).empty()) {
    ui_.ShowMessage("変換先フォルダが選択されていません。", Icon::None, "");
    return Stop(false);
  }
  if (toDestination && !FolderPathOk(context_.drives, destinationChecked, ui_, why)) {
    ui_.ShowMessage(why.empty() ? kBadPath : kBadPath + ("\n" + why), Icon::Exclamation, ui_.DestinationText());
    ui_.FocusDestination();
    return Stop(false);
  }

  // From here the texts are used as they stand, not as the checks left them.
  source_ = ui_.SourceText();
  destination_ = ui_.DestinationText();
  if (QXCOMSUB::TrimSpaces(source_).empty()) {
    ui_.ShowMessage("変換元ファイルが選択されていません。", Icon::None, "");
    return Stop(false);
  }
  if (toDestination && QXCOMSUB::TrimSpaces(destination_).empty()) {
    ui_.ShowMessage("変換先フォルダが選択されていません。", Icon::None, "");
    return Stop(false);
  }
  if (toDestination && destination_.back() == '\\') {
    ui_.ShowMessage("最後のフォルダに「￥」は要りません。", Icon::Exclamation, destination_);
    return Stop(false);
  }

  // A name that cannot be written in drive form, or into the one line of "BORLING.NO", is
  // refused before any folder is made.
  for (const std::string* path : {&source_, &destination_}) {
    if (path == &destination_ && !toDestination) continue;
    if (std::string refusal = FNOTHER::PathRefusal(*path); !refusal.empty()) {
      ui_.ShowMessage(std::string(kBadPath) + "\n" + refusal, Icon::Exclamation, *path);
      if (path == &destination_) ui_.FocusDestination();
      return Stop(false);
    }
  }

  if (!checking_) {
    Status fault;
    if (!PrepareDestination(context_.drives, destinationChecked, ui_, fault)) {
      if (!fault) ui_.ShowMessage(fault.Message(), Icon::Exclamation, "");
      return Stop(false);
    }
  }
  ui_.SetBusy(true);

  // From here on nothing beyond the boring, the destination and the code tables is reached,
  // whatever names the tables hold. The window gets the whole file system back before it
  // shows anything.
  std::vector<std::string> reachable{source_};
  if (toDestination) reachable.push_back(destination_);
  if (!context_.codeTableFolder.empty()) reachable.push_back(context_.codeTableFolder);
  scope_.emplace(context_.drives, reachable);

  // The boring is read once, here; every later step works on what was read. The code tables
  // and the soil names parsed from them need nothing of the boring, so the first run of a
  // batch, or a window run, takes them on a second thread while the boring is read and looked
  // at. Nothing in between changes the drive map that thread reads.
  std::future<TakenCodeTables> codes;
  if (!context_.codeTables || context_.codeTables->folder != context_.codeTableFolder)
    codes = std::async(kBeside, TakeCodeTablesAndNames, std::cref(context_.drives), context_.codeTableFolder,
                       context_.soilNames);
  BoringSnapshot boring = BoringSnapshot::TakeBoring(context_.drives, source_, context_.opened);
  LookAtTables(boring);
  if (codes.valid()) {
    TakenCodeTables taken = codes.get();
    if (context_.opened)
      for (const std::string& host : taken.opened) context_.opened(host);
    context_.codeTables = std::move(taken.tables);
    // A soil-name table that cannot be read is left to the layer block, which tells why.
    if (taken.soilNamesLoaded) {
      context_.soilNames = std::move(taken.soilNames);
      context_.soilNamesFrom = context_.codeTables;
    }
  }
  boring.AttachCodeTables(context_.codeTables);
  // A folder, a dangling link or an unreadable file under a table's name stops the run before
  // anything is written, rather than passing for an absent table.
  std::optional<Status> entryFault;
  for (const TableLayout& layout : AllTables()) {
    const TableFile& table = boring.Table(layout.id);
    if (!table.IsEntryFault()) continue;
    if (!checking_) return Fail(table.fault);
    findings_.Fault(table.fault);
    if (!entryFault) entryFault = table.fault;
  }
  if (entryFault) return Stop(true);

  TitleTables titles;
  if (Status s = FCOPYSUB::LoadTitleTables(boring, titles); !s) return Fail(s);
  Coordinates where;
  if (Status s = CheckCoordinates(titles, boring, where); !s) {
    findings_.Error(s.file, 0, s.fault == Fault::NotFound ? "no-title-table" : "no-coordinates",
                    s.description + " (変換は止まります)");
    std::string reason = MissingTitleReason(boring);
    scope_.reset();
    if (!checking_) ui_.ShowMessage("緯度・経度が正しくありません。" + reason, Icon::None, "");
    return Stop(true);
  }

  Numbering numbering;
  if (checking_) {
    std::vector<std::string> listing;
    if (!destination_.empty()) listing = platform::ListPlainFiles(context_.drives, destination_ + "\\");
    numbering.sequence = NextSequenceNumber(listing, result_.report.meshCode);
    numbering.exchangeFileName = ExchangeFileNameOf(result_.report.meshCode, numbering.sequence);
  } else {
    if (Status s = AssignExchangeFileName(context_.drives, boring.Table(TableId::BorlingNo), destination_, where, ui_,
                                          numbering, &context_.destination);
        !s)
      return Fail(s);
    if (numbering.stopped) return Stop(true);
    // A "BORLING.NO" left half-written by a killed run goes; the folder is listed again for
    // that only when the listing taken with the boring shows a temporary file. A boring
    // folder that cannot be listed has already been read; writing its record file will tell
    // what is wrong.
    const std::vector<std::string>& entries = boring.entries();
    if (std::any_of(entries.begin(), entries.end(), [](const std::string& e) { return IsTemporaryName(e); })) {
      std::vector<std::string> sourceFiles;
      Status ignored = ListRemovingStaleFiles(context_.drives, source_, sourceFiles);
      (void)ignored;
    }
  }
  result_.report.exchangeFileName = numbering.exchangeFileName;
  CheckTotalDepth(boring);

  if (Status s = WriteExchangeFile(boring, titles, numbering); !s) return Fail(s);
  scope_.reset();
  if (checking_) return Stop(true);
  result_.converted = true;
  ui_.SetStatus("変換が正常に終了しました。");
  ui_.RefreshDestinationList();
  ui_.SetBusy(false);
  return Result();
}

}  // namespace

RunResult RunConversion(WindowOps& ui, ConversionContext& context) { return Run(ui, context, false).Execute(); }

BoringCheck CheckBoring(ConversionContext& context, const std::string& folder, const std::string& destination) {
  FindingSink shown;  // what a conversion would have shown in a message box
  CheckWindow window(folder, destination, shown);
  BoringCheck check = Run(window, context, true).Execute().report;
  std::vector<Finding> stops = shown.findings();
  if (stops.empty()) return check;
  check.findings.insert(check.findings.end(), stops.begin(), stops.end());
  check.errors += shown.errors();
  return check;
}

}  // namespace zk
