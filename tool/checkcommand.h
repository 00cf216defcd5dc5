#pragma once

#include "toolfiles.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

// The lines `check` prints for one decoded file: "FILE: ok", or one "FILE: 背番号N: rule" per problem of
// the program's entry checks. A member or university file has no couples and passes once it decodes.
// `passed` (optional) tells whether the file passed.
QStringList check_lines(const LoadedFile& file, bool* passed = nullptr);

// check FILE...: checks every file and prints its lines; a file that cannot be read gets the line
// "FILE: 読み込めませんでした。" and its reason on `err`. Returns kExitOk when every file passes,
// kExitFailure when any file could not be read, else kExitProblems.
int run_check(const QStringList& files, QIODevice& out, QIODevice& err);
