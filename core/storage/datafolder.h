#pragma once

#include "prompter.h"

#include <QString>

#include <optional>

// The data folder: the one folder that holds member.dat, uniinf.dat, Gamename.txt and the entry files. It is
// decided once at start; everything the program reads and writes is in it.

enum class DataFolderSource {
    CommandLine,   // --folder DIR
    ProgramFolder, // the folder of the program file, which already holds the club's files (portable use)
    UserFolder     // the per-user data folder
};

struct DataFolder {
    QString path; // absolute, ending with '/'; empty when the folder cannot be used
    DataFolderSource source = DataFolderSource::UserFolder;
    QString error; // when `path` is empty: the message for the user, naming the folder and the reason
};

// Decides the data folder, in this order: `requested` (the value of --folder; std::nullopt when the option was not
// given), created with its parents when it does not exist; otherwise `programFolder` when it already holds
// member.dat, uniinf.dat or Gamename.txt; otherwise `userFolder`, created when it does not exist.
// A relative `requested` is taken from the current folder.
DataFolder decide_data_folder(const std::optional<QString>& requested, const QString& programFolder,
                              const QString& userFolder);

// The per-user data folder as the XDG rule gives it: $XDG_DATA_HOME/DanceEntry when XDG_DATA_HOME is an absolute
// path (a relative one is ignored), otherwise $HOME/.local/share/DanceEntry. Empty when HOME is not set or not
// absolute, rather than a folder below "/".
QString user_data_folder_for(const QString& xdgDataHome, const QString& home);

// The same from the environment. Sets the application name "DanceEntry" (and no organisation name), so that
// Qt's other paths agree.
QString user_data_folder();

// "データフォルダを開く": shows `folder` in the file manager; when that fails, says so in a message that names the
// folder. Returns true when the folder was shown.
bool open_data_folder(const QString& folder, Prompter& prompter);

// The text of "バージョン情報": the program's version, the data folder, the Qt version in use and the licence.
QString about_text(const QString& folder);
