#include "self_test.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "wide_text.h"

namespace zk::win32window {
namespace {

constexpr const char* kFinishedStatus = "変換が正常に終了しました。";

std::vector<std::wstring> ListItems(HWND list) {
  std::vector<std::wstring> items;
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT n = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n < 0) continue;
    std::wstring item(static_cast<std::size_t>(n) + 1, L'\0');
    n = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(std::max<LRESULT>(n, 0)));
    items.push_back(item);
  }
  return items;
}

// Lets the window handle everything already sent or posted to it (painting included).
void Settle(HWND window) {
  if (window)
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The texts of a message box's static controls: its message.
std::wstring BoxText(HWND box) {
  std::wstring text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t kind[16] = {};
    GetClassNameW(child, kind, 16);
    if (lstrcmpiW(kind, L"Static") != 0) continue;
    std::wstring part = WindowText(child);
    if (part.empty()) continue;
    if (!text.empty()) text += L"\n";
    text += part;
  }
  return text;
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
  auto tidy = [](const std::wstring& path) {
    wchar_t full[MAX_PATH * 4];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    std::wstring out = n > 0 && n < MAX_PATH * 4 ? std::wstring(full, n) : path;
    if (out.size() > 3 && out.back() == L'\\') out.pop_back();
    return out;
  };
  return CompareStringOrdinal(tidy(a).c_str(), -1, tidy(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

// What a control tells its parent when the user acts on it.
void Notify(Form1& form, HWND control, int code) {
  SendMessageW(form.Picture1, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

wchar_t DriveAt(HWND combo, LRESULT index) {
  return static_cast<wchar_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void Check(bool held, const std::string& what, int& failures) {
  Print(std::string(held ? "ok:   " : "FAIL: ") + what + "\n");
  if (!held) ++failures;
}

// CRC of PNG chunks (ISO 3309), Adler-32 of the zlib stream.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Chunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
  PutBig32(png, static_cast<std::uint32_t>(data.size()));
  std::size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  PutBig32(png, Crc32(png.data() + start, png.size() - start));
}

// An RGB image as PNG, its pixels in stored (uncompressed) deflate blocks: no compression
// library for a picture taken once.
std::vector<std::uint8_t> Png(int width, int height, const std::vector<std::uint8_t>& rows) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBig32(header, static_cast<std::uint32_t>(width));
  PutBig32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
  Chunk(png, "IHDR", header);
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t at = 0;
  do {
    std::size_t n = std::min<std::size_t>(rows.size() - at, 65535);
    bool last = at + n == rows.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n & 0xFF));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n & 0xFF));
    z.push_back(static_cast<std::uint8_t>((~n >> 8) & 0xFF));
    z.insert(z.end(), rows.begin() + static_cast<std::ptrdiff_t>(at),
             rows.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < rows.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : rows) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBig32(z, (b << 16) | a);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});
  return png;
}

}  // namespace

void Print(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) {
    // A window program started from a console has none of its own: write to that console.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  }
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(out, &mode)) {
    std::wstring wide = Wide(text);
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
}

