// The check report of zk2morvex-cli --check, as text for people or JSON for other tools.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "conversion/run.h"

namespace zk::cli {

// Per boring: a heading, "FILE:LINE: error|warning: message" lines, a closing count line; then
// a last line for the batch.
void WriteCheckText(const std::vector<BoringCheck>& checks, std::ostream& out);

// One JSON document with every finding (boring, file, line, severity, code, message).
void WriteCheckJson(const std::vector<BoringCheck>& checks, std::ostream& out);

// The warnings alone, for a conversion that went on despite them.
void WriteWarnings(const BoringCheck& check, std::ostream& err);
// A JSON string of text: quotes, backslashes and control characters escaped, UTF-8 passed
// through, and a byte that is no UTF-8 (a folder name of another encoding) as U+FFFD, so that
// the document stays valid JSON.
std::string JsonString(const std::string& text);

// The errors alone, for a conversion that stopped: which boring, which file and why; the error
// that stopped it is left out, its message having told it already.
void WriteErrors(const BoringCheck& check, std::ostream& err);

}  // namespace zk::cli
