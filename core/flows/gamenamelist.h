#pragma once

#include "prompter.h"
#include "records.h"

#include <QString>
#include <QStringList>

// The competition names as the names editor keeps them (Gamename.txt, gamenames.h).

// Why `name` cannot join `names` (at `replacing` when it replaces the name there, else -1), as a message: empty, a
// double quote, a control character, a character Shift-JIS cannot hold (named), a name already in the list, a
// list already full. Empty when it can.
QString game_name_refusal(const QString& name, const QStringList& names, qsizetype replacing);

// Writes `names` as the data folder's Gamename.txt, whole, keeping the file it replaces in backup/. True when
// written, with `keptCopy` naming the copy of the earlier file (empty when there was none); false, told why, when
// the file or its copy could not be written, the earlier file then staying as it was.
bool save_game_names(const AppState& state, const QStringList& names, QString* keptCopy, Prompter& prompter);
