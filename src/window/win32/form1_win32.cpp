#include "form1_win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "conversion/code_table_setting.h"
#include "conversion/window_runs.h"
#include "picture/boring_log_svg.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/path_checks.h"
#include "wide_text.h"

namespace zk::win32window {
namespace {

constexpr const wchar_t* kFormClass = L"Zk2morvexForm1";
constexpr const wchar_t* kPictureClass = L"Zk2morvexPicture1";
constexpr const wchar_t* kFindingsClass = L"Zk2morvexFindings";
constexpr int kCopyId = 1, kCloseId = 2;
constexpr const wchar_t* kHelpFileName = L"KavoroQX.HLP";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kFormWidthTwips = 9075;
constexpr int kFormHeightTwips = 6495;
// Plain files as the file list shows them: read-write, read-only and archived; no hidden
// or system files, no folders.
constexpr WPARAM kFileListKinds = DDL_READWRITE | DDL_READONLY | DDL_ARCHIVE;

// Per-window DPI where Windows has it (10 and later), else the screen's.
UINT WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static auto fn = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (fn && window) {
    if (UINT dpi = fn(window)) return dpi;
  }
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

bool FontInstalled(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(
      screen, &wanted,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM flag) -> int {
        *reinterpret_cast<bool*>(flag) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

std::wstring FullPath(const std::wstring& path) {
  DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return {};
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  full.resize(n);
  return full;
}

bool IsFolder(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsPlainFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring WithSeparator(std::wstring folder) {
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder;
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// The visible sub-folders of a folder, sorted without regard to letter case.
std::vector<std::wstring> SubFolders(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW((WithSeparator(folder) + L"*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchLimitToDirectories, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = found.cFileName;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    if (name == L"." || name == L"..") continue;
    names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    int order = CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE);
    return order != CSTR_EQUAL ? order == CSTR_LESS_THAN : a < b;
  });
  return names;
}

// The help file in one folder, or "" (a folder that is not there is no hit).
std::wstring HelpFileIn(const std::wstring& folder) {
  if (folder.empty()) return {};
  std::wstring candidate = WithSeparator(folder) + kHelpFileName;
  return IsPlainFile(candidate) ? candidate : std::wstring();
}

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::size_t cut = path.find_last_of(L'\\');
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

std::wstring EnvironmentText(const wchar_t* name) {
  DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return {};
  std::wstring text(n, L'\0');
  n = GetEnvironmentVariableW(name, text.data(), n);
  text.resize(n);
  return text;
}

std::wstring WorkingFolder() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::wstring text(n, L'\0');
  n = GetCurrentDirectoryW(n, text.data());
  text.resize(n);
  return text;
}

}  // namespace

Form1::Form1(HINSTANCE instance, StartFolders start) : instance_(instance), start_(std::move(start)) {
  context_.drives = platform::DriveMap::FromEnvironment();
}

Form1::~Form1() {
  if (boxHook_) UnhookWindowsHookEx(boxHook_);
  if (Form1_ && IsWindow(Form1_)) DestroyWindow(Form1_);
  if (font_) DeleteObject(font_);
  if (folderIcon_) DestroyIcon(folderIcon_);
  if (openFolderIcon_) DestroyIcon(openFolderIcon_);
}

bool Form1::Create() {
  WNDCLASSEXW form{};
  form.cbSize = sizeof form;
  form.lpfnWndProc = FormProc;
  form.hInstance = instance_;
  form.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = kFormClass;
  WNDCLASSEXW picture = form;
  picture.lpfnWndProc = PictureProc;
  picture.hIcon = nullptr;
  picture.lpszClassName = kPictureClass;
  if (!RegisterClassExW(&form) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  if (!RegisterClassExW(&picture) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  WNDCLASSEXW findings = form;
  findings.lpfnWndProc = FindingsProc;
  findings.lpszClassName = kFindingsClass;
  if (!RegisterClassExW(&findings) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  // The shell's folder icons, closed and open; without them the folder lists show names only.
  SHFILEINFOW shell{};
  constexpr UINT iconKind = SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES;
  if (SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &shell, sizeof shell, iconKind)) folderIcon_ = shell.hIcon;
  if (SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &shell, sizeof shell, iconKind | SHGFI_OPENICON))
    openFolderIcon_ = shell.hIcon;

  dpi_ = WindowDpi(nullptr);
  RECT frame{0, 0, Px(kFormWidthTwips), Px(kFormHeightTwips)};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  Form1_ = CreateWindowExW(0, kFormClass, Wide(kProgramTitle).c_str(), kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance_, this);
  if (!Form1_) return false;
  // The monitor the window landed on may have another DPI than the primary screen's.
  if (UINT dpi = WindowDpi(Form1_); dpi != dpi_) {
    dpi_ = dpi;
    frame = RECT{0, 0, Px(kFormWidthTwips), Px(kFormHeightTwips)};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
    SetWindowPos(Form1_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  MakeFont();
  Picture1 = CreateWindowExW(WS_EX_CONTROLPARENT, kPictureClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, Px(kFormWidthTwips),
                             Px(kFormHeightTwips), Form1_, nullptr, instance_, this);
  if (!Picture1) return false;

  // Created in tab order; the frames last, so that they lie beneath the controls they hold.
  constexpr DWORD label = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
  constexpr DWORD edit = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
  constexpr DWORD list =
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  constexpr DWORD drives = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
  constexpr DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  constexpr DWORD frameStyle = WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
  Label2 = Place(L"STATIC", "変換元ﾌｫﾙﾀﾞ名 ：", label, 0, 240, 300, 2235, 315);
  Text2 = Place(L"EDIT", "", edit, WS_EX_CLIENTEDGE, 2400, 240, 6255, 405);
  Label1 = Place(L"STATIC", "変換先ﾌｫﾙﾀﾞ名 ：", label, 0, 240, 900, 2235, 315);
  Text1 = Place(L"EDIT", "", edit, WS_EX_CLIENTEDGE, 2400, 840, 6255, 405);
  // Controls inside a frame: the frame's position plus theirs.
  // The folder lists draw their entries themselves: a folder icon, indented by depth.
  constexpr DWORD folders = list | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  Dir2 = Place(L"LISTBOX", "", folders, 0, 240 + 180, 1620 + 420, 2595, 1530);
  Drive2 = Place(L"COMBOBOX", "", drives, 0, 240 + 180, 1620 + 2220, 2595, 390, 3000);
  Dir1 = Place(L"LISTBOX", "", folders, 0, 3540 + 120, 1620 + 420, 2415, 1530);
  Drive1 = Place(L"COMBOBOX", "", drives, 0, 3540 + 120, 1620 + 2220, 2415, 390, 3000);
  File1 = Place(L"LISTBOX", "", list | LBS_SORT, 0, 3540 + 2640, 1620 + 420, 2415, 2190);
  Label3 = Place(L"STATIC", "", label, 0, 240 + 180, 4740 + 240, 8175, 315);
  Command3 = Place(L"BUTTON", "点  検", button, 0, 1020, 5580, 1260, 555);
  Command1 = Place(L"BUTTON", "実  行", button, 0, 2520, 5580, 1935, 555);
  Command2 = Place(L"BUTTON", "終  了", button, 0, 5160, 5580, 2055, 555);
  Command4 = Place(L"BUTTON", "柱状図", button | WS_DISABLED, 0, 7455, 5580, 1260, 555);
  Frame2 = Place(L"BUTTON", "変換元ﾌｫﾙﾀﾞ名選択", frameStyle, 0, 240, 1620, 3135, 2895);
  Frame1 = Place(L"BUTTON", "変換先ﾌｫﾙﾀﾞ名選択", frameStyle, 0, 3540, 1620, 5175, 2895);
  Frame3 = Place(L"BUTTON", "メッセージ", frameStyle, 0, 240, 4740, 8475, 675);
  for (const Placed& p : placed_)
    if (!p.window) return false;
  SetFolderItemHeight();

  ++quiet_;
  FillDriveList(Drive1);
  FillDriveList(Drive2);
  OpenAtStart(Dir2, dir2_, Drive2, start_.source);
  OpenAtStart(Dir1, dir1_, Drive1, start_.destination);
  FillFileList();
  --quiet_;
  return true;
}

HWND Form1::Place(const wchar_t* kind, const char* text, DWORD style, DWORD exStyle, int left, int top, int width,
                  int height, int dropHeight) {
  int id = 100 + static_cast<int>(placed_.size());
  HWND window = CreateWindowExW(exStyle | 0, kind, Wide(text).c_str(), style | WS_CLIPSIBLINGS, Px(left), Px(top),
                                Px(width), Px(height + dropHeight), Picture1,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (window) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  placed_.push_back({window, RECT{left, top, width, height + dropHeight}});
  return window;
}

void Form1::Layout() {
  MoveWindow(Picture1, 0, 0, Px(kFormWidthTwips), Px(kFormHeightTwips), FALSE);
  for (const Placed& p : placed_) {
    SendMessageW(p.window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    MoveWindow(p.window, Px(p.twips.left), Px(p.twips.top), Px(p.twips.right), Px(p.twips.bottom), FALSE);
  }
  SetFolderItemHeight();
  InvalidateRect(Form1_, nullptr, TRUE);
}

// Room for a small icon or a line of text, whichever is taller.
void Form1::SetFolderItemHeight() {
  HDC dc = GetDC(Picture1);
  HGDIOBJ old = SelectObject(dc, font_);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(Picture1, dc);
  int height = std::max(static_cast<int>(metrics.tmHeight), IconSize()) + Px(30);
  for (HWND list : {Dir1, Dir2}) SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
}

// One entry of a folder list: its icon (open for the folder and its ancestors, closed for
// sub-folders) indented by its depth, then its name.
void Form1::DrawFolderItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  auto data = static_cast<int>(SendMessageW(item.hwndItem, LB_GETITEMDATA, item.itemID, 0));
  int depth = data / 2;
  bool open = (data % 2) != 0;
  int icon = folderIcon_ && openFolderIcon_ ? IconSize() : 0;
  int x = item.rcItem.left + Px(30) + depth * Px(150);
  int top = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - icon) / 2;
  if (HICON glyph = open ? openFolderIcon_ : folderIcon_)
    DrawIconEx(dc, x, top, glyph, icon, icon, 0, nullptr, DI_NORMAL);
  int length = static_cast<int>(SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0));
  std::wstring name(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
  length =
      static_cast<int>(SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(name.data())));
  name.resize(static_cast<std::size_t>(std::max(length, 0)));
  RECT text = item.rcItem;
  text.left = x + icon + (icon ? Px(60) : 0);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  HGDIOBJ old = SelectObject(dc, font_);
  DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

// The first Japanese UI face that is installed, at 9 points for the window's DPI; else the
// system's default GUI face at the same size.
void Form1::MakeFont() {
  LOGFONTW face{};
  const wchar_t* chosen = nullptr;
  for (const wchar_t* candidate : {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"}) {
    if (FontInstalled(candidate)) {
      chosen = candidate;
      break;
    }
  }
  if (chosen) {
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfWeight = FW_NORMAL;
    face.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(face.lfFaceName, chosen, LF_FACESIZE);
  } else {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
  }
  face.lfHeight = -MulDiv(9, static_cast<int>(dpi_), 72);
  face.lfWidth = 0;
  HFONT made = CreateFontIndirectW(&face);
  if (!made) return;
  if (font_) DeleteObject(font_);
  font_ = made;
  fontFace_ = face.lfFaceName;
}

bool Form1::Form_Load() {
  Centre();
  if (!LoadOrChooseCodeTableFolder(
          context_.drives, *this, [this] { return ChooseCodeTableFolder(); }, context_.codeTableFolder))
    return false;
  helpFilePath_ = HelpFileIn(ProgramFolder());
  if (helpFilePath_.empty()) {
    std::wstring path = EnvironmentText(L"PATH");
    std::size_t from = 0;
    while (helpFilePath_.empty() && from < path.size()) {
      std::size_t end = path.find(L';', from);
      if (end == std::wstring::npos) end = path.size();
      helpFilePath_ = HelpFileIn(path.substr(from, end - from));
      from = end + 1;
    }
  }
  completionFlag_ = 0;
  SetWindowTextW(Text1, dir1_.path.c_str());
  SetWindowTextW(Text2, dir2_.path.c_str());
  return true;
}

std::string Form1::ChooseCodeTableFolder() {
  std::wstring title = Wide("コード表のフォルダ (L9.txt と Kishitu.txt のあるフォルダ)");
  BROWSEINFOW browse{};
  browse.hwndOwner = Form1_;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (!chosen) return "";
  // Room for the longest path Windows has, so that a deep folder is not cut.
  std::wstring path(32768, L'\0');
  if (!SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) path.clear();
  CoTaskMemFree(chosen);
  path.resize(wcslen(path.c_str()));
  return Utf8(path);
}

void Form1::Centre() {
  RECT r;
  GetWindowRect(Form1_, &r);
  int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(Form1_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::ShowHelp(int context) {
  if (context == 4 || helpFilePath_.empty()) return;
  ShellExecuteW(Form1_, L"open", helpFilePath_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// ---- Folder, drive and file lists ----

bool Form1::SetFolder(HWND list, FolderListState& state, const std::wstring& path) {
  std::wstring wanted = path;
  if (wanted.size() == 2 && IsDriveLetter(wanted[0]) && wanted[1] == L':')
    wanted = Wide(context_.drives.CurrentFolder(static_cast<char>(Upper(wanted[0]))));
  std::wstring full = FullPath(wanted);
  if (full.size() < 3 || !IsDriveLetter(full[0]) || full[1] != L':') return false;
  full[0] = Upper(full[0]);
  if (full.size() > 3 && full.back() == L'\\') full.pop_back();
  if (!IsFolder(full)) return false;
  bool changed = full != state.path;
  state.path = full;
  FillFolderList(list, state);
  if (changed && quiet_ == 0) {
    if (list == Dir1)
      Dir1_Change();
    else
      Dir2_Change();
  }
  return true;
}

// The open folder's ancestors from the root down, each a step further in, then the folder's
// own sub-folders one step further than it.
void Form1::FillFolderList(HWND list, FolderListState& state) {
  struct Entry {
    std::wstring name;
    int data;  // depth * 2, plus 1 for an open folder
  };
  state.entries.clear();
  std::vector<Entry> shown;
  std::wstring ancestor = state.path.substr(0, 3);  // "C:\"
  state.entries.push_back(ancestor);
  shown.push_back({ancestor, 1});
  std::size_t from = 3;
  int depth = 0;
  while (from < state.path.size()) {
    std::size_t end = state.path.find(L'\\', from);
    if (end == std::wstring::npos) end = state.path.size();
    std::wstring name = state.path.substr(from, end - from);
    ancestor = WithSeparator(ancestor) + name;
    ++depth;
    state.entries.push_back(ancestor);
    shown.push_back({name, depth * 2 + 1});
    from = end + 1;
  }
  int open = static_cast<int>(state.entries.size()) - 1;
  for (const std::wstring& name : SubFolders(state.path)) {
    state.entries.push_back(WithSeparator(state.path) + name);
    shown.push_back({name, (depth + 1) * 2});
  }
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const Entry& entry : shown) {
    LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
    if (at >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), entry.data);
  }
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(open), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

// Every drive letter Windows has, ready or not; a fixed drive shows its volume label.
void Form1::FillDriveList(HWND combo) {
  wchar_t keep = SelectedDrive(combo);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  DWORD letters = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(letters & (1u << i))) continue;
    wchar_t letter = static_cast<wchar_t>(L'A' + i);
    std::wstring root{letter, L':', L'\\'};
    std::wstring text{static_cast<wchar_t>(L'a' + i), L':'};
    // Only fixed drives are asked for their label: a removable or network drive may keep the
    // window waiting for a medium or a server.
    if (GetDriveTypeW(root.c_str()) == DRIVE_FIXED) {
      wchar_t label[MAX_PATH + 1] = {};
      if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) && label[0])
        text += std::wstring(L" [") + label + L"]";
    }
    LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(letter));
  }
  if (keep) SelectDriveQuietly(combo, keep);
}

void Form1::SelectDriveQuietly(HWND combo, wchar_t letter) {
  LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (static_cast<wchar_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == Upper(letter)) {
      SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);  // sends no change notice
      return;
    }
  }
}

wchar_t Form1::SelectedDrive(HWND combo) const {
  LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return 0;
  return static_cast<wchar_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

void Form1::FillFileList() {
  fileListPath_ = dir1_.path;
  SendMessageW(File1, WM_SETREDRAW, FALSE, 0);
  SendMessageW(File1, LB_RESETCONTENT, 0, 0);
  if (!fileListPath_.empty()) {
    std::wstring pattern = WithSeparator(fileListPath_) + L"*.*";
    SendMessageW(File1, LB_DIR, kFileListKinds, reinterpret_cast<LPARAM>(pattern.c_str()));
  }
  SendMessageW(File1, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(File1, nullptr, TRUE);
}

// A start folder that cannot be opened leaves the list at the working folder; the drive list
// shows the drive of whatever folder the list holds.
void Form1::OpenAtStart(HWND dir, FolderListState& state, HWND drive, const std::string& folder) {
  if (folder.empty() || !SetFolder(dir, state, Wide(folder)))
    if (!SetFolder(dir, state, WorkingFolder())) SetFolder(dir, state, L"C:\\");
  if (!state.path.empty()) SelectDriveQuietly(drive, state.path[0]);
}

// A drive that is not ready sends the list back to its first entry, which runs this handler
// again for that drive. When the first entry is itself the one not ready, the list shows the
// folder list's drive again instead of going round.
void Form1::DriveChange(HWND drive, HWND dir, FolderListState& state) {
  wchar_t letter = SelectedDrive(drive);
  if (!letter) return;
  if (!SetFolder(dir, state, std::wstring{letter, L':'})) {
    if (SendMessageW(drive, CB_GETCURSEL, 0, 0) != 0) {
      SendMessageW(drive, CB_SETCURSEL, 0, 0);
      DriveChange(drive, dir, state);
    } else if (!state.path.empty()) {
      SelectDriveQuietly(drive, state.path[0]);
    }
  }
  LRESULT remembered = SendMessageW(drive, CB_GETCURSEL, 0, 0);
  if (!context_.drives.SetCurrentDrive(static_cast<char>(SelectedDrive(drive))))
    SendMessageW(drive, CB_SETCURSEL, static_cast<WPARAM>(remembered), 0);
}

// ---- Events ----

void Form1::Command1_Click() {
  RunResult run = RunWithFindings(*this, context_);
  lastRun_ = run;
  if (!run.converted) return;
  completionFlag_ = 1;
  ShowDestinationFolder(run.exchangeFilePath);
  lastExchangeFile_ = run.exchangeFilePath;
  EnableWindow(Command4, TRUE);
  // A run that found something in the boring says how much on the status line, after the
  // completion message, and lists it at once.
  std::string count = FindingsCountText(run.report);
  if (count.empty()) return;
  SetStatus(Utf8(WindowText(Label3)) + "　" + count);
  ShowFindings(run.report, true);
}

// After a run into a typed destination the lists move there, so that the new exchange file
// is in sight.
void Form1::ShowDestinationFolder(const std::string& exchangeFile) {
  std::wstring folder = Wide(exchangeFile.substr(0, exchangeFile.find_last_of('\\')));
  if (folder.size() == 2) folder += L'\\';
  if (!SetFolder(Dir1, dir1_, folder)) return;
  if (!dir1_.path.empty()) SelectDriveQuietly(Drive1, dir1_.path[0]);
}

// The findings of the source boring without converting it; the path is checked as a run
// checks it, and nothing is written.
void Form1::Command3_Click() {
  std::optional<BoringCheck> check = CheckWithoutConverting(*this, context_);
  if (!check) return;
  completionFlag_ = 0;
  ShowFindings(*check, false);
}

// The picture opens with the program Windows associates with SVG files (a browser).
void Form1::Command4_Click() {
  std::wstring file;
  if (SaveLogPicture(file)) ShellExecuteW(Form1_, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool Form1::SaveLogPicture(std::wstring& file) {
  if (lastExchangeFile_.empty()) return false;
  std::string svg;
  if (Status s = DrawLogPicture(context_.drives, lastExchangeFile_, svg); !s) {
    ShowMessage(s.Message(), Icon::Exclamation, "");
    return false;
  }
  wchar_t temp[MAX_PATH + 1] = {};
  DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  std::string name = lastExchangeFile_.substr(lastExchangeFile_.find_last_of('\\') + 1);
  file = std::wstring(temp, n > MAX_PATH ? 0 : n) + Wide(name) + L".svg";
  HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  bool ok = out != INVALID_HANDLE_VALUE &&
            WriteFile(out, svg.data(), static_cast<DWORD>(svg.size()), &written, nullptr) && written == svg.size();
  if (out != INVALID_HANDLE_VALUE) ok = CloseHandle(out) && ok;
  if (!ok) {
    DeleteFileW(file.c_str());
    ShowMessage("柱状図のファイルを書けません。\n" + Utf8(file), Icon::Exclamation, "");
  }
  return ok;
}

void Form1::ShowFindings(const BoringCheck& check, bool converted) {
  HWND list = CreateWindowExW(WS_EX_DLGMODALFRAME, kFindingsClass,
                              Wide(std::string(converted ? "変換の指摘 - " : "点検結果 - ") + kProgramTitle).c_str(),
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, CW_USEDEFAULT, CW_USEDEFAULT,
                              Px(10500), Px(6000), Form1_, nullptr, instance_, nullptr);
  if (!list) return;
  RECT area;
  GetClientRect(list, &area);
  int width = area.right, height = area.bottom, margin = Px(150), button = Px(1200), buttonHeight = Px(450);
  constexpr DWORD child = WS_CHILD | WS_VISIBLE;
  HWND heading =
      CreateWindowExW(0, L"STATIC", Wide(FindingsHeading(check, converted, "\r\n")).c_str(), child | SS_NOPREFIX,
                      margin, margin, width - 2 * margin, Px(600), list, nullptr, instance_, nullptr);
  HWND text = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", Wide(FindingsText(check, "\r\n")).c_str(),
      child | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
      margin, margin + Px(700), width - 2 * margin, height - Px(700) - buttonHeight - 3 * margin, list, nullptr,
      instance_, nullptr);
  HWND copy = CreateWindowExW(0, L"BUTTON", L"コピー", child | WS_TABSTOP | BS_PUSHBUTTON,
                              width - 2 * (button + margin), height - buttonHeight - margin, button, buttonHeight, list,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCopyId)), instance_, nullptr);
  HWND close = CreateWindowExW(0, L"BUTTON", L"閉じる", child | WS_TABSTOP | BS_DEFPUSHBUTTON, width - button - margin,
                               height - buttonHeight - margin, button, buttonHeight, list,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseId)), instance_, nullptr);
  for (HWND control : {heading, text, copy, close})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(text));

