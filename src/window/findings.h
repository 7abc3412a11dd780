// What the window tells of a boring besides converting it: the findings of a run (values the
// exchange file will hold otherwise than the tables, rows it drops, codes it cannot find) and of
// a check made without converting, as the list and the status line show them.
#pragma once

#include <QString>
#include <string>

#include "conversion/check.h"
#include "conversion/run.h"
#include "conversion/window_ops.h"

namespace zk {

// A conversion through ui together with what was found in the boring. The findings are those
// of a check of the source folder made just before the run, while the folder holds what the
// run reads (the run then writes "BORLING.NO" into it); the window takes them from here only.
struct WindowRun {
  RunResult result;
  BoringCheck findings;
};
WindowRun RunWithFindings(WindowOps& ui);

// The findings of a boring without converting it: nothing is written anywhere. source and
// destination are as the path boxes hold them; destination may be "" (the exchange file's name
// is then the one an empty folder gives).
BoringCheck CheckWithoutConverting(const std::string& source, const std::string& destination);

// The counts as the status line adds them after the completion message: "警告 2 件", or
// "エラー 1 件、警告 2 件" when there are errors; "" when nothing was found.
QString FindingsCountText(const BoringCheck& check);

// "エラー" or "警告".
QString SeverityText(Severity severity);

// Where a finding is: the table's name and its line ("X5.TXT:3"); the name alone when no line
// applies.
QString FindingPlace(const Finding& finding);

// The whole list as text for the clipboard: a heading line naming the boring and the counts,
// then one line a finding, "path:line: 警告: message [code]", with the table's full path.
QString FindingsText(const BoringCheck& check);

}  // namespace zk
