#pragma once

#include "toolfiles.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

// The lines `check` prints for one decoded entry file: "FILE: ok", or one "FILE: 背番号N: rule" per problem of
// the program's entry checks. `passed` (optional) tells whether the file passed.
QStringList check_lines(const LoadedFile& file, bool* passed = nullptr);

// check FILE...: checks every file and prints its lines. A file that cannot be read as an entry file gets the
// line "FILE: 読み込めませんでした。" and its reason on `err`; one named as the program's other files (member.dat,
// uniinf.dat, Gamename.txt, also through a link) gets "FILE: エントリーファイルではありません。" and is not read.
// Returns kExitOk when every file passes, kExitFailure when any file could not be checked, else kExitProblems.
int run_check(const QStringList& files, QIODevice& out, QIODevice& err);
