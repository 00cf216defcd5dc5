#pragma once

#include "prompter.h"
#include "records.h"

#include <QString>
#include <QStringList>

// Where a file the user chose may be written: the two exports, PDF出力, a print to a file, and the tool's -o.
// Every one of them is judged by write_target_refusal against the program's own files, at the file a write
// really replaces (links followed as the save follows them, ".." resolved, a second name of a data file found),
// and an existing ordinary file it replaces is kept in backup/ before it goes.

// Where a write to a path lands.
struct OutputTarget {
    QString path;             // absolute, every link followed and every "." and ".." resolved; empty on `loop`
    bool throughLink = false; // the path as given is (or passes through) a symbolic link
    bool loop = false;        // the links never end (or run longer than the system allows)
};

// Resolves `output` as the system would when it is opened for writing: the folder part through realpath, then
// the last name, which may be a link to a file that does not exist yet (the save would create it) or to another
// link. A folder part that does not exist leaves the rest as given (the save then fails with its reason).
OutputTarget resolve_output_target(const QString& output);

// The file a write to `path` replaces (resolve_output_target's path; on a loop, the path as given, cleaned).
QString resolved_target_path(const QString& path);

// True when `a` and `b` name one existing file (one path through a link, or two hard links of one file).
bool same_existing_file(const QString& a, const QString& b);

// True when `output` names the same file as one of `inputs`: the same resolved path, or the same device and
// inode (a hard link, another path, a link).
bool is_one_of(const QString& output, const QStringList& inputs);

// What a write must leave alone.
struct WriteGuard {
    QString dataFolder;             // the data folder: its member.dat, uniinf.dat, Gamename.txt, lock and backup/
    bool entryFilesOfFolder = true; // ... and its entry files (*.ent)
    bool dataNamesAnywhere = false; // those names in any folder, for a caller that knows no data folder
    QStringList inputs;             // the files the command reads
};

// Why a write to `path` is refused, as a message that names the file (and where its links lead); the empty text
// when it may go on. Refused, at the file the write replaces and by any path, link or second name (hard link):
// the guarded files, links that never end, and an existing target that is not a regular file.
QString write_target_refusal(const QString& path, const WriteGuard& guard);

enum class ExportKind {
    MemberText, // the roster as text: an entry file of the data folder is refused as well
    EntryFile,  // an entry file: writing over another entry file is allowed, its old bytes are kept
    Printout    // a PDF or a print to a file: refused over an entry file as the member text is
};

// write_target_refusal for an export of `kind` from the program, guarding the state's data folder.
QString export_target_refusal(const AppState& state, const QString& path, ExportKind kind);

// write_target_refusal for the tool's output option: the inputs, and the data files' names in any folder.
QString output_refusal(const QString& output, const QStringList& inputs);

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
