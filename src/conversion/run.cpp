#include "conversion/run.h"

#include <optional>
#include <vector>

#include "conversion/exchange_file.h"
#include "conversion/header_records.h"
#include "conversion/numbering.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/settings.h"
#include "records/layer_block.h"
#include "records/test_block.h"
#include "support/path_checks.h"
#include "support/text_bytes.h"
#include "tables/numbers.h"
#include "tables/table_access.h"
#include "tables/title_tables.h"
#include "writers/l201.h"
#include "writers/l204.h"
#include "writers/l209.h"
#include "writers/measurements.h"
#include "writers/soil_tests.h"

namespace zk {

int gCompletionFlag = 0;

namespace {

constexpr const char* kBadPath = "指定されたパスは正しくありません。";

// An orderly stop: the status line cleared and, once the pointer was set busy, reset.
RunResult Stop(WindowOps& ui, bool busy) {
  ui.SetStatus("");
  if (busy) ui.SetBusy(false);
  return {};
}

RunResult Fail(WindowOps& ui, const Status& status) {
  ui.ShowMessage(status.Message(), Icon::Exclamation, "");
  return Stop(ui, true);
}

// Asks once, then creates every missing level of the destination, top first. false: No.
bool PrepareDestination(const std::string& checked, WindowOps& ui, Status& fault) {
  std::vector<std::string> parts;
  long k = FNOTHER::CountDelimiters(checked, "\\");
  FNOTHER::SplitAtDelimiters(checked, "\\", parts);
  auto prefix = [&](long i) {
    std::string path = parts[1];
    for (long j = 2; j <= i; ++j) path += "\\" + parts[static_cast<std::size_t>(j)];
    return path;
  };
  bool missing = false;
  for (long i = 2; i <= k + 1 && !missing; ++i) missing = !platform::IsFolder(prefix(i));
  if (!missing) return true;
  if (!ui.AskYesNo("フォルダがありません。新規作成しますか？")) return false;
  for (long i = 2; i <= k + 1; ++i) {
    std::string level = prefix(i);
    if (platform::IsFolder(level)) continue;
    // Another run into the same new folder may make it first.
    if (!platform::CreateFolder(level) && !platform::IsFolder(level)) {
      fault = Status::Failed(Fault::Unwritable, level, "フォルダを作成できません");
      return false;
    }
  }
  return true;
}

// Every table a run may read, in the boring folder and in the code-table folder.
constexpr const char* kSourceTables[] = {
    "titl01.txt", "titl02.txt", "titl04.txt", "X1.TXT",   "X3.TXT",   "X5.TXT",   "X6.TXT",   "X7.TXT",
    "X100.txt",   "X100A.txt",  "L209.txt",   "L204.txt", "L201.txt", "L202.txt", "PCNT.txt", "BORLING.NO"};
constexpr const char* kCodeTables[] = {"L9.txt", "Kishitu.txt"};

// A folder, a dangling link or an unreadable file under a table's name stops the run before
// anything is written, rather than passing for an absent table.
Status CheckTableEntries(const std::string& source) {
  for (const char* name : kSourceTables)
    if (Status s = FCOPYSUB::CheckTableEntry(source + "\\" + name); !s) return s;
  const std::string& codes = CodeTableFolder();
  if (codes.empty()) return Status::Ok();
  for (const char* name : kCodeTables)
    if (Status s = FCOPYSUB::CheckTableEntry(codes + name); !s) return s;
  return Status::Ok();
}

// Steps 12 to 15: every block into the exchange file, under its temporary name.
Status WriteBlocks(ExchangeFile& out, const std::string& source, const TitleTables& titles,
                   const Numbering& numbering) {
  std::string meshCode = numbering.exchangeFileName.substr(0, 8);
  std::string boringId;
  FlagArray flags{};
  if (Status s = WriteHeaderRecords(out, titles, source, meshCode, numbering.sequence, boringId, flags); !s) return s;
  if (Status s = WriteLayerBlock(out, source, boringId); !s) return s;
  if (flags[1] == 1)
    if (Status s = WriteTestBlock(out, source, boringId); !s) return s;
  auto present = [&](const char* name) { return FCOPYSUB::IsPresent(source + "\\" + name); };
  if (present("X100.txt"))
    if (Status s = WriteSoilTestRecords(out, source, boringId); !s) return s;
  if (present("L209.txt"))
    if (Status s = WriteL209Records(out, source, boringId); !s) return s;
  if (present("L204.txt")) {
    if (Status s = WriteL204Records(out, source, boringId); !s) return s;
  } else if (!platform::IsPlainFile(source + "\\L204.txt") && present("PCNT.txt")) {
    if (Status s = WriteMeasurementFileRecords(out, source, boringId); !s) return s;
  }
  if (present("L201.txt"))
    if (Status s = WriteL201Records(out, source, boringId); !s) return s;
  return out.Finish();
}

// Steps 11 to 17: the exchange file written and given its name, then the record file. A new
// name is only ever claimed, never taken over: when another run took it first, the file is
// written again under the next free number (its boring id carries the number).
Status WriteExchangeFile(const std::string& source, const std::string& destination, const TitleTables& titles,
                         Numbering& numbering, std::string& written) {
  std::vector<std::string> taken;
  for (;;) {
    ExchangeFile out;
    if (Status s = out.Create(destination, numbering.exchangeFileName); !s) return s;
    if (Status s = WriteBlocks(out, source, titles, numbering); !s) return s;
    // Both files complete on the disk before either takes its real name: a failure up to the
    // renames leaves the old exchange file and the old "BORLING.NO" as they were.
    StagedTextFile record;
    if (Status s = StageRecordConversion(source, destination, numbering.exchangeFileName, record); !s) return s;
    Status named = out.Commit(numbering.reuse);
    if (named.fault == Fault::NameTaken) {
      if (Status s = NumberAgain(destination, taken, numbering); !s) return s;
      continue;
    }
    if (!named) return named;
    written = out.drivePath();
    if (Status s = record.Commit(); !s) {
      s.description += " (交換ファイル「" + written + "」は書き終わっています)";
      return s;
    }
    return Status::Ok();
  }
}

// The line below the coordinates message when the coordinates were never there to read: the
// source folder or its title table is missing.
std::string MissingTitleReason(const std::string& source) {
  if (!platform::IsFolder(source)) return "\n変換元フォルダ「" + source + "」がありません";
  if (!platform::IsPlainFile(source + "\\titl01.txt")) return "\n変換元フォルダ「" + source + "」に titl01.txt がありません";
  return "";
}

}  // namespace

RunResult RunConversion(WindowOps& ui) {
  ui.SetStatus("只今変換中！　しばらくお待ちください。");

  // An empty box is told as such, before its path is checked (which would call it a path
  // without a drive).
  std::string sourceChecked = ui.SourceText();
  std::string why;
  if (QXCOMSUB::TrimSpaces(sourceChecked).empty()) {
    ui.ShowMessage("変換元ファイルが選択されていません。", Icon::None, "");
    return Stop(ui, false);
  }
  if (!FNOTHER::CheckFolderPath(sourceChecked, ui, why)) {
    ui.ShowMessage(why.empty() ? kBadPath : kBadPath + ("\n" + why), Icon::Exclamation, ui.SourceText());
    return Stop(ui, false);
  }
  std::string destinationChecked = ui.DestinationText();
  if (QXCOMSUB::TrimSpaces(destinationChecked).empty()) {
    ui.ShowMessage("変換先フォルダが選択されていません。", Icon::None, "");
    return Stop(ui, false);
  }
  if (!FNOTHER::CheckFolderPath(destinationChecked, ui, why)) {
    ui.ShowMessage(why.empty() ? kBadPath : kBadPath + ("\n" + why), Icon::Exclamation, ui.DestinationText());
    ui.FocusDestination();
    return Stop(ui, false);
  }

  // From here the texts are used as they stand, not as the checks left them.
  std::string source = ui.SourceText();
  std::string destination = ui.DestinationText();
  if (QXCOMSUB::TrimSpaces(source).empty()) {
    ui.ShowMessage("変換元ファイルが選択されていません。", Icon::None, "");
    return Stop(ui, false);
  }
  if (QXCOMSUB::TrimSpaces(destination).empty()) {
    ui.ShowMessage("変換先フォルダが選択されていません。", Icon::None, "");
    return Stop(ui, false);
  }
  if (destination.back() == '\\') {
    ui.ShowMessage("最後のフォルダに「￥」は要りません。", Icon::Exclamation, destination);
    return Stop(ui, false);
  }

  // A name that cannot be written in drive form, or into the one line of "BORLING.NO", is
  // refused before any folder is made.
  for (const std::string* path : {&source, &destination}) {
    if (std::string why = FNOTHER::PathRefusal(*path); !why.empty()) {
      ui.ShowMessage(std::string(kBadPath) + "\n" + why, Icon::Exclamation, *path);
      if (path == &destination) ui.FocusDestination();
      return Stop(ui, false);
    }
  }

  Status fault;
  if (!PrepareDestination(destinationChecked, ui, fault)) {
    if (!fault) ui.ShowMessage(fault.Message(), Icon::Exclamation, "");
    return Stop(ui, false);
  }
  ui.SetBusy(true);

  // From here on nothing beyond the boring, the destination and the code tables is reached,
  // whatever names the tables hold.
  std::vector<std::string> reachable{source, destination};
  if (!CodeTableFolder().empty()) reachable.push_back(CodeTableFolder());
  // The window gets the whole file system back before it shows anything.
  std::optional<platform::PathScope> scope;
  scope.emplace(reachable);
  auto fail = [&](const Status& s) {
    scope.reset();
    return Fail(ui, s);
  };
  if (Status s = CheckTableEntries(source); !s) return fail(s);

  TitleTables titles;
  if (Status s = FCOPYSUB::LoadTitleTables(source, titles); !s) return fail(s);
  Coordinates where{titles.t1[11], titles.t1[12], titles.t1[13], titles.t1[14], titles.t1[15], titles.t1[16]};
  // A point whose grid square code is not eight digits (far off the grid, a negative value, a
  // value such as 1e39) would name the file with a code that its boring id cannot carry.
  if (QXCOMSUB::ParseNumber(where.latDegrees) == 0 || QXCOMSUB::ParseNumber(where.lonDegrees) == 0 ||
      !IsMeshCode(ComputeMeshCode(where))) {
    std::string reason = MissingTitleReason(source);
    scope.reset();
    ui.ShowMessage("緯度・経度が正しくありません。" + reason, Icon::None, "");
    return Stop(ui, true);
  }

  Numbering numbering;
  if (Status s = AssignExchangeFileName(source, destination, where, ui, numbering); !s) return fail(s);
  if (numbering.stopped) {
    scope.reset();
    return Stop(ui, true);
  }

  RunResult result;
  std::vector<std::string> sourceFiles;
  // A "BORLING.NO" left half-written by a killed run goes. A boring folder that cannot be
  // listed has already been read; writing its record file will tell what is wrong.
  Status ignored = ListRemovingStaleFiles(source, sourceFiles);
  (void)ignored;
  if (Status s = WriteExchangeFile(source, destination, titles, numbering, result.exchangeFilePath); !s)
    return fail(s);

  scope.reset();
  result.converted = true;
  gCompletionFlag = 1;
  ui.SetStatus("変換が正常に終了しました。");
  ui.RefreshDestinationList();
  ui.SetBusy(false);
  return result;
}

}  // namespace zk
