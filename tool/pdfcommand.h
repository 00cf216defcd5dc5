#pragma once

#include "toolargs.h"

#include <QIODevice>

// pdf FILE... -o OUT: the entry list of every entry file, each from a new page in the order given, or the roster
// of one member file (with the university of the uniinf.dat beside it), as one PDF written whole to OUT. Takes
// the same output refusals as csv -o; a file that cannot be read is reported and nothing is written. Needs a
// QGuiApplication (the tool makes one on the offscreen platform for this command).
int run_pdf(const ToolOptions& options, QIODevice& err);