bool SaveWindowPicture(HWND window, const std::string& pngPath) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC source = GetWindowDC(window);
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
  }
  std::vector<std::uint8_t> rows;
  if (copied) {
    rows.reserve(static_cast<std::size_t>(height) * (static_cast<std::size_t>(width) * 3 + 1));
    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    for (int y = 0; y < height; ++y) {
      rows.push_back(0);  // no filter
      const std::uint8_t* p = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
      for (int x = 0; x < width; ++x, p += 4) rows.insert(rows.end(), {p[2], p[1], p[0]});
    }
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  if (!copied) return false;

  std::vector<std::uint8_t> png = Png(width, height, rows);
  HANDLE file =
      CreateFileW(Wide(pngPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr) && written == png.size();
  ok = CloseHandle(file) && ok;
  if (!ok) DeleteFileW(Wide(pngPath).c_str());
  return ok;
}

int RunSelfTest(Form1& form, const std::string& source, const std::string& destination, const std::string& screenshot) {
  int failures = 0;
  Print("font: " + Utf8(form.FontFace()) + "\n");
  int listsShown = 0;
  form.SetDialogAnswerer([&](HWND box) {
    // A box may become active more than once; it is answered once.
    if (!IsWindow(box) || GetPropW(box, L"Zk2morvexAnswered")) return;
    SetPropW(box, L"Zk2morvexAnswered", reinterpret_cast<HANDLE>(1));
    wchar_t kind[32] = {};
    GetClassNameW(box, kind, 32);
    if (lstrcmpW(kind, L"#32770") != 0) {
      // The findings list: what it says, then closed.
      ++listsShown;
      Print("findings list (" + Utf8(WindowText(box)) + "):\n");
      for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t childKind[16] = {};
        GetClassNameW(child, childKind, 16);
        if (lstrcmpiW(childKind, L"Button") != 0) Print(Utf8(WindowText(child)) + "\n");
      }
      PostMessageW(box, WM_CLOSE, 0, 0);
      return;
    }
    HWND yes = GetDlgItem(box, IDYES);
    int button = yes ? IDYES : IDOK;
    Print(std::string(yes ? "question (Yes): " : "message (OK): ") + Utf8(BoxText(box)) + "\n");
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  });
  Settle(form.Form1_);

  SendMessageW(form.Text2, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(source).c_str()));
  SendMessageW(form.Text1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(destination).c_str()));
  Check(form.SourceText() == source && form.DestinationText() == destination, "Text2 and Text1 hold the two folders",
        failures);

  SendMessageW(form.Command1, BM_CLICK, 0, 0);
  Settle(form.Form1_);

  std::string status = Utf8(WindowText(form.Label3));
  Print("Label3: " + status + "\n");
  // A run that found something adds the counts after the completion message.
  Check(status.rfind(kFinishedStatus, 0) == 0, "Label3 tells the conversion finished", failures);
  Check(form.LastRun().converted, "the run reports the exchange file written", failures);
  std::string written = form.LastRun().exchangeFilePath;
  Print("exchange file: " + written + "\n");
  std::string name = written.substr(written.find_last_of('\\') + 1);
  bool listed = false;
  for (const std::wstring& item : ListItems(form.File1)) {
    Print("File1: " + Utf8(item) + "\n");
    if (!name.empty() && CompareStringOrdinal(item.c_str(), -1, Wide(name).c_str(), -1, TRUE) == CSTR_EQUAL)
      listed = true;
  }
  // File1 lists the folder Dir1 shows, which a run moves to the destination; should Dir1 not
  // have got there, the list is not the destination's and is not judged.
  if (SameFolder(form.Dir1Path(), Wide(destination))) {
    Check(listed, "File1 lists the new exchange file", failures);
  } else {
    Print("File1 lists " + Utf8(form.Dir1Path()) + ", not the destination: not checked\n");
  }
  DWORD attributes = GetFileAttributesW(Wide(written).c_str());
  Check(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY),
        "the exchange file is on the disk", failures);
  Check(form.CompletionFlag() == 1, "the completion flag is set", failures);

  if (!screenshot.empty()) {
    bool saved = SaveWindowPicture(form.Form1_, screenshot);
    Check(saved, "picture saved to " + screenshot, failures);
  }

  SendMessageW(form.Picture1, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  Check(WindowText(form.Label3).empty() && form.CompletionFlag() == 0,
        "a mouse move over Picture1 clears Label3 and the flag", failures);

  // 柱状図: the boring log picture of the file just written.
  Check(IsWindowEnabled(form.Command4) != FALSE, "柱状図 is enabled after the conversion", failures);
  std::wstring picture;
  bool drawn = form.SaveLogPicture(picture);
  std::string head;
  if (drawn) {
    HANDLE in = CreateFileW(picture.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char bytes[512] = {};
    DWORD got = 0;
    if (in != INVALID_HANDLE_VALUE) {
      ReadFile(in, bytes, sizeof bytes, &got, nullptr);
      CloseHandle(in);
    }
    head.assign(bytes, got);
    DeleteFileW(picture.c_str());
  }
  Check(drawn && head.find("<svg") != std::string::npos, "the boring log picture is written as SVG", failures);

  // 点  検: the boring checked without converting, its findings listed.
  int listsBefore = listsShown;
  SendMessageW(form.Command3, BM_CLICK, 0, 0);
  Settle(form.Form1_);
  status = Utf8(WindowText(form.Label3));
  Print("Label3: " + status + "\n");
  Check(status.rfind("点検が終わりました。", 0) == 0 && listsShown == listsBefore + 1,
        "点  検 tells the check finished and lists its findings", failures);

  // Choosing a folder in Dir2 shows it in Text2 at once: the drive's root, its first entry.
  SendMessageW(form.Dir2, LB_SETCURSEL, 0, 0);
  Notify(form, form.Dir2, LBN_DBLCLK);
  std::wstring root = form.Dir2Path();
  Check(root.size() == 3 && root[1] == L':' && WindowText(form.Text2) == root,
        "double-clicking the root in Dir2 opens it and shows it in Text2", failures);

  // A drive that is not ready, chosen in Drive2, sends the list back to its first drive.
  LRESULT drives = SendMessageW(form.Drive2, CB_GETCOUNT, 0, 0), notReady = -1;
  for (LRESULT i = 1; i < drives && notReady < 0; ++i) {
    std::wstring driveRoot{DriveAt(form.Drive2, i), L':', L'\\'};
    if (GetFileAttributesW(driveRoot.c_str()) == INVALID_FILE_ATTRIBUTES) notReady = i;
  }
  if (notReady > 0) {
    Print(std::string("drive not ready: ") + static_cast<char>(DriveAt(form.Drive2, notReady)) + ":\n");
    SendMessageW(form.Drive2, CB_SETCURSEL, static_cast<WPARAM>(notReady), 0);
    Notify(form, form.Drive2, CBN_SELCHANGE);
    Check(SendMessageW(form.Drive2, CB_GETCURSEL, 0, 0) == 0 && !form.Dir2Path().empty() &&
              form.Dir2Path()[0] == DriveAt(form.Drive2, 0) && WindowText(form.Text2) == form.Dir2Path(),
          "choosing a drive that is not ready returns Drive2 and Dir2 to the first drive", failures);
  } else {
    Print("every drive is ready: the drive that is not ready is not checked\n");
  }

  form.SetDialogAnswerer(nullptr);
  SendMessageW(form.Command2, BM_CLICK, 0, 0);
  Settle(form.Form1_);
  Check(form.Form1_ == nullptr, "終  了 closes the window", failures);

  Print(failures == 0 ? "self-test passed\n" : "self-test FAILED\n");
  return failures == 0 ? 0 : 1;
}

}  // namespace zk::win32window
