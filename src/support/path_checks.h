// Checks of the folder paths a user chose, the splitting of a path at its separators, and
// the deepest layer bottom of a boring.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "tables/table_file.h"

namespace zk::FNOTHER {

// The message of a path whose second byte is not ":".
inline constexpr const char* kDriveNameMessage =
    "規定値のドライブ名が正しくありません。ドライブ名は１文字のアルファベットと \":\" でなければいけません。  例 "
    "\"C:\", \"D:\"...";

// What is wrong with a folder path the user chose.
enum class FolderPathFault {
  None,
  DriveName,  // the second byte is not ":" (the caller shows kDriveNameMessage first)
  Malformed,  // wildcards, an empty or non-8.3 folder name, a drive that is not ready
};

// None when the path is well formed and its drive is usable; the path is normalised in place
// (blanks trimmed, "\" after the drive, a final "\"). Makes the path's drive the current drive.
FolderPathFault CheckFolderPath(platform::DriveMap& drives, std::string& path);
// The same, giving in why the reason a malformed path was refused, for the line below the
// caller's message ("" for the drive-name fault, which kDriveNameMessage tells).
FolderPathFault CheckFolderPath(platform::DriveMap& drives, std::string& path, std::string& why);

// Why a folder path (drive form) cannot be used, or "" when it can: a control character
// (a line break, a tab), which "BORLING.NO" cannot hold in its one line, or a character that
// Shift-JIS (CP932) cannot hold, which no file of the conversion can be written with.
std::string PathRefusal(std::string_view path);

// How many characters of text are one of the delimiter characters.
long CountDelimiters(std::string_view text, std::string_view delimiters);

// The pieces of text between delimiters, parts[1], parts[2], ...; parts[0] stays empty.
// Empty pieces are kept.
void SplitAtDelimiters(std::string_view text, std::string_view delimiters, std::vector<std::string>& parts);

// The greatest layer bottom (column 2 of the 4-field rows of the layer table "X1.TXT"), in
// single precision; 0 when the table is missing.
Status MaxLayerDepth(const TableFile& layers, float& depth);

}  // namespace zk::FNOTHER