  // Modal over the window: the window takes no input until the list is closed.
  RECT form, own;
  GetWindowRect(Form1_, &form);
  GetWindowRect(list, &own);
  SetWindowPos(list, nullptr, form.left + (form.right - form.left - (own.right - own.left)) / 2,
               form.top + (form.bottom - form.top - (own.bottom - own.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EnableWindow(Form1_, FALSE);
  ShowWindow(list, SW_SHOW);
  SetFocus(close);
  MSG message;
  bool quit = false;
  while (IsWindow(list)) {
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
      quit = true;
      break;
    }
    if (IsDialogMessageW(list, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  EnableWindow(Form1_, TRUE);
  SetActiveWindow(Form1_);
  if (IsWindow(list)) DestroyWindow(list);
  if (quit) PostQuitMessage(static_cast<int>(message.wParam));
}

LRESULT CALLBACK Form1::FindingsProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(w) == kCloseId || LOWORD(w) == IDCANCEL || LOWORD(w) == IDOK) {
        DestroyWindow(window);
        return 0;
      }
      if (LOWORD(w) == kCopyId) {
        // The whole list onto the clipboard as text.
        auto text = reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_USERDATA));
        std::wstring all = WindowText(text);
        if (OpenClipboard(window)) {
          EmptyClipboard();
          if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (all.size() + 1) * sizeof(wchar_t))) {
            if (void* p = GlobalLock(memory)) {
              memcpy(p, all.c_str(), (all.size() + 1) * sizeof(wchar_t));
              GlobalUnlock(memory);
              if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
            } else {
              GlobalFree(memory);
            }
          }
          CloseClipboard();
        }
        return 0;
      }
      break;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, w, l);
}

