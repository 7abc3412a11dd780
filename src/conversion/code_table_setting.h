// The code-table setting a window starts with: read from the settings file, or chosen by the
// user when it cannot be used, and then written as set-codes writes it.
#pragma once

#include <functional>
#include <string>

#include "conversion/window_ops.h"
#include "platform/drives.h"

namespace zk {

// Loads the setting into folder. When it cannot be used, tells why and offers to choose the
// folder now (choose gives "" when the user cancels); a chosen folder is written into the
// settings file and read back. false when the window cannot start without it.
bool LoadOrChooseCodeTableFolder(const platform::DriveMap& drives, WindowOps& ui,
                                 const std::function<std::string()>& choose, std::string& folder);

}  // namespace zk
