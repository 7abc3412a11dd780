// How the Qt window names a finding in its list: the severity in words and the place in short.
// The runs and the texts it shares with the Windows window are in conversion/window_runs.h.
#pragma once

#include <QString>

#include "conversion/window_runs.h"

namespace zk {

// "エラー" or "警告".
QString SeverityText(Severity severity);

// Where a finding is: the table's name and its line ("X5.TXT:3"); the name alone when no line
// applies.
QString FindingPlace(const Finding& finding);

}  // namespace zk
