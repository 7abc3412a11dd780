// Qt's own texts in the window's language.
#pragma once

class QCoreApplication;

namespace zk {

// Installs Qt's Japanese translations (the buttons of message boxes and dialogs: はい, いいえ,
// OK) from Qt's translations folder, so that they match the window's own Japanese texts
// whatever the desktop's language. false when they are not installed; Qt's English stays.
bool LoadQtTranslations(QCoreApplication& app);

}  // namespace zk
