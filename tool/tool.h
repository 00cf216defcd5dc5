#pragma once

#include <QIODevice>
#include <QStringList>

// Runs danceentry-tool with `arguments` (without the program name), writing its text to `out` and its
// messages to `err`, and returns the exit status (kExitOk, kExitProblems or kExitFailure).
int run_tool(const QStringList& arguments, QIODevice& out, QIODevice& err);
