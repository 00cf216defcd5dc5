#pragma once

#include <QString>
#include <QStringList>

// Where a command's output file (-o) would really be written, and whether it may be. The safe save follows
// symbolic links, so the file a link names is what gets replaced: every refusal looks at that file.

struct OutputTarget {
    QString path;             // absolute, every link followed and every "." and ".." resolved; empty on `loop`
    bool throughLink = false; // the path as given is (or passes through) a symbolic link
    bool loop = false;        // the links never end (or run longer than the system allows)
};

// Resolves `output` as the system would when it is opened for writing: the folder part through realpath, then
// the last name, which may be a link to a file that does not exist yet (the save would create it) or to another
// link. A folder part that does not exist leaves the rest as given (the save then fails with its reason).
OutputTarget resolve_output_target(const QString& output);

// True when `output` names the same file as one of `inputs`: the same resolved path, or the same device and
// inode (a hard link, another path, a link).
bool is_one_of(const QString& output, const QStringList& inputs);

// Why `output` may not be written by an output option (csv -o, and any other command that writes a file), or
// an empty text. Refused, after resolving it: one of the inputs (also through another path, a link or a hard
// link), a name the program uses for its data (member.dat, uniinf.dat, Gamename.txt, .danceentry.lock, any name
// holding ".ent"), whether as given or at the end of its links, an existing target that is not a regular file
// (a device, a named pipe, a folder), and links that never end.
QString output_refusal(const QString& output, const QStringList& inputs);
