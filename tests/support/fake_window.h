// A window for tests: the two path texts are set by the test, questions are answered from a
// list, and everything the run shows is recorded.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "conversion/context.h"
#include "conversion/window_ops.h"

namespace zk::test {

struct ShownMessage {
  std::string text;
  Icon icon;
  std::string title;
};

class FakeWindow : public WindowOps {
 public:
  std::string source, destination;
  std::deque<bool> answers;  // taken in order; No when empty
  std::vector<ShownMessage> messages;
  std::vector<std::string> questions;
  std::vector<std::string> statuses;  // every SetStatus, in order
  std::vector<bool> busy;             // every SetBusy, in order
  int focusCount = 0, refreshCount = 0;
  ConversionContext context;  // the drives of the environment, the code-table folder of the test

  FakeWindow() { context.drives = platform::DriveMap::FromEnvironment(); }

  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void ShowMessage(const std::string& text, Icon icon, const std::string& title) override {
    messages.push_back({text, icon, title});
  }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return false;
    bool yes = answers.front();
    answers.pop_front();
    return yes;
  }
  void SetBusy(bool on) override { busy.push_back(on); }
  void FocusDestination() override { ++focusCount; }
  void RefreshDestinationList() override { ++refreshCount; }
  std::string SourceText() override { return source; }
  std::string DestinationText() override { return destination; }

  std::string LastStatus() const { return statuses.empty() ? std::string() : statuses.back(); }
};

}  // namespace zk::test
