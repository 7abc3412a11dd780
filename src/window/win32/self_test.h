// The window driven through its own messages, as a user would drive it, for the tests of
// the Windows build; and a picture of the window.
#pragma once

#include <string>

#include "form1_win32.h"

namespace zk::win32window {

// Writes UTF-8 text to the standard output (the console in its own form when there is one).
void Print(const std::string& text);

// Types the two folders into Text2 and Text1 and presses 実  行; every message box is read,
// printed and answered (Yes to a question, OK to a message). Then checks the status line, that
// File1 lists the new exchange file and that a mouse move clears the status line; saves a
// picture of the window as the run left it (when screenshot is not empty); opens a folder in
// Dir2 and chooses a drive that is not ready in Drive2 (when there is one) and checks what the
// lists and Text2 show; presses 終  了. Prints what it saw; 0 when every check held, else 1.
int RunSelfTest(Form1& form, const std::string& source, const std::string& destination, const std::string& screenshot);

// Saves the window as it shows on the screen, frame and caption included, as a PNG file.
bool SaveWindowPicture(HWND window, const std::string& pngPath);

}  // namespace zk::win32window
