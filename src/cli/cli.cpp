#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>

#include "cli/boring_map.h"
#include "cli/check_report.h"
#include "conversion/run.h"
#include "exchange/exchange_reader.h"
#include "picture/boring_log_svg.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/settings.h"
#include "support/text_bytes.h"

#ifndef ZK_VERSION
#define ZK_VERSION "0"
#endif

namespace zk::cli {
namespace {

constexpr const char* kUsageText =
    "使い方: zk2morvex-cli convert [--yes | --no] --dest DEST_FOLDER SOURCE_FOLDER...\n"
    "        zk2morvex-cli check [--format json] [--dest DEST_FOLDER] SOURCE_FOLDER...\n"
    "        zk2morvex-cli picture OUT_FOLDER EXCHANGE_FILE...\n"
    "        zk2morvex-cli map OUT.geojson EXCHANGE_FILE...\n"
    "        zk2morvex-cli set-codes FOLDER\n"
    "        zk2morvex-cli SUBCOMMAND --help     (サブコマンドごとの説明)\n"
    "        zk2morvex-cli --version\n"
    "  convert    ボーリングのフォルダ SOURCE_FOLDER ごとに交換ファイルを DEST_FOLDER に書きます。\n"
    "             --yes 質問にはすべて「はい」, --no すべて「いいえ」と答えます\n"
    "             (どちらもなければ端末で質問し、端末でなければ「いいえ」と答えます)\n"
    "  check      変換せずに、変換が止まる誤り (error) とデータが変わる警告 (warning) を\n"
    "             ファイルと行ごとに書き出します。何も書き込みません。--format json で JSON\n"
    "  picture    交換ファイルごとにボーリング柱状図の絵 (SVG) を OUT_FOLDER に書きます\n"
    "             (名前は交換ファイル名 & \".svg\", 例 53393681.001.svg)\n"
    "  map        交換ファイルのボーリングの位置を GeoJSON の地図 OUT.geojson に書きます\n"
    "  set-codes  L9.txt と Kishitu.txt のあるフォルダを VUREDA の設定として設定ファイルに書きます\n"
    "  フォルダやファイルはホストのパス (/tmp/out) でもドライブ形式 (Z:\\tmp\\out) でも指定できます。\n"
    "以前の書き方もそのまま使えます:\n"
    "        zk2morvex-cli [--yes | --no] --dest DEST_FOLDER SOURCE_FOLDER...      (convert)\n"
    "        zk2morvex-cli --check [--format json] [--dest DEST_FOLDER] SOURCE_FOLDER...  (check)\n"
    "        zk2morvex-cli --picture OUT_FOLDER EXCHANGE_FILE...                   (picture)\n"
    "終了状態: 0 すべて変換した (すべての絵, 地図, 設定を書いた), 1 止まった変換 (読めない交換ファイル,\n"
    "          VUREDA の設定がない, check でエラー) がある, 2 使い方の誤り\n";

// ---------------------------------------------------------------- the command line

bool IsSubcommand(const std::string& word) {
  return word == "convert" || word == "check" || word == "picture" || word == "map" || word == "set-codes";
}

bool Is(const std::string& arg, const char* option) {
  std::string name(option);
  return arg == name || arg.rfind(name + "=", 0) == 0;
}

// The options of the arguments, up to a "--" after which every argument is a name.
std::vector<std::string> OptionsOf(const std::vector<std::string>& args) {
  std::vector<std::string> options;
  for (const std::string& a : args) {
    if (a == "--") break;
    if (a.size() > 1 && a[0] == '-') options.push_back(a);
  }
  return options;
}

bool Has(const std::vector<std::string>& options, const char* option) {
  for (const std::string& o : options)
    if (Is(o, option)) return true;
  return false;
}

// Conflicts refused whatever the form: each of these is given once, and not both answers.
bool CheckRepeatsAndConflicts(const std::vector<std::string>& args, std::string& error) {
  std::vector<std::string> options = OptionsOf(args);
  for (const char* once : {"--dest", "--format", "--picture"}) {
    int count = 0;
    for (const std::string& o : options) count += Is(o, once) ? 1 : 0;
    if (count > 1) {
      error = std::string(once) + " は 1 回だけ指定できます";
      return false;
    }
  }
  if (Has(options, "--yes") && Has(options, "--no")) {
    error = "--yes と --no は同時に指定できません";
    return false;
  }
  return true;
}

// The forms without a subcommand name it by a flag; they become the subcommand form here,
// refusing the mixtures they always refused.
bool FromOlderForm(const std::vector<std::string>& args, std::vector<std::string>& translated, std::string& error) {
  std::vector<std::string> options = OptionsOf(args);
  bool picture = Has(options, "--picture"), check = Has(options, "--check");
  translated.clear();
  if (picture && check) {
    error = "--check と --picture は同時に指定できません";
    return false;
  }
  if (picture) {
    if (Has(options, "--dest") || Has(options, "--yes") || Has(options, "--no") || Has(options, "--format")) {
      error = "--picture は --dest, --yes, --no, --format と同時に指定できません";
      return false;
    }
    std::vector<std::string> rest;
    std::string folder;
    bool afterNames = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--") afterNames = true;
      if (!afterNames && args[i] == "--picture") {
        if (i + 1 >= args.size()) {
          error = "--picture の後に出力フォルダがありません";
          return false;
        }
        folder = args[++i];
      } else if (!afterNames && args[i].rfind("--picture=", 0) == 0) {
        folder = args[i].substr(10);
      } else {
        rest.push_back(args[i]);
      }
    }
    if (folder.empty()) {
      error = "--picture の出力フォルダが空です";
      return false;
    }
    // The folder first among the names, after "--" so that no name is taken for an option.
    std::vector<std::string> names;
    translated = {"picture"};
    afterNames = false;
    for (const std::string& a : rest) {
      if (a == "--")
        afterNames = true;
      else if (!afterNames && a.size() > 1 && a[0] == '-')
        translated.push_back(a);
      else
        names.push_back(a);
    }
    translated.push_back("--");
    translated.push_back(folder);
    translated.insert(translated.end(), names.begin(), names.end());
    return true;
  }
  if (check) {
    if (Has(options, "--yes") || Has(options, "--no")) {
      error = "--check は何も書かないので --yes, --no は使えません";
      return false;
    }
    translated.push_back("check");
    bool afterNames = false;
    for (const std::string& a : args) {
      if (a == "--") afterNames = true;
      if (afterNames || a != "--check") translated.push_back(a);
    }
    return true;
  }
  if (Has(options, "--format")) {
    error = "--format は check (--check) と一緒に使います";
    return false;
  }
  translated.push_back("convert");
  translated.insert(translated.end(), args.begin(), args.end());
  return true;
}

// What each subcommand needs, told in the user's words (the parser's own would be English).
bool CheckRequired(Options& options, const std::string& format, std::string& error) {
  auto need = [&](bool ok, const char* text) {
    if (!ok) error = text;
    return ok;
  };
  switch (options.command) {
    case Command::Convert:
      return need(!options.destination.empty(), "--dest で変換先フォルダを指定してください") &&
             need(!options.sources.empty(), "変換元フォルダを指定してください");
    case Command::Check:
      options.json = format == "json";
      return need(format.empty() || format == "json" || format == "text", "--format は json か text です") &&
             need(!options.sources.empty(), "変換元フォルダを指定してください");
    case Command::Picture:
      return need(!options.pictureFolder.empty(), "絵を書く出力フォルダを指定してください") &&
             need(!options.sources.empty(), "絵にする交換ファイルを指定してください");
    case Command::Map: {
      if (!need(!options.mapFile.empty(), "地図のファイル (OUT.geojson) を指定してください")) return false;
      std::string lower = options.mapFile;
      for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      auto endsWith = [&](const std::string& tail) {
        return lower.size() > tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
      };
      // A name of another kind is most likely an exchange file given first by mistake.
      return need(endsWith(".geojson") || endsWith(".json"),
                  "地図のファイルの名前は .geojson か .json で終わります (最初の引数が地図のファイルです)") &&
             need(!options.sources.empty(), "地図にする交換ファイルを指定してください");
    }
    case Command::SetCodes:
      return need(!options.codesFolder.empty(), "コード表のフォルダを指定してください");
    case Command::Help:
    case Command::Version:
      return true;
  }
  return true;
}

// The subcommand form, through the parser. Its exceptions stay in here.
bool ParseSubcommands(const std::vector<std::string>& args, Options& options, std::string& error) {
  CLI::App app{"Zk -> MORVEX 変換プログラム (コマンド行)", "zk2morvex-cli"};
  // "/opt/codes" is a path on every system, never an option written Windows' way.
  app.allow_windows_style_options(false);
  auto formatter = app.get_formatter();
  formatter->label("Usage", "使い方");
  formatter->label("OPTIONS", "オプション");
  formatter->label("Options", "オプション");
  formatter->label("Positionals", "引数");
  formatter->label("SUBCOMMAND", "サブコマンド");
  formatter->label("Subcommands", "サブコマンド");
  formatter->label("Excludes", "同時に使えない");
  formatter->label("TEXT", "");
  formatter->column_width(26);
  app.option_defaults()->group("オプション");
  app.set_help_flag("-h,--help", "この説明");
  app.set_version_flag("--version", std::string("zk2morvex-cli ") + ZK_VERSION, "版を書きます");
  app.require_subcommand(0, 1);
  std::string format;

  CLI::App* convert = app.add_subcommand("convert", "ボーリングのフォルダごとに交換ファイルを変換先フォルダに書きます");
  bool yes = false, no = false;
  // --yes with --no is refused before parsing, in the user's words.
  convert->add_flag("--yes", yes, "質問にはすべて「はい」と答える");
  convert->add_flag("--no", no, "質問にはすべて「いいえ」と答える (どちらもなければ端末で質問します)");
  convert->add_option("--dest", options.destination, "変換先フォルダ")->type_name("DEST_FOLDER");
  convert->add_option("SOURCE_FOLDER", options.sources, "ボーリングのフォルダ (いくつでも)");

  CLI::App* check =
      app.add_subcommand("check", "変換せずに、誤り (error) と警告 (warning) をファイルと行ごとに書きます");
  check->add_option("--format", format, "text (既定) か json")->type_name("FORMAT");
  check->add_option("--dest", options.destination, "交換ファイルの名前を決める変換先フォルダ (なくてもよい)")
      ->type_name("DEST_FOLDER");
  check->add_option("SOURCE_FOLDER", options.sources, "ボーリングのフォルダ (いくつでも)");

  CLI::App* picture = app.add_subcommand("picture", "交換ファイルごとにボーリング柱状図の絵 (SVG) を書きます");
  picture->add_option("OUT_FOLDER", options.pictureFolder, "絵を書くフォルダ");
  picture->add_option("EXCHANGE_FILE", options.sources, "交換ファイル (いくつでも)");

  CLI::App* map = app.add_subcommand("map", "交換ファイルのボーリングの位置を GeoJSON の地図に書きます");
  map->add_option("OUT_GEOJSON", options.mapFile, "地図のファイル (名前は .geojson か .json で終わる)");
  map->add_option("EXCHANGE_FILE", options.sources, "交換ファイル (いくつでも)");

  CLI::App* setCodes =
      app.add_subcommand("set-codes", "コード表のフォルダを VUREDA の設定として設定ファイルに書きます");
  setCodes->add_option("FOLDER", options.codesFolder, "L9.txt と Kishitu.txt のあるフォルダ");

  for (CLI::App* sub : {convert, check, picture, map, setCodes}) sub->set_help_flag("-h,--help", "この説明");

  // The parser takes the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    options.command = Command::Help;
    options.help = true;
    options.helpText = app.get_subcommands().empty() ? kUsageText : app.help();
    return true;
  } catch (const CLI::CallForAllHelp&) {
    options.command = Command::Help;
    options.help = true;
    options.helpText = kUsageText;
    return true;
  } catch (const CLI::CallForVersion& e) {
    options.command = Command::Version;
    options.helpText = std::string(e.what()) + "\n";
    return true;
  } catch (const CLI::ExtrasError& e) {
    error = std::string("知らないオプションか余分な引数です (") + e.what() + ")";
    return false;
  } catch (const CLI::ParseError& e) {
    error = std::string("コマンド行の誤りです (") + e.what() + ")";
    return false;
  }
  if (convert->parsed()) {
    options.command = Command::Convert;
    options.answer = yes ? Answer::Yes : no ? Answer::No : Answer::Ask;
  } else if (check->parsed()) {
    options.command = Command::Check;
    options.check = true;
  } else if (picture->parsed()) {
    options.command = Command::Picture;
    options.picture = true;
  } else if (map->parsed()) {
    options.command = Command::Map;
  } else if (setCodes->parsed()) {
    options.command = Command::SetCodes;
  } else {
    error = "サブコマンド (convert, check, picture, map, set-codes) を指定してください";
    return false;
  }
  return CheckRequired(options, format, error);
}

