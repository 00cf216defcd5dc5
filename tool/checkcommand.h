#pragma once

#include "toolfiles.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

// The lines `check` prints for one decoded entry file: one "FILE: 背番号N: rule" per problem of the program's
// entry checks, then one "警告: FILE: name（kana） dance (code): 背番号 A, B" per member entered for one dance in
// several couples of one event; "FILE: ok" when there is neither. `passed` (optional) tells whether the file
// broke no rule, `warned` whether it holds warnings.
QStringList check_lines(const LoadedFile& file, bool* passed = nullptr, bool* warned = nullptr);

// check FILE...: checks every file and prints its lines. A file that cannot be read as an entry file gets the
// line "FILE: 読み込めませんでした。" and its reason on `err`; one named as the program's other files (member.dat,
// uniinf.dat, Gamename.txt, also through a link) gets "FILE: エントリーファイルではありません。" and is not read.
// Returns kExitFailure when any file could not be checked, else kExitProblems when a file broke a rule (or, with
// `strict`, holds a warning), else kExitOk.
int run_check(const QStringList& files, bool strict, QIODevice& out, QIODevice& err);
