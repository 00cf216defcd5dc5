#pragma once

#include "toolfiles.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

// The text `show` prints for one decoded file: a heading with the file's name and kind, then its content.
QString show_text(const LoadedFile& file);

// show FILE...: prints every file that can be read; a file that cannot is reported on `err` and the others
// are still shown. Returns kExitOk, or kExitFailure when any file failed.
int run_show(const QStringList& files, QIODevice& out, QIODevice& err);
