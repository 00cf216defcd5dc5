#pragma once

#include "prompter.h"
#include "records.h"

#include <QString>
#include <QStringList>
#include <functional>

// Every member's year rises by one; fourth-year members are removed, the others keep their order.
void advance_member_years(AppState& state);

// The names of the plain files directly in `folder` (no sub-folders, no hidden files).
QStringList list_folder(const QString& folder);

// True for a name that holds ".ent" anywhere, in any case (a.ENT, b.ent.bak, c.entry).
bool is_entry_file_name(const QString& name);

struct EntryAdvanceReport {
    QStringList advanced; // names rewritten
    QStringList problems; // one message per file left untouched (damaged, foreign or not writable)
};

// Advances the couples of every entry file of the application folder: couples with a fourth-year dancer are
// removed, every other dancer's year rises by one. Every file is read and checked before any is rewritten;
// a file that does not decode is left untouched and reported. Each file ends with state.universityInfo.
// `progress` (when given) hears how many of the files to rewrite are done: (0, total) before the first, then
// after each file, ending with (total, total).
using AdvanceProgress = std::function<void(int done, int total)>;
EntryAdvanceReport advance_entry_files(const AppState& state, const AdvanceProgress& progress = {});

// The whole year advance command after the save prompts and questions; `setBusy` shows and hides the busy
// pointer, `progress` hears how far the entry files are (see advance_entry_files). Returns true when the data
// was advanced (the caller rebuilds the member list and the grid).
bool command_year_advance(AppState& state, Prompter& prompter, const std::function<void(bool)>& setBusy,
                          const AdvanceProgress& progress = {});
