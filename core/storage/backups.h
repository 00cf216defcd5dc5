#pragma once

#include "prompter.h"
#include "records.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// Copies kept in the data folder's backup/ sub-folder, so that nothing the program replaces is lost by
// accident: a file it could not read is kept before a save writes over it, and the year advance keeps every
// file it rewrites.

// The data folder's backup folder: appFolder + "backup/".
QString backup_folder(const AppState& state);

// "20261207-093000": the date and time in backup names.
QString backup_stamp(const QDateTime& when = QDateTime::currentDateTime());

// Before a save writes over `path`, a file the program could not read (state.unreadFiles), a byte-for-byte copy
// goes to backup/ under its name with the date and time, and the user is told where it is. True when the save
// may go on: the file was read fine, is kept now, or is gone. False (told why) when no copy could be made:
// then the file must not be written over.
bool keep_unread_file(AppState& state, const QString& path, Prompter& prompter);

// Keeps the bytes of the existing file `path` as backup/NAME_YYYYMMDD-HHMMSS.EXT before something replaces it
// that is not one of the program's own saves (an export chosen over an existing file, a copy brought into the
// data folder). True with `copy` naming the kept file, or with `copy` empty when there is no file to keep;
// false with `error` when no copy could be made: then the file must not be replaced.
bool keep_replaced_file(const AppState& state, const QString& path, QString* copy, QString* error);

// Saves one data file of the state through `write`: a file the program could not read is kept first (above),
// and a failed write is reported with `failureIcon`. True when the file was written.
bool save_data_file(AppState& state, const QString& path, const std::function<bool(QString*)>& write,
                    Prompter& prompter, Prompter::Icon failureIcon = Prompter::Icon::Exclamation);

// Copies the files `names` of `folder`, byte for byte, into a new folder backup/<date-time>/ beside them.
// On success `copyFolder` is that folder; on failure nothing of it is left and `error` says why.
bool back_up_files(const QString& folder, const QStringList& names, QString* copyFolder, QString* error);
