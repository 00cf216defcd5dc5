#pragma once

#include "prompter.h"
#include "records.h"

// "すべてのメンバーの学年を１つあげる": the year advance of the roster and of every entry file of the
// application folder, with the busy pointer shown while the files are rewritten and, once that has taken
// `progressDelayMs` milliseconds, a progress window (dlg_progress: entry file n of m) that cannot be cancelled.
// Returns true when the data was advanced; the caller then rebuilds its member list and couple grid.
bool run_year_advance(AppState& state, Prompter& prompter, int progressDelayMs = 500);
