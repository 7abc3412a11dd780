// A picture of the window for the documentation, taken once it is on the screen: with buttons
// pressed first, of the window together with the dialog the last press opened.
#pragma once

#include <QString>
#include <QStringList>

#include "form1.h"

namespace zk {

// Presses the named buttons of window one after another (a dialog a press opened is closed
// before the next press), saves the picture as PNG and ends the program's event loop: exit
// code 0 when saved, else 1 with a word on stderr.
void ScheduleScreenshot(Form1& window, const QString& file, const QStringList& presses);

}  // namespace zk
