#pragma once

#include "prompter.h"
#include "records.h"

#include <QString>
#include <memory>

class MainWindow;

// The start-up sequence on `folder` (the program's folder): loads member.dat, loads uniinf.dat or asks for
// the university information on first use, then creates and shows the main window. Returns null when the
// program is to end (no university name was given). Read failures are reported through `prompter`.
std::unique_ptr<MainWindow> start_up(AppState& state, Prompter& prompter, const QString& folder);

// The folder of the running program file, absolute and ending with the separator.
QString application_folder();
