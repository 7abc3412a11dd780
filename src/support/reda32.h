// The four small file and text services the conversion takes from its helper library.
#pragma once

#include <string>
#include <string_view>

#include "platform/drives.h"

namespace zk::reda32 {

// The system folder (host path) where the settings file lies.
std::string SysDir();
// The text without its trailing blanks.
std::string QPRTrim(std::string_view text);
// The number of plain files matching a pattern folder\*.* (drive form).
long FCount(const platform::DriveMap& drives, const std::string& pattern);
// The number of occurrences of a one-character text in text.
long InCount(std::string_view text, std::string_view character);

}  // namespace zk::reda32
