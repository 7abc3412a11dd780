// The code-table setting VUREDA: the folder of "L9.txt" and "Kishitu.txt", read once at
// start-up from "RaroreD5.ini" in the system folder.
#pragma once

#include <optional>
#include <string>

namespace zk {

// The message shown when the setting is missing or names nothing.
inline constexpr const char* kNoVuredaMessage = " VUREDA の設定がありません.";

// The VUREDA value without surrounding blanks, or "" when there is none.
std::string ReadVuredaSetting();

// Reads and checks the setting: the code-table folder in drive form, ending in "\" as the
// setting wrote it. "": the caller shows kNoVuredaMessage and ends the program.
std::string LoadCodeTableFolder();

}  // namespace zk
