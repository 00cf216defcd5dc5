#pragma once

#include "prompter.h"
#include "records.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The year advance: every member's year rises by one, fourth-year members and every couple with a fourth-year
// dancer leave, in the roster and in every entry file of the data folder. Everything is read, advanced and
// encoded in memory first, every file it will rewrite is copied to backup/<date-time>/, and only then are the
// files written, so that the advance can be undone and never runs twice on part of the data.

// Every member's year rises by one; fourth-year members are removed, the others keep their order.
void advance_member_years(AppState& state);

// The regular files directly in a folder, hidden ones left out. Names this program cannot use (their bytes
// are not UTF-8, as in a folder unpacked from a Windows archive) are apart, shown as well as they can be.
struct FolderListing {
    QStringList names;
    QStringList unusableNames;
};
FolderListing list_data_folder(const QString& folder);

// True for a name that holds ".ent" anywhere, in any case (a.ENT, b.ent.bak, c.entry).
bool is_entry_file_name(const QString& name);

// What the advance will write, all encoded already.
struct YearAdvancePlan {
    struct File {
        QString name;
        QByteArray bytes;
        QStringList removedCouples; // "背番号 12　leader・partner" for each couple that left
    };
    QList<MemberRecord> members; // the advanced roster
    qint32 memberCount = 0;
    QByteArray memberBytes;
    QStringList
        graduates; // "name（kana）" (the name alone without kana) of each fourth-year member who left the roster
    struct Untouched {
        QString name;
        QString reason; // a sentence that names the file
    };
    QList<File> entryFiles;     // the entry files to rewrite, in the folder's order
    QList<Untouched> untouched; // the files that stay as they are
};

// Reads every entry file of the folder, advances it and the roster, and encodes every new file. False, with
// the reason, when a text cannot be stored: then nothing may be written.
bool plan_year_advance(const AppState& state, YearAdvancePlan& plan, QString* error);

// `done` of `total` files written so far; called before the first and after every file.
using YearAdvanceProgress = std::function<void(int done, int total)>;

// Writes the plan: member.dat, then the entry files, stopping at the first failure. Returns the names written;
// `failure` is the message of the write that failed (empty when all were written).
QStringList write_year_advance(const AppState& state, const YearAdvancePlan& plan, QString* failure,
                               const YearAdvanceProgress& progress = {});

// The whole command after the save prompts and questions; `setBusy` shows and hides the busy pointer. Ends with
// one message that says what was advanced, what was not and where the backup is: counts and the first few names,
// with the full lists in its details, together with the members and, per entry file, the couples it removed. Returns
// true when the data was advanced (also in part, after a failed write).
bool command_year_advance(AppState& state, Prompter& prompter, const std::function<void(bool)>& setBusy,
                          const YearAdvanceProgress& progress = {});
