#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing files whole, and saying in Japanese why that failed.

// Why a file operation failed, as a short Japanese sentence with what the user can do, from the system's
// error number: disk full, no permission, read-only, a folder in the way, not found, name too long, or
// anything else with the system's own text after it.
QString file_error_reason(int errorNumber);

enum class FileRead {
    Read,    // the whole file is in the bytes
    Missing, // there is no file of that name (nor its folder)
    Failed   // it exists but cannot be read: `error` names the file and the reason
};

// Reads a file whole. Only a regular file of at most `maxSize` bytes is read: a folder, a named pipe, a device
// or a link to one is refused without blocking, and so is a file larger than any the caller's format holds.
FileRead read_existing_file(const QString& path, qint64 maxSize, QByteArray* bytes, QString* error = nullptr);

// The same, with a missing file as a failure too.
bool read_file_whole(const QString& path, qint64 maxSize, QByteArray* bytes, QString* error = nullptr);

// True only when the system says there is no such file (nor folder on its way). A file in a folder that cannot
// be entered is not missing: it cannot be read.
bool file_missing(const QString& path);

// Replaces the file at `path` with `bytes` as a whole: the bytes are written beside it and swapped in only
// when every byte reached the disk, so a full disk, a missing permission or a crash leaves the earlier file as
// it was. The file keeps its permissions; a symbolic link is followed and stays. On failure `error` names the file
// and the reason.
bool write_file_whole(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// How the temporary file of such a save is named beside the target: this text and six letters or digits. It is
// hidden and holds no ".ent", so what a cut-off save leaves is never taken for data.
QString save_temporary_prefix();

// "ファイル「…」を保存できませんでした。" with the reason on the next line: every failed save says this.
QString save_failed_message(const QString& path, const QString& reason);

// The message for a file that could not be read as a data file of this program.
QString damaged_file_message(const QString& path, const QString& reason);

// A write beyond the file-size limit (ulimit -f) then fails with EFBIG and is said as any failed save, instead of
// the system ending the program with SIGXFSZ (edits lost, the folder's lock left behind). Called at each
// program's start.
void ignore_file_size_signal();