void Form1::Command2_Click() { DestroyWindow(Form1_); }

void Form1::Dir1_Change() {
  FillFileList();
  SetWindowTextW(Text1, dir1_.path.c_str());
  context_.drives.SetCurrentFolder(Utf8(dir1_.path));
}

void Form1::Dir2_Change() {
  SetWindowTextW(Text2, dir2_.path.c_str());
  context_.drives.SetCurrentFolder(Utf8(dir2_.path));
}

void Form1::Drive1_Change() { DriveChange(Drive1, Dir1, dir1_); }

void Form1::Drive2_Change() { DriveChange(Drive2, Dir2, dir2_); }

void Form1::File1_Click() {}

void Form1::Picture1_MouseMove() {
  if (completionFlag_ != 1) return;
  SetWindowTextW(Label3, L"");
  completionFlag_ = 0;
}

void Form1::OnCommand(HWND control, int code) {
  if (control == Command1 && code == BN_CLICKED)
    Command1_Click();
  else if (control == Command2 && code == BN_CLICKED)
    Command2_Click();
  else if (control == Command3 && code == BN_CLICKED)
    Command3_Click();
  else if (control == Command4 && code == BN_CLICKED)
    Command4_Click();
  else if ((control == Drive1 || control == Drive2) && code == CBN_SELCHANGE) {
    if (control == Drive1)
      Drive1_Change();
    else
      Drive2_Change();
  } else if ((control == Dir1 || control == Dir2) && code == LBN_DBLCLK) {
    FolderListState& state = control == Dir1 ? dir1_ : dir2_;
    LRESULT at = SendMessageW(control, LB_GETCURSEL, 0, 0);
    if (at >= 0 && static_cast<std::size_t>(at) < state.entries.size()) {
      std::wstring target = state.entries[static_cast<std::size_t>(at)];
      if (!SetFolder(control, state, target)) FillFolderList(control, state);  // gone meanwhile
    }
  } else if (control == File1 && code == LBN_SELCHANGE) {
    File1_Click();
  }
}

