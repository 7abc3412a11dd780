// Checks of the folder paths a user chose, the splitting of a path at its separators, and
// the deepest layer bottom of a boring.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion/window_ops.h"
#include "platform/status.h"

namespace zk::FNOTHER {

// The message of a path whose second byte is not ":".
inline constexpr const char* kDriveNameMessage =
    "規定値のドライブ名が正しくありません。ドライブ名は１文字のアルファベットと \":\" でなければいけません。  例 \"C:\", \"D:\"...";

// True when the path is well formed and its drive is usable; the path is normalised in place
// (blanks trimmed, "\" after the drive, a final "\"). Only the drive-name fault is told to
// the user here; the caller tells the rest. Makes the path's drive the current drive.
bool CheckFolderPath(std::string& path, WindowOps& ui);
// The same, giving in why the reason a path was refused, for the line below the caller's
// message ("" when the drive-name message already told it).
bool CheckFolderPath(std::string& path, WindowOps& ui, std::string& why);

// Why a folder path (drive form) cannot be used, or "" when it can: a control character
// (a line break, a tab), which "BORLING.NO" cannot hold in its one line, or a character that
// Shift-JIS (CP932) cannot hold, which no file of the conversion can be written with.
std::string PathRefusal(std::string_view path);

// How many characters of text are one of the delimiter characters.
long CountDelimiters(std::string_view text, std::string_view delimiters);

// The pieces of text between delimiters, parts[1], parts[2], ...; parts[0] stays empty.
// Empty pieces are kept.
void SplitAtDelimiters(std::string_view text, std::string_view delimiters, std::vector<std::string>& parts);

// The greatest layer bottom (column 2 of the 4-field rows of "X1.txt"), in single precision;
// 0 when the table is missing. folder ends with "\".
Status MaxLayerDepth(const std::string& folder, float& depth);

}  // namespace zk::FNOTHER
