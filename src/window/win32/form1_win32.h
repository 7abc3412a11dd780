// The program's one window on Windows, made of plain Win32 controls: the source and
// destination folders with their drive, folder and file lists, the status line, the run and
// exit buttons. It is also the window the run talks to (WindowOps); the run executes on this
// thread and the window waits for it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "conversion/context.h"
#include "conversion/run.h"
#include "conversion/window_ops.h"

namespace zk::win32window {

// The folders the window opens at start (Windows paths); empty: the working folder.
struct StartFolders {
  std::string source;
  std::string destination;
};

// The state of one folder list: the open folder and, per list entry, the folder it opens.
struct FolderListState {
  std::wstring path;                  // "C:\DATA\B001", a root as "C:\"
  std::vector<std::wstring> entries;  // ancestors from the root down, the open folder, its sub-folders
};

class Form1 : public WindowOps {
 public:
  Form1(HINSTANCE instance, StartFolders start);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls, hidden. false when Windows refuses.
  bool Create();
  // Start-up: centres the window, loads the code-table setting, finds the help file and fills
  // the path boxes. false: the setting is missing and the user was told; the program ends.
  bool Form_Load();

  // Opens the help file with the program Windows associates with it; nothing without a file.
  // Context 4 (help on the help viewer itself) has nothing to show.
  void ShowHelp(int context);
  const std::wstring& HelpFilePath() const { return helpFilePath_; }

  // 1 while the status line shows the completion message, else 0.
  int CompletionFlag() const { return completionFlag_; }
  // What the last press of the run button did.
  const RunResult& LastRun() const { return lastRun_; }

  // WindowOps.
  void SetStatus(const std::string& text) override;
  void ShowMessage(const std::string& text, Icon icon, const std::string& title) override;
  bool AskYesNo(const std::string& text) override;
  void SetBusy(bool on) override;
  void FocusDestination() override;
  void RefreshDestinationList() override;
  std::string SourceText() override;
  std::string DestinationText() override;

  // The controls, by their names.
  HWND Form1_ = nullptr;
  HWND Picture1 = nullptr;
  HWND Label1 = nullptr;
  HWND Label2 = nullptr;
  HWND Text1 = nullptr;
  HWND Text2 = nullptr;
  HWND Frame1 = nullptr;
  HWND Frame2 = nullptr;
  HWND Frame3 = nullptr;
  HWND Dir1 = nullptr;
  HWND Dir2 = nullptr;
  HWND Drive1 = nullptr;
  HWND Drive2 = nullptr;
  HWND File1 = nullptr;
  HWND Label3 = nullptr;
  HWND Command1 = nullptr;
  HWND Command2 = nullptr;
  HWND Command3 = nullptr;  // check the boring without converting it
  HWND Command4 = nullptr;  // the boring log picture of the exchange file just written

  // Event handlers.
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Dir1_Change();
  void Dir2_Change();
  void Drive1_Change();
  void Drive2_Change();
  void File1_Click();
  void Picture1_MouseMove();

  // Writes the boring log picture of the exchange file the last run wrote into the temporary
  // folder, as an SVG file; its path in file. false, with the user told, when it cannot.
  bool SaveLogPicture(std::wstring& file);

  // The open folders of the two folder lists.
  const std::wstring& Dir1Path() const { return dir1_.path; }
  const std::wstring& Dir2Path() const { return dir2_.path; }
  // Called with each message box of the window as it opens, so that a test can read and
  // answer it; unset (nullptr), the user answers.
  void SetDialogAnswerer(std::function<void(HWND box)> answerer);

  // The code-table folder chosen in the shell's folder browser, "" when cancelled.
  std::string ChooseCodeTableFolder();

  // The face name of the font the controls were given.
  const std::wstring& FontFace() const { return fontFace_; }

 private:
  struct Placed {
    HWND window;
    RECT twips;  // left, top, width, height within Picture1
  };

  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM w, LPARAM l);
  static LRESULT CALLBACK FindingsProc(HWND window, UINT message, WPARAM w, LPARAM l);
  static LRESULT CALLBACK BoxOpened(int code, WPARAM w, LPARAM l);
  static LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT OnFormMessage(UINT message, WPARAM w, LPARAM l);
  LRESULT OnPictureMessage(UINT message, WPARAM w, LPARAM l);
  void OnCommand(HWND control, int code);
  // The findings in a window of their own, modal: a heading, the list as text, コピー, 閉じる.
  void ShowFindings(const BoringCheck& check, bool converted);
  void ShowDestinationFolder(const std::string& exchangeFile);

  HWND Place(const wchar_t* kind, const char* text, DWORD style, DWORD exStyle, int left, int top, int width,
             int height, int dropHeight = 0);
  void Layout();
  void MakeFont();
  int Px(int twips) const { return MulDiv(twips, static_cast<int>(dpi_), 1440); }
  void Centre();

  // Opens a folder in a folder list; a drive letter with ":" alone opens that drive's current
  // folder. false, with nothing changed, when the folder is not there or the drive not ready.
  bool SetFolder(HWND list, FolderListState& state, const std::wstring& path);
  void FillFolderList(HWND list, FolderListState& state);
  void SetFolderItemHeight();
  void DrawFolderItem(const DRAWITEMSTRUCT& item);
  int IconSize() const { return Px(240); }  // 16 pixels at 96 dpi
  void FillDriveList(HWND combo);
  void SelectDriveQuietly(HWND combo, wchar_t letter);
  wchar_t SelectedDrive(HWND combo) const;
  void FillFileList();
  void OpenAtStart(HWND dir, FolderListState& state, HWND drive, const std::string& folder);
  void DriveChange(HWND drive, HWND dir, FolderListState& state);

  HINSTANCE instance_;
  StartFolders start_;
  std::vector<Placed> placed_;
  FolderListState dir1_;
  FolderListState dir2_;
  std::wstring fileListPath_;
  std::wstring helpFilePath_;
  std::wstring fontFace_;
  HFONT font_ = nullptr;
  HICON folderIcon_ = nullptr;
  HICON openFolderIcon_ = nullptr;
  UINT dpi_ = 96;
  int completionFlag_ = 0;
  bool busy_ = false;
  int quiet_ = 0;              // > 0 while the window changes a list itself: no change handlers
  ConversionContext context_;  // the drives, the code-table folder and tables the runs use
  RunResult lastRun_;
  std::string lastExchangeFile_;  // "" until a run converted
  std::function<void(HWND box)> answerer_;
  HHOOK boxHook_ = nullptr;
};

}  // namespace zk::win32window
