// What the window on Windows tells of a boring besides converting it: the findings of a run
// and of a check made without converting, and the boring log picture of an exchange file.
#pragma once

#include <string>

#include "conversion/context.h"
#include "conversion/run.h"
#include "conversion/window_ops.h"
#include "platform/status.h"

namespace zk::win32window {

// A conversion through ui; its report holds what the run found in the boring on the way.
// Each run takes the code tables as they are now (an edit between two runs counts).
RunResult RunWithFindings(WindowOps& ui, ConversionContext& context);

// The findings of a boring without converting it: the same run writing nothing anywhere.
// destination may be "" (the exchange file's name is then the one an empty folder gives).
BoringCheck CheckWithoutConverting(ConversionContext& context, const std::string& source,
                                   const std::string& destination);

// The counts as the status line adds them: "警告 2 件", or "エラー 1 件、警告 2 件" when there
// are errors; "" when nothing was found.
std::string FindingsCountText(const BoringCheck& check);

// What the list says first: whose findings, how many, and what became of the boring.
// converted: the list follows a conversion (else a check that wrote nothing).
std::string FindingsHeading(const BoringCheck& check, bool converted);

// The whole list as text, CR LF between lines: a heading line naming the boring and the
// counts, then one line a finding, "path:line: 警告: message [code]".
std::string FindingsText(const BoringCheck& check);

// The boring log picture of the exchange file at a path, as SVG text (UTF-8).
Status DrawLogPicture(const std::string& exchangeFile, std::string& svg);

}  // namespace zk::win32window
