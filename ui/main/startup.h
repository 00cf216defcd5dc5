#pragma once

#include "prompter.h"
#include "records.h"

#include <QString>
#include <memory>

class FolderLock;
class MainWindow;

// The start-up sequence on `folder` (the data folder): takes the folder's lock (another running copy on the
// same folder: says so and ends; a lock left behind that nobody can be confirmed to hold: asks whether to take
// it over), loads member.dat, loads uniinf.dat or asks for the university information on
// first use, then creates and shows the main window. Returns null when the program is to end. A file that
// cannot be read is reported, left as it is and remembered in state.unreadFiles. `lock` is held by the caller
// for as long as the program runs.
std::unique_ptr<MainWindow> start_up(AppState& state, Prompter& prompter, const QString& folder, FolderLock& lock);

// The folder of the running program file, absolute and ending with the separator.
QString application_folder();
