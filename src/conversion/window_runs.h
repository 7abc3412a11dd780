// What a window does with a boring besides asking for folders, the same in the Qt window and
// the Windows window: a conversion whose report lists what the run found on the way, a check
// made without converting, and the texts that tell of their findings.
#pragma once

#include <optional>
#include <string>

#include "conversion/context.h"
#include "conversion/run.h"
#include "conversion/window_ops.h"

namespace zk {

// A conversion through ui; its report holds what the run itself found in the boring on the
// way. Each run takes the code tables and lists the destination as they are now (an edit, a
// file added or removed between two runs counts).
RunResult RunWithFindings(WindowOps& ui, ConversionContext& context);

// The findings of the boring in ui's source box without converting it: the same run writing
// nothing anywhere. The path is checked as a run checks it (nullopt, the user told why); a
// destination box that names no folder gives the exchange file's name an empty folder gives.
// The status line ends saying the check is done and how much it found.
std::optional<BoringCheck> CheckWithoutConverting(WindowOps& ui, ConversionContext& context);

// The counts as the status line adds them after the completion message: "警告 2 件", or
// "エラー 1 件、警告 2 件" when there are errors; "" when nothing was found.
std::string FindingsCountText(const BoringCheck& check);

// What the list says first: whose findings, how many, and what became of the boring.
// converted: the list follows a conversion (else a check that wrote nothing).
std::string FindingsHeading(const BoringCheck& check, bool converted, const char* lineEnd);

// The whole list as text, for the clipboard: a line naming the boring and the counts, then one
// line a finding, "path:line: 警告: message [code]".
std::string FindingsText(const BoringCheck& check, const char* lineEnd);

}  // namespace zk
