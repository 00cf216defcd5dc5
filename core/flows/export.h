#pragma once

#include "gamenames.h"
#include "prompter.h"
#include "records.h"
#include "textcheck.h"
#include "writtenfile.h"

#include <QString>

// The university information dialog and the export of the entry.

// The seven fields in their order, each with its label in the dialog: 大学名, 共同加盟校, 部長, マネージャー,
// 連盟委員, コメント, 出場試合名.
QList<LabelledText> university_fields(const UniversityInfo& info);

// The checks of the dialog's 決定 on what its boxes hold: a university name ("大学名を必ず入力してください。"),
// for an export also a competition name ("試合名を必ず選択してください。"), and text the files can store.
bool check_university_input(const UniversityInfo& typed, bool forExport, Prompter& prompter);

// Writes uniinf.dat and then takes the information into memory, so a failed write (reported) changes nothing.
bool store_university_info(AppState& state, const UniversityInfo& info, Prompter& prompter);

// The information shown once before the export dialog opens when Gamename.txt in `folder` gives no competition
// names: where that file belongs, the form it takes, and how to open the folder.
QString game_names_missing_message(const QString& folder);

// The notice before the export dialog opens: what of Gamename.txt cannot be used (too many names, unreadable
// lines, names beyond the count) and, when no name is left, game_names_missing_message. Empty for a sound list.
QString game_names_notice(const GameNamesRead& read, const QString& folder);

// Copies the university and competition names of universityInfo into every couple of the entry. True when a
// couple had other names before.
bool stamp_couples(AppState& state);

// The proposed export file name: university + "_" + competition, no extension (the file dialog adds ".ent").
QString export_file_name(const UniversityInfo& info);

// Where the export's file dialog starts: `remembered` (the folder of the last export) while it is a folder outside
// the data folder, else the user's Documents folder, else the home folder. Never the data folder, which is hidden
// in the user's own folders.
QString export_start_folder(const AppState& state, const QString& remembered);

enum class ExportResult {
    Exported,  // written where the user chose and to the open entry file; the entry counts as saved
    Cancelled, // the file dialog was cancelled: the couples stay stamped, nothing is written
    Failed     // a write failed (reported); the entry stays unsaved
};

struct ExportOptions {
    QString rememberedFolder;            // the folder of the last export, if any (export_start_folder)
    DesktopLauncher* launcher = nullptr; // starts the mail program and the file manager; null: none can be started
    QString* writtenPath = nullptr;      // receives the path of the exported file
};

// The export after the university information was stored: stamps the couples (an edit of the entry, one undo
// step, when it changes a couple), reminds the user to send the file by e-mail, asks where to write it (".ent"
// added to a name without an extension), writes the entry there and again to the open entry file, and closes
// with a message that names the file and offers to send it by mail or show its folder.
ExportResult export_entry(AppState& state, Prompter& prompter, const ExportOptions& options = {});
