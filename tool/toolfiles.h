#pragma once

#include "records.h"

#include <QString>
#include <QStringList>

#include <functional>

// Which data file a path holds, told by its name as the program names its files: "member.dat",
// "uniinf.dat", "Gamename.txt" (in any letter case, since the files often come from Windows), anything else an
// entry file.
enum class DataFileKind { Member, University, GameNames, Entry };
DataFileKind data_file_kind(const QString& path);

// One data file, decoded by the program's own readers into a state of its own.
struct LoadedFile {
    QString path; // as given on the command line
    DataFileKind kind = DataFileKind::Entry;
    AppState state; // members, universityInfo, or couples and universityInfo
    // Gamename.txt: the count the program takes (the first field's, or the number of names where there is no
    // count), the names read, and what the program leaves out (names beyond the count, unreadable lines).
    qint32 gameNameCount = 0;
    QStringList gameNames;
    QStringList gameNameWarnings;
};

// Reads `path` as the kind its name tells. Unlike the program, which treats a missing file as empty, the
// tool fails for a missing file, a folder, an unreadable or a damaged file; `error` names the file.
bool load_data_file(const QString& path, LoadedFile& file, QString* error);

// Reads every file of `paths` as an entry file and hands each to `use`, in order. A file named as one of the other
// data files, or one that cannot be read, is told to `report` (a sentence that names it) and the next file is
// read; true only when every file was read.
bool load_entry_files(const QStringList& paths, const std::function<void(const LoadedFile&)>& use,
                      const std::function<void(const QString&)>& report);

// "メンバーファイル", "大学情報ファイル", "試合名ファイル", "エントリーファイル".
QString data_file_kind_text(DataFileKind kind);

// When `path` (or the file its links lead to) carries the name of one of the program's other files, what that
// file is ("メンバーファイル", "大学情報ファイル", "出場試合名の一覧", "ロックファイル"); otherwise an empty text.
// Only entry files may carry any other name, and only their content tells them apart.
QString other_data_file_text(const QString& path);
