#pragma once

#include "prompter.h"
#include "records.h"

#include <QString>

// The save prompts: asks about unsaved member data (unless onlyEntry) and unsaved entry data, saving on
// Yes. A flag is cleared whatever the answer, except when its save failed: then the failure is reported,
// the flag stays set and the result is false.
bool ask_save_changes(AppState& state, bool onlyEntry, Prompter& prompter);

// Asks for the name of a new entry file (".ent" added unless the name holds it in any case), asks before
// overwriting an existing file and refuses names that are not a bare file name. True with entryFileName
// set on success; false (entryFileName unchanged) when cancelled.
bool ask_entry_file_name(AppState& state, Prompter& prompter);

// Why `name` cannot be the name of a file in the application folder, or an empty text when it can.
QString invalid_file_name_reason(const QString& name);

// The file menu commands. Each reports its own failures and tells the views what it replaced; the caller
// shows the couple view when the new/open commands return true.
bool command_new_entry(AppState& state, Prompter& prompter);
bool command_open_entry(AppState& state, Prompter& prompter);
bool command_save_entry(AppState& state, Prompter& prompter);
bool command_save_entry_as(AppState& state, Prompter& prompter);
bool command_save_members(AppState& state, Prompter& prompter);
