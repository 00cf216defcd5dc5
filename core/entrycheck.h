#pragma once

#include "prompter.h"
#include "records.h"

// Every couple must dance at least one dance, and no two partners of a couple may share one. Walks the
// couples in list order, reports the first failing couple ("背番号" + number + CR + rule) and returns false.
bool check_entry(const AppState& state, Prompter& prompter);
