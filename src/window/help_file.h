// Where the window finds its help file "KavoroQX.HLP", and how it shows it.
#pragma once

#include <string>

#include "platform/drives.h"

namespace zk {

inline constexpr const char* kHelpFileName = "KavoroQX.HLP";

// The host path of the help file: first in the program's folder, then in each entry of the
// search path in turn, entries separated by ";". The name matches without regard to letter
// case. "" when it is nowhere.
std::string LocateHelpFile(const platform::DriveMap& drives, const std::string& programFolder,
                           const std::string& searchPath);

// The desktop's opener for documents ("xdg-open" along PATH), or "" when there is none.
std::string DesktopOpener();

}  // namespace zk
