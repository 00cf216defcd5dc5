#pragma once

#include <QString>

// Every text of the program is Japanese, so Qt's own texts (the buttons of message boxes, the file and input
// dialogs) are shown in Japanese too, whatever the system's locale: はい(Y) / いいえ(N), キャンセル, 開く...
// Loads Qt's Japanese translation from `folder` (Qt's own translation folder when none is given) into the
// running application, in place of one loaded by an earlier call. Returns false when it is not there; Qt then
// keeps its English texts and the program works as before.
bool install_qt_translation();
bool install_qt_translation(const QString& folder);
