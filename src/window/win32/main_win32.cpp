// zk2morvex.exe: the converter's window on Windows.
// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include <string>
#include <vector>

#include "form1_win32.h"
#include "self_test.h"
#include "wide_text.h"

namespace {

using zk::win32window::Print;

constexpr const char* kUsage =
    "使い方: zk2morvex [--screenshot FILE.png] [SOURCE_FOLDER [DEST_FOLDER]]\n"
    "        zk2morvex --self-test SOURCE_FOLDER DEST_FOLDER [--screenshot FILE.png]\n"
    "  SOURCE_FOLDER  変換元フォルダ (ボーリングの表のフォルダ) を開いて始めます\n"
    "  DEST_FOLDER    変換先フォルダを開いて始めます\n"
    "  --screenshot FILE.png  ウィンドウの画像を保存して終わります\n"
    "  --self-test    二つのフォルダを入力して「実  行」を押し、結果を確かめて終わります\n"
    "                 (問い合わせには「はい」と答えます。成功 0、失敗 1)\n"
    "  --help         この説明\n";

struct Options {
  std::vector<std::string> folders;
  std::string screenshot;
  bool selfTest = false;
  bool help = false;
};

bool Parse(const std::vector<std::string>& args, Options& options, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h" || a == "/?") {
      options.help = true;
    } else if (a == "--self-test") {
      options.selfTest = true;
    } else if (a == "--screenshot") {
      if (i + 1 >= args.size()) {
        error = "--screenshot の後にファイル名がありません";
        return false;
      }
      options.screenshot = args[++i];
    } else if (a.rfind("--", 0) == 0) {
      error = "知らないオプションです: " + a;
      return false;
    } else {
      options.folders.push_back(a);
    }
  }
  if (options.folders.size() > 2) {
    error = "フォルダは変換元と変換先の二つまでです";
    return false;
  }
  if (options.selfTest && options.folders.size() != 2) {
    error = "--self-test には変換元と変換先のフォルダが要ります";
    return false;
  }
  return true;
}

// Sharp text at any scale: per-monitor awareness where Windows has it (the manifest asks for
// it too), else system awareness.
void BecomeDpiAware() {
  using ContextFn = BOOL(WINAPI*)(HANDLE);
  auto context = reinterpret_cast<ContextFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (context)
    context(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));  // per monitor, version 2
  else
    SetProcessDPIAware();
}

std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!list) return args;
  for (int i = 1; i < count; ++i) args.push_back(zk::win32window::Utf8(list[i]));
  LocalFree(list);
  return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  Options options;
  std::string error;
  if (!Parse(Arguments(), options, error)) {
    Print(error + "\n" + kUsage);
    return 2;
  }
  if (options.help) {
    Print(kUsage);
    return 0;
  }
  // A drive without a medium answers "not ready" to the lists instead of asking the user.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  BecomeDpiAware();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  zk::win32window::StartFolders start;
  if (!options.folders.empty()) start.source = options.folders[0];
  if (options.folders.size() > 1) start.destination = options.folders[1];
  zk::win32window::Form1 form(instance, start);
  if (!form.Create()) {
    Print("ウィンドウを作れません (Windows のエラー " + std::to_string(GetLastError()) + ")\n");
    return 1;
  }
  if (!form.Form_Load()) return 1;
  ShowWindow(form.Form1_, options.selfTest || !options.screenshot.empty() ? SW_SHOWNORMAL : show);
  UpdateWindow(form.Form1_);

  if (options.selfTest)
    return zk::win32window::RunSelfTest(form, options.folders[0], options.folders[1], options.screenshot);
  if (!options.screenshot.empty()) {
    MSG pending;
    while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&pending);
    bool saved = zk::win32window::SaveWindowPicture(form.Form1_, options.screenshot);
    if (!saved) Print("画像を保存できません: " + options.screenshot + "\n");
    return saved ? 0 : 1;
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (form.Form1_ && IsDialogMessageW(form.Form1_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