// ---- WindowOps ----

void Form1::SetStatus(const std::string& text) {
  SetWindowTextW(Label3, Wide(text).c_str());
  UpdateWindow(Label3);  // the run holds the thread; paint the line now
}

void Form1::ShowMessage(const std::string& text, Icon icon, const std::string& title) {
  UINT type = MB_OK;
  if (icon == Icon::Exclamation) type |= MB_ICONEXCLAMATION;
  if (icon == Icon::Information) type |= MB_ICONINFORMATION;
  MessageBoxW(Form1_, Wide(text).c_str(), Wide(title.empty() ? std::string(kProgramTitle) : title).c_str(), type);
}

bool Form1::AskYesNo(const std::string& text) {
  return MessageBoxW(Form1_, Wide(text).c_str(), Wide(kProgramTitle).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Form1::SetBusy(bool on) {
  busy_ = on;
  SetCursor(LoadCursorW(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

void Form1::FocusDestination() {
  SetFocus(Text1);
  SendMessageW(Text1, EM_SETSEL, 0, -1);
}

void Form1::RefreshDestinationList() { FillFileList(); }

std::string Form1::SourceText() { return Utf8(WindowText(Text2)); }

std::string Form1::DestinationText() { return Utf8(WindowText(Text1)); }

// ---- Window procedures ----

void Form1::SetDialogAnswerer(std::function<void(HWND box)> answerer) {
  answerer_ = std::move(answerer);
  if (answerer_ && !boxHook_) boxHook_ = SetWindowsHookExW(WH_CBT, BoxOpened, nullptr, GetCurrentThreadId());
  if (!answerer_ && boxHook_) {
    UnhookWindowsHookEx(boxHook_);
    boxHook_ = nullptr;
  }
}

// A dialog of this thread becomes active: when it is a message box of a Form1 with an
// answerer, hand it over. The Form1 is found through the box's owner.
LRESULT CALLBACK Form1::BoxOpened(int code, WPARAM w, LPARAM l) {
  if (code == HCBT_ACTIVATE) {
    HWND opened = reinterpret_cast<HWND>(w);
    wchar_t kind[32] = {};
    GetClassNameW(opened, kind, 32);
    HWND owner = GetWindow(opened, GW_OWNER);
    wchar_t ownerKind[32] = {};
    if (owner) GetClassNameW(owner, ownerKind, 32);
    bool box = lstrcmpW(kind, L"#32770") == 0 || lstrcmpW(kind, kFindingsClass) == 0;
    if (box && lstrcmpW(ownerKind, kFormClass) == 0) {
      auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(owner, GWLP_USERDATA));
      if (self && self->answerer_) self->answerer_(opened);
    }
  }
  return CallNextHookEx(nullptr, code, w, l);
}

LRESULT CALLBACK Form1::FormProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->Form1_ = window;
  }
  auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->OnFormMessage(message, w, l) : DefWindowProcW(window, message, w, l);
}

LRESULT CALLBACK Form1::PictureProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->Picture1) return DefWindowProcW(window, message, w, l);
  return self->OnPictureMessage(message, w, l);
}

LRESULT Form1::OnFormMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case 0x02E0: {  // WM_DPICHANGED: new font and sizes, in the place Windows suggests
      dpi_ = HIWORD(w);
      MakeFont();
      const RECT* suggested = reinterpret_cast<const RECT*>(l);
      SetWindowPos(Form1_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(Form1_, GWLP_USERDATA, 0);
      Form1_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(Form1_, message, w, l);
}

LRESULT Form1::OnPictureMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      if (item->hwndItem == Dir1 || item->hwndItem == Dir2) {
        DrawFolderItem(*item);
        return TRUE;
      }
      break;
    }
    case WM_COMMAND:
      if (l) OnCommand(reinterpret_cast<HWND>(l), HIWORD(w));
      return 0;
    case WM_MOUSEMOVE:
      Picture1_MouseMove();
      return 0;
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(Picture1, message, w, l);
}

}  // namespace zk::win32window
