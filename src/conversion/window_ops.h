// What a conversion run needs of the window it runs in. The Qt window, the command line and
// the tests each implement it.
#pragma once

#include <string>

namespace zk {

enum class Icon { None, Exclamation, Information };

class WindowOps {
 public:
  virtual ~WindowOps() = default;

  // Shows text in the status line; "" clears it.
  virtual void SetStatus(const std::string& text) = 0;
  // Modal message with an OK button; an empty title shows the program's own title.
  virtual void ShowMessage(const std::string& text, Icon icon, const std::string& title) = 0;
  // Modal question with the question icon, Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  // Hourglass pointer on or off.
  virtual void SetBusy(bool on) = 0;
  // Gives the destination path box the focus with all its text selected.
  virtual void FocusDestination() = 0;
  // Re-reads the destination file list so that a new exchange file shows.
  virtual void RefreshDestinationList() = 0;

  // The current texts of the source and destination path boxes.
  virtual std::string SourceText() = 0;
  virtual std::string DestinationText() = 0;
};

// The program's own title, shown on messages without a title of their own.
inline constexpr const char* kProgramTitle = "Zk -> MORVEX 変換プログラム";

}  // namespace zk
