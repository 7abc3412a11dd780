#include "cli/cli.h"

#include <iostream>
#include <set>

#include "cli/boring_log_svg.h"
#include "cli/check_report.h"
#include "conversion/check.h"
#include "conversion/run.h"
#include "platform/drives.h"
#include "support/settings.h"
#include "support/text_bytes.h"

namespace zk::cli {
namespace {

constexpr const char* kUsageText =
    "使い方: zk2morvex-cli [--yes | --no] --dest DEST_FOLDER SOURCE_FOLDER...\n"
    "        zk2morvex-cli --check [--format json] [--dest DEST_FOLDER] SOURCE_FOLDER...\n"
    "        zk2morvex-cli --picture OUT_FOLDER EXCHANGE_FILE...\n"
    "  ボーリングのフォルダ SOURCE_FOLDER ごとに交換ファイルを DEST_FOLDER に書きます。\n"
    "  フォルダはホストのパス (/tmp/out) でもドライブ形式 (Z:\\tmp\\out) でも指定できます。\n"
    "  --yes   質問にはすべて「はい」と答える\n"
    "  --no    質問にはすべて「いいえ」と答える\n"
    "  (どちらもなければ端末で質問し、端末でなければ「いいえ」と答えます)\n"
    "  --check  変換せずに、変換が止まる誤り (error) とデータが変わる警告 (warning) を\n"
    "          ファイルと行ごとに書き出します。何も書き込みません。終了状態はエラーがあれば 1\n"
    "  --format json  --check の結果を JSON で書きます\n"
    "  --picture OUT_FOLDER\n"
    "          変換せずに、交換ファイル EXCHANGE_FILE ごとにボーリング柱状図の絵 (SVG) を\n"
    "          OUT_FOLDER に書きます (名前は交換ファイル名 & \".svg\", 例 53393681.001.svg)\n"
    "  --help  この説明\n"
    "終了状態: 0 すべて変換した (すべての絵を書いた), 1 止まった変換 (読めない交換ファイル) がある,\n"
    "          2 使い方の誤り\n";

// The run's window, on a terminal: messages to err, questions answered by the options.
class TerminalWindow : public WindowOps {
 public:
  TerminalWindow(const Options& options, std::istream& in, bool inIsTerminal, std::ostream& err)
      : options_(options), in_(in), inIsTerminal_(inIsTerminal), err_(err) {}

  void SetSource(std::string source) { source_ = std::move(source); }

  void SetStatus(const std::string&) override {}
  void ShowMessage(const std::string& text, Icon, const std::string& title) override {
    err_ << (title.empty() ? "" : title + ": ") << text << "\n";
  }
  bool AskYesNo(const std::string& text) override {
    if (options_.answer != Answer::Ask) {
      bool yes = options_.answer == Answer::Yes;
      err_ << text << " " << (yes ? "はい (--yes)" : "いいえ (--no)") << "\n";
      return yes;
    }
    if (!inIsTerminal_) {
      err_ << text << " いいえ (標準入力が端末ではありません)\n";
      return false;
    }
    err_ << text << " [y/N] " << std::flush;
    std::string reply;
    if (!std::getline(in_, reply)) return false;
    return reply == "y" || reply == "Y" || reply == "yes" || reply == "はい";
  }
  void SetBusy(bool) override {}
  void FocusDestination() override {}
  void RefreshDestinationList() override {}
  std::string SourceText() override { return source_; }
  std::string DestinationText() override { return platform::CommandLinePathToDriveForm(options_.destination); }