// ---------------------------------------------------------------- the work

// The run's window, on a terminal: messages to err, each naming the boring it belongs to;
// questions answered by the options.
class TerminalWindow : public WindowOps {
 public:
  TerminalWindow(const platform::DriveMap& drives, const Options& options, std::istream& in, bool inIsTerminal,
                 std::ostream& err)
      : drives_(drives), options_(options), in_(in), inIsTerminal_(inIsTerminal), err_(err) {}

  // The boring as the user named it, and its drive form for the run.
  void SetSource(const std::string& given) {
    given_ = given;
    source_ = drives_.CommandLinePathToDriveForm(given);
  }

  void SetStatus(const std::string&) override {}
  void ShowMessage(const std::string& text, Icon, const std::string& title) override {
    err_ << Boring() << (title.empty() ? "" : title + ": ") << text << "\n";
  }
  bool AskYesNo(const std::string& text) override {
    if (options_.answer != Answer::Ask) {
      bool yes = options_.answer == Answer::Yes;
      err_ << Boring() << text << " " << (yes ? "はい (--yes)" : "いいえ (--no)") << "\n";
      return yes;
    }
    if (!inIsTerminal_) {
      err_ << Boring() << text << " いいえ (標準入力が端末ではありません)\n";
      return false;
    }
    err_ << Boring() << text << " [y/N] " << std::flush;
    std::string reply;
    if (!std::getline(in_, reply)) return false;
    return reply == "y" || reply == "Y" || reply == "yes" || reply == "はい";
  }
  void SetBusy(bool) override {}
  void FocusDestination() override {}
  void RefreshDestinationList() override {}
  std::string SourceText() override { return source_; }
  std::string DestinationText() override { return drives_.CommandLinePathToDriveForm(options_.destination); }

