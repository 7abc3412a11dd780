#include "cli/cli.h"

#include <iostream>

#include "conversion/run.h"
#include "platform/drives.h"
#include "support/settings.h"

namespace zk::cli {
namespace {

constexpr const char* kUsageText =
    "使い方: zk2morvex-cli [--yes | --no] --dest DEST_FOLDER SOURCE_FOLDER...\n"
    "  ボーリングのフォルダ SOURCE_FOLDER ごとに交換ファイルを DEST_FOLDER に書きます。\n"
    "  フォルダはホストのパス (/tmp/out) でもドライブ形式 (Z:\\tmp\\out) でも指定できます。\n"
    "  --yes   質問にはすべて「はい」と答える\n"
    "  --no    質問にはすべて「いいえ」と答える\n"
    "  (どちらもなければ端末で質問し、端末でなければ「いいえ」と答えます)\n"
    "  --help  この説明\n"
    "終了状態: 0 すべて変換した, 1 止まった変換がある, 2 使い方の誤り\n";

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
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      error = "知らないオプションです: " + a;
      return false;
    } else {
      options.sources.push_back(a);
    }
  }
  if (options.help) return true;
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
  if (!LoadCodeTableFolder()) {
    err << kNoVuredaMessage << "\n";
    return kStopped;
  }
  TerminalWindow window(options, in, inIsTerminal, err);
  int code = kSuccess;
  for (const std::string& source : options.sources) {
    window.SetSource(platform::CommandLinePathToDriveForm(source));
    RunResult result = RunConversion(window);
    if (!result.converted) {
      code = kStopped;
      continue;
    }
    auto host = platform::ToHost(result.exchangeFilePath);
    out << (host ? host->string() : result.exchangeFilePath) << "\n";
  }
  return code;
}

}  // namespace zk::cli
