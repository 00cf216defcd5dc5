#pragma once

#include "datafiles.h"
#include "membercolumns.h"
#include "records.h"

#include <QList>
#include <QString>
#include <QStringList>

// Members from a spreadsheet and back: a comma-separated table becomes a list of import candidates, one per
// data row, which the user reviews before the importable ones join the roster; the roster becomes a table
// that imports again as the same members.

// A candidate's cells and the roster table follow the member columns (membercolumns.h).

// Why a row is not imported; the first reason that applies, in this order.
enum class ImportStatus {
    Importable,
    NameMissing,      // empty after the blanks are trimmed
    YearInvalid,      // not 1 to 4
    RoleUnknown,      // neither empty nor a role name
    ControlCharacter, // a line break, a tab or another control character inside a text
    TooLong,          // a text longer than kMaxImportedTextLength
    Unencodable,      // a text code page 932 cannot store
    InRoster,         // same name and kana as a member of the roster
    RepeatedInFile,   // same name and kana as an earlier importable row
    RosterFull,       // the roster would grow beyond kMaxMembers
    NoHeader,         // every row: no row was usable and the first row named no column (see import_note)
};

// The longest text a row may bring into the roster, in characters. The roster's texts are names and short
// phrases; 64 characters take at most 128 bytes in code page 932, the room per text that the roster file's size
// bound allows, so that a roster filled by imports up to kMaxMembers still saves and reads back.
inline constexpr qsizetype kMaxImportedTextLength = 64;

struct ImportCandidate {
    QStringList cells;      // the six texts of the row as read, in MemberColumn order
    MemberRecord member;    // what the row becomes; its role counts only when roleGiven
    bool roleGiven = false; // false when the role cell is empty: the caller's default role applies
    ImportStatus status = ImportStatus::Importable;
    QString statusText; // "取り込み", or the reason in a few words

    bool importable() const { return status == ImportStatus::Importable; }
};

// A table with a first row naming 名前 or 氏名 has its columns found by header, in any order; any other
// table is read in the order of the member text export (name, kana, year, department, high school), with
// the role as a sixth column. The statuses are checked against members 0 .. memberCount - 1 of `state`.
QList<ImportCandidate> member_candidates(const QList<QStringList>& table, const AppState& state);

// What the preview says above its rows, or the empty text: when no row is usable and no header row was found,
// the columns were taken in the export's order, which a table with other columns, or one in another encoding,
// does not follow; every row then carries NoHeader instead of the reason its cells gave.
QString import_note(const QList<ImportCandidate>& candidates);

// The member a candidate becomes: rows without a role take `defaultRole` (0 leader, 1 partner).
MemberRecord imported_member(const ImportCandidate& candidate, quint8 defaultRole);

// The seven texts of a preview row: the cells as read (an empty role shown as the default role) and the status.
QStringList preview_cells(const ImportCandidate& candidate, quint8 defaultRole);

qint32 importable_count(const QList<ImportCandidate>& candidates);

// Appends the importable candidates, in their order, behind members 0 .. memberCount - 1 and sets
// membersChanged and tells the views when any was added; returns how many. Nothing is written to disk. The candidates
// must have been checked against this roster as it stands.
qint32 import_members(AppState& state, const QList<ImportCandidate>& candidates, quint8 defaultRole);

// Reads a file of at most kMemberImportMaxBytes and kMemberImportMaxRows data rows (a header row aside) as a
// table and checks its rows against the roster. Fails, with a message naming the file, when it is missing, not
// a regular file, too large, has more rows than that (naming the limit), is not text in UTF-8 or code page 932,
// has an unclosed quote, or has no data rows. A club's whole roster fits: the bound is the roster's own.
inline constexpr qint64 kMemberImportMaxBytes = 4 * 1024 * 1024;
inline constexpr qsizetype kMemberImportMaxRows = kMaxMembers;
bool read_member_csv(const QString& path, const AppState& state, QList<ImportCandidate>* candidates, QString* error);

// The roster as a table for spreadsheets: the header 名前,かな,回生,学部,出身高校,役割, then one row per
// member 0 .. memberCount - 1 in roster order, the role as "leader" or "partner".
QList<QStringList> member_table(const AppState& state);