 private:
  std::string Boring() const { return "[" + given_ + "] "; }

  const platform::DriveMap& drives_;
  const Options& options_;
  std::istream& in_;
  bool inIsTerminal_;
  std::ostream& err_;
  std::string given_, source_;
};

// A host path of the command line whose drive form would name another folder (a name holding
// "\\"): told on err, and false.
bool HasDriveForm(const std::string& text, std::ostream& err) {
  if (text.size() >= 2 && text[1] == ':') return true;  // already in drive form
  std::string why = platform::DriveFormRefusal(platform::HostPath(text));
  if (why.empty()) return true;
  err << "「" << text << "」: 指定されたパスは正しくありません。\n" << why << "\n";
  return false;
}

// ASCII letters folded: names match without regard to letter case in the drive map.
std::string Folded(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string HostText(const platform::DriveMap& drives, const std::string& drivePath) {
  auto host = drives.ToHost(drivePath);
  return host ? platform::HostText(*host) : drivePath;
}

// One picture per exchange file. Two files of the same name (from two folders) would give the
// same picture name: the second is refused rather than drawn over the first.
int DrawPictures(const platform::DriveMap& drives, const Options& options, std::ostream& out, std::ostream& err) {
  if (!HasDriveForm(options.pictureFolder, err)) return kStopped;
  std::string folder = drives.CommandLinePathToDriveForm(options.pictureFolder);
  std::set<std::string> names;
  int code = kSuccess;
  for (const std::string& file : options.sources) {
    std::string exchange = drives.CommandLinePathToDriveForm(file);
    std::string name = exchange.substr(QXCOMSUB::FolderPart(exchange).size());
    if (!names.insert(Folded(name)).second) {
      err << "「" << exchange << "」: 同じ名前の交換ファイルの絵「" << name
          << ".svg」を既に書きました (上書きしません)\n";
      code = kStopped;
      continue;
    }
    std::string written;
    if (Status s = WriteBoringLogPicture(drives, exchange, folder, written); !s) {
      err << s.Message() << "\n";
      code = kStopped;
      continue;
    }
    out << HostText(drives, written) << "\n";
  }
  return code;
}

// One map of every readable exchange file; the files that cannot be read are told and left
// out. Nothing is written when no boring is left, or when the map would take the place of one
// of the exchange files.
int WriteMap(const platform::DriveMap& drives, const Options& options, std::ostream& out, std::ostream& err) {
  namespace fs = std::filesystem;
  auto mapHost = drives.ToHost(drives.CommandLinePathToDriveForm(options.mapFile));
  if (!mapHost) {
    err << "「" << options.mapFile << "」: 地図を書く場所がありません\n";
    return kStopped;
  }
  std::error_code ec;
  if (fs::is_directory(*mapHost, ec)) {
    err << "「" << platform::HostText(*mapHost) << "」: フォルダです。地図のファイルの名前を指定してください\n";
    return kStopped;
  }
  std::vector<BoringPoint> points;
  int code = kSuccess;
  for (const std::string& file : options.sources) {
    std::string exchange = drives.CommandLinePathToDriveForm(file);
    auto host = drives.ToHost(exchange);
    if (host && fs::exists(*mapHost, ec) && fs::equivalent(*host, *mapHost, ec)) {
      err << "「" << exchange << "」: 地図のファイルと同じファイルです (上書きしません)\n";
      return kStopped;
    }
    std::vector<ExchangeRecord> records;
    BoringPoint point;
    Status s = ReadExchangeFile(drives, exchange, records);
    if (s) s = CollectBoringPoint(records, exchange, point);
    if (!s) {
      err << s.Message() << "\n";
      code = kStopped;
      continue;
    }
    points.push_back(std::move(point));
  }
  if (points.empty()) {
    err << "地図に載せるボーリングがありません (地図は書きません)\n";
    return kStopped;
  }
  if (Status s = WriteWholeFile(platform::HostText(*mapHost), BoringMapGeoJson(points)); !s) {
    err << s.Message() << "\n";
    return kStopped;
  }
  out << platform::HostText(*mapHost) << "\n";
  err << "地図: ボーリング " << points.size() << " 本\n";
  return code;
}

int SetCodes(const platform::DriveMap& drives, const Options& options, std::ostream& out, std::ostream& err) {
  std::string written;
  Status s = WriteCodeTableSetting(drives, options.codesFolder, written);
  auto sysdir = platform::Environment("ZK_SYSDIR");
  const char* where = sysdir && !sysdir->empty() ? "ZK_SYSDIR の設定ファイル" : "既定の設定ファイル";
  if (!s) {
    err << s.Message() << "\n" << where << "「" << written << "」は書きませんでした\n";
    return kStopped;
  }
  err << where << "に VUREDA の設定を書きました\n";
  out << written << "\n";
  return kSuccess;
}

// The check report of every boring; exit 1 when any boring has an error.
int CheckBorings(const Options& options, ConversionContext& context, std::ostream& out) {
  std::string destination;
  if (!options.destination.empty()) destination = context.drives.CommandLinePathToDriveForm(options.destination);
  std::vector<BoringCheck> checks;
  for (const std::string& source : options.sources)
    checks.push_back(CheckBoring(context, context.drives.CommandLinePathToDriveForm(source), destination));
  if (options.json)
    WriteCheckJson(checks, out);
  else
    WriteCheckText(checks, out);
  for (const BoringCheck& c : checks)
    if (c.errors > 0) return kStopped;
  return kSuccess;
}

// What a batch of conversions came to, for its last line.
struct BatchSummary {
  long converted = 0;
  std::vector<std::string> stopped;  // the borings as the user named them
  long findings = 0;                 // warnings told about the converted borings

  std::string Line() const {
    std::string line =
        "合計: 変換 " + std::to_string(converted) + " 本, 停止 " + std::to_string(stopped.size()) + " 本";
    if (!stopped.empty()) {
      line += " (";
      for (std::size_t i = 0; i < stopped.size(); ++i) line += (i ? ", " : "") + stopped[i];
      line += ")";
    }
    return line + ", 警告 " + std::to_string(findings) + " 件";
  }
};

int ConvertBorings(const Options& options, ConversionContext& context, std::istream& in, bool inIsTerminal,
                   std::ostream& out, std::ostream& err) {
  if (!HasDriveForm(options.destination, err)) return kStopped;
  TerminalWindow window(context.drives, options, in, inIsTerminal, err);
  BatchSummary summary;
  for (const std::string& source : options.sources) {
    if (!HasDriveForm(source, err)) {
      summary.stopped.push_back(source);
      continue;
    }
    window.SetSource(source);
    RunResult result = RunConversion(window, context);
    if (!result.converted) {
      WriteErrors(result.report, err);
      summary.stopped.push_back(source);
      continue;
    }
    ++summary.converted;
    // What the run changed in the data on the way, so that nothing passes unseen.
    summary.findings += result.report.warnings;
    out << HostText(context.drives, result.exchangeFilePath) << "\n";
    WriteWarnings(result.report, err);
  }
  err << summary.Line() << "\n";
  return summary.stopped.empty() ? kSuccess : kStopped;
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
  options = Options{};
  error.clear();
  if (!CheckRepeatsAndConflicts(args, error)) return false;
  if (!args.empty() && (IsSubcommand(args[0]) || args[0] == "--version" || args[0] == "--help" || args[0] == "-h"))
    return ParseSubcommands(args, options, error);
  std::vector<std::string> given = OptionsOf(args);
  if (Has(given, "--help") || Has(given, "-h")) {
    options.command = Command::Help;
    options.help = true;
    options.helpText = kUsageText;
    return true;
  }
  std::vector<std::string> translated;
  if (!FromOlderForm(args, translated, error)) return false;
  return ParseSubcommands(translated, options, error);
}

int Main(const std::vector<std::string>& args, std::istream& in, bool inIsTerminal, std::ostream& out,
         std::ostream& err) {
  Options options;
  std::string error;
  if (!ParseArguments(args, options, error)) {
    err << error << "\n" << kUsageText;
    return kUsage;
  }
  // The drives this program sees, read once: every command finds its paths through them.
  platform::DriveMap drives = platform::DriveMap::FromEnvironment();
  switch (options.command) {
    case Command::Help:
    case Command::Version:
      out << options.helpText;
      return kSuccess;
    case Command::Picture:
      return DrawPictures(drives, options, out, err);
    case Command::Map:
      return WriteMap(drives, options, out, err);
    case Command::SetCodes:
      return SetCodes(drives, options, out, err);
    case Command::Convert:
    case Command::Check:
      break;
  }
  ConversionContext context;
  context.drives = std::move(drives);
  if (Status setting = LoadCodeTableSetting(context.drives, context.codeTableFolder); !setting) {
    err << NoVuredaText(setting) << "\n";
    return kStopped;
  }
  if (options.command == Command::Check) return CheckBorings(options, context, out);
  return ConvertBorings(options, context, in, inIsTerminal, out, err);
}

}  // namespace zk::cli
