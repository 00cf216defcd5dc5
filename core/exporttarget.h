#pragma once

#include "prompter.h"
#include "records.h"

#include <QString>

// Where an export may write. The two exports let the user choose any file, so the choice is checked against
// the program's own files first, and an existing file they replace is kept in backup/ before it goes.

enum class ExportKind {
    MemberText, // the roster as text: an entry file of the data folder is refused as well
    EntryFile   // an entry file: writing over another entry file is allowed, its old bytes are kept
};

// The file a write to `path` replaces: links followed as the save follows them, `..` resolved, the folder in
// its canonical form. A file that does not exist yet keeps its name behind its resolved folder.
QString resolved_target_path(const QString& path);

// True when `a` and `b` name one existing file (one path through a link, or two hard links of one file).
bool same_existing_file(const QString& a, const QString& b);

// Why an export of `kind` must not write to `path`, as a message that names the file; the empty text when it
// may. Refused are member.dat, uniinf.dat, Gamename.txt and the folder's lock, anything under backup/, and for
// the member text every entry file (*.ent) of the data folder: by any path, link or second name (hard link).
QString export_target_refusal(const AppState& state, const QString& path, ExportKind kind);

// Before an export writes to `path`: keeps an existing file there in backup/ (unless it is `ownFile`, the file
// the export writes anyway, or a file the save keeps by itself as unread). True when the export may write,
// with `keptCopy` naming the copy or empty; false, told why, when no copy could be made.
bool keep_export_target(const AppState& state, const QString& path, const QString& ownFile, QString* keptCopy,
                        Prompter& prompter);

// The sentence added to an export's closing message when it replaced a file: where its old bytes are.
QString replaced_file_note(const QString& path, const QString& keptCopy);

// `path` with "." + `suffix` added when its file name has no extension, as a file dialog adds its default suffix;
// a name with another extension stays as typed. `proposedName`, the name the dialog proposed, always gets it
// (a university name such as "U.Tokyo" would otherwise pass for one with an extension).
QString with_default_suffix(const QString& path, const QString& suffix, const QString& proposedName = {});
