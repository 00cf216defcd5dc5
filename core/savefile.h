#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at `path` with `bytes` as a whole: the bytes are written beside it and swapped in
// only when every byte was written, so a full disk, a missing permission or a crash leaves the earlier
// file as it was. On failure `error` names the file and the reason.
bool write_file_whole(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Reads a whole file. On failure `error` names the file and the reason.
bool read_file_whole(const QString& path, QByteArray* bytes, QString* error = nullptr);

// "ファイル「…」を保存できませんでした。" with the reason on the next line: every failed save says this.
QString save_failed_message(const QString& path, const QString& reason);

// The message for a file that could not be read as a data file of this program.
QString damaged_file_message(const QString& path, const QString& reason);
