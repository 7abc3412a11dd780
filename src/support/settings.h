// The code-table setting VUREDA: the folder of "L9.txt" and "Kishitu.txt", read once at
// start-up from "RaroreD5.ini" in the system folder.
#pragma once

#include <optional>
#include <string>

#include "platform/drives.h"
#include "platform/status.h"

namespace zk {

// The message shown when the setting is missing or names nothing.
inline constexpr const char* kNoVuredaMessage = " VUREDA の設定がありません.";

// The settings file, as a host path: the system folder & "/RaroreD5.ini".
std::string SettingsFilePath();
// Where set-codes and the window write the setting (on Windows the user's own folder, which is
// read first).
std::string SettingsFileToWrite();

// The VUREDA value without surrounding blanks, or "" when there is none.
std::string ReadVuredaSetting(const platform::DriveMap& drives);

// Reads and checks the setting; on success codeTableFolder gets the code-table folder in drive
// form, ending in "\" as the setting wrote it, and Ok is returned. Otherwise codeTableFolder is
// "" and the Status names the settings file (host path) and says what is wrong with it and which
// folder was tested; the caller shows NoVuredaText of it and ends the program.
Status LoadCodeTableSetting(const platform::DriveMap& drives, std::string& codeTableFolder);
// The same giving only the folder: "" when the setting cannot be used.
std::string LoadCodeTableFolder(const platform::DriveMap& drives);

// kNoVuredaMessage, and on the line below the reason a failed LoadCodeTableSetting gave.
std::string NoVuredaText(const Status& why);

// Writes the settings file for a code-table folder (a host path or drive form): checks that the
// folder holds "L9.txt" and "Kishitu.txt" (names matched as the conversion matches them), then
// writes the file in Shift-JIS, a first line and the folder's absolute host path with its final
// "/", replacing a settings file that was there only once the new one is whole. written gets the
// settings file's host path.
Status WriteCodeTableSetting(const platform::DriveMap& drives, const std::string& folder, std::string& written);

}  // namespace zk