 private:
  const Options& options_;
  std::istream& in_;
  bool inIsTerminal_;
  std::ostream& err_;
  std::string source_;
};

bool CheckPictureArguments(const Options& options, std::string& error) {
  if (!options.destination.empty() || options.answer != Answer::Ask) {
    error = "--picture は --dest, --yes, --no と同時に指定できません";
    return false;
  }
  if (options.pictureFolder.empty()) {
    error = "--picture の出力フォルダが空です";
    return false;
  }
  if (options.sources.empty()) {
    error = "絵にする交換ファイルを指定してください";
    return false;
  }
  return true;
}

// A host path of the command line whose drive form would name another folder (a name holding
// "\\"): told on err, and false.
bool HasDriveForm(const std::string& text, std::ostream& err) {
  if (text.size() >= 2 && text[1] == ':') return true;  // already in drive form
  std::string why = platform::DriveFormRefusal(text);
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

// One picture per exchange file. Two files of the same name (from two folders) would give the
// same picture name: the second is refused rather than drawn over the first.
int DrawPictures(const Options& options, std::ostream& out, std::ostream& err) {
  if (!HasDriveForm(options.pictureFolder, err)) return kStopped;
  std::string folder = platform::CommandLinePathToDriveForm(options.pictureFolder);
  std::set<std::string> names;
  int code = kSuccess;
  for (const std::string& file : options.sources) {
    std::string exchange = platform::CommandLinePathToDriveForm(file);
    std::string name = exchange.substr(QXCOMSUB::FolderPart(exchange).size());
    if (!names.insert(Folded(name)).second) {
      err << "「" << exchange << "」: 同じ名前の交換ファイルの絵「" << name
          << ".svg」を既に書きました (上書きしません)\n";
      code = kStopped;
      continue;
    }
    std::string written;
    if (Status s = WriteBoringLogPicture(exchange, folder, written); !s) {
      err << s.Message() << "\n";
      code = kStopped;
      continue;
    }
    auto host = platform::ToHost(written);
    out << (host ? host->string() : written) << "\n";
  }
  return code;
}

// The check report of every boring; exit 1 when any boring has an error.
int CheckBorings(const Options& options, std::ostream& out) {
  std::string destination;
  if (!options.destination.empty()) destination = platform::CommandLinePathToDriveForm(options.destination);
  std::vector<BoringCheck> checks;
  for (const std::string& source : options.sources)
    checks.push_back(CheckBoring(platform::CommandLinePathToDriveForm(source), destination));
  if (options.json) WriteCheckJson(checks, out);
  else WriteCheckText(checks, out);
  for (const BoringCheck& c : checks)
    if (c.errors > 0) return kStopped;
  return kSuccess;
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
  options = Options{};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      options.help = true;
    } else if (a == "--yes" || a == "--no") {
      Answer answer = a == "--yes" ? Answer::Yes : Answer::No;
      if (options.answer != Answer::Ask && options.answer != answer) {
        error = "--yes と --no は同時に指定できません";
        return false;
      }
      options.answer = answer;
    } else if (a == "--dest") {
      if (i + 1 >= args.size()) {
        error = "--dest の後に変換先フォルダがありません";
        return false;
      }
      options.destination = args[++i];
    } else if (a.rfind("--dest=", 0) == 0) {
      options.destination = a.substr(7);
    } else if (a == "--picture") {
      if (i + 1 >= args.size()) {
        error = "--picture の後に出力フォルダがありません";
        return false;
      }
      options.picture = true;
      options.pictureFolder = args[++i];
    } else if (a.rfind("--picture=", 0) == 0) {
      options.picture = true;
      options.pictureFolder = a.substr(10);
    } else if (a == "--check") {
      options.check = true;
    } else if (a == "--format" || a.rfind("--format=", 0) == 0) {
      std::string format = a == "--format" ? (i + 1 < args.size() ? args[++i] : "") : a.substr(9);
      if (format != "json" && format != "text") {
        error = "--format は json か text です";
        return false;
      }
      options.json = format == "json";
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      error = "知らないオプションです: " + a;
      return false;
    } else {
      options.sources.push_back(a);
    }
  }
  if (options.help) return true;
  if (options.picture) return CheckPictureArguments(options, error);
  if (options.check) {
    if (options.answer != Answer::Ask) {
      error = "--check は何も書かないので --yes, --no は使えません";
      return false;
    }
    if (options.sources.empty()) {
      error = "変換元フォルダを指定してください";
      return false;
    }
    return true;
  }
  if (options.json) {
    error = "--format は --check と一緒に使います";
    return false;
  }
  if (options.destination.empty()) {
    error = "--dest で変換先フォルダを指定してください";
    return false;
  }
  if (options.sources.empty()) {
    error = "変換元フォルダを指定してください";
    return false;
  }
  return true;
}

int Main(const std::vector<std::string>& args, std::istream& in, bool inIsTerminal, std::ostream& out, std::ostream& err) {
  Options options;
  std::string error;
  if (!ParseArguments(args, options, error)) {
    err << error << "\n" << kUsageText;
    return kUsage;
  }
  if (options.help) {
    out << kUsageText;
    return kSuccess;
  }
  if (options.picture) return DrawPictures(options, out, err);
  if (!LoadCodeTableFolder()) {
    err << kNoVuredaMessage << "\n";
    return kStopped;
  }
  if (options.check) return CheckBorings(options, out);
  if (!HasDriveForm(options.destination, err)) return kStopped;
  TerminalWindow window(options, in, inIsTerminal, err);
  int code = kSuccess;
  for (const std::string& source : options.sources) {
    if (!HasDriveForm(source, err)) {
      code = kStopped;
      continue;
    }
    window.SetSource(platform::CommandLinePathToDriveForm(source));
    // What changed the data on the way, so that nothing passes unseen: found before the
    // conversion writes "BORLING.NO" into the boring, while what is known of the folder holds
    // (the check reads only the boring's tables and the code tables), and told after it.
    BoringCheck warnings = CheckBoring(window.SourceText(), "");
    RunResult result = RunConversion(window);
    if (!result.converted) {
      code = kStopped;
      continue;
    }
    auto host = platform::ToHost(result.exchangeFilePath);
    out << (host ? host->string() : result.exchangeFilePath) << "\n";
    WriteWarnings(warnings, err);
  }
  return code;
}

}  // namespace zk::cli
