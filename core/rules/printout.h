#pragma once

#include "records.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The printed lists as plain data: what each page shows, in which order, decided here without any painting.
// A renderer lays a PrintDocument out on pages: the heading on the first page, the table with its title row on
// every page, each block of rows kept on one page, the totals and closing lines after the last block.

struct PrintColumn {
    QString title;
    bool centred = false;    // numbers and marks; other columns are left-aligned
    bool wraps = false;      // long texts (names) shrink, then wrap; other columns are as wide as their widest text
    bool spansBlock = false; // one cell over every row of a block: the text of the block's first row
    int weight = 1;          // the share of the page width left over that a wrapping column gets
};

// A cell's text, and the reading (kana) printed smaller under it.
struct PrintCell {
    QString text;
    QString reading;

    bool operator==(const PrintCell&) const = default;
};

using PrintRow = QList<PrintCell>; // one cell per column

// Rows that are never split across pages: one couple with one row per partner, or one member.
struct PrintBlock {
    QList<PrintRow> rows;
};

// A row under the table, aligned with its columns: `label` stands in the leading columns whose cells are empty.
struct PrintTotals {
    QString label;
    QStringList cells; // one text per column
};

struct PrintDocument {
    QString title;       // "エントリー一覧", "メンバー一覧"
    QStringList heading; // lines under the title: "大学名 : …", "印刷日 : …"
    QList<PrintColumn> columns;
    QList<PrintBlock> blocks;
    QList<PrintTotals> totals;
    QStringList closing; // lines after the table: "カップル数 : 3"
};

// "2026年3月14日"
QString print_date_text(const QDate& date);

// Control characters (a line break inside a name, only ever from a damaged file) as blanks, so that every text
// prints where its cell is.
QString printable_text(const QString& text);

// The entry list of the open couples: heading with the university, the competition, the entry file's name and
// the date; then one block per couple in the grid's order (by back number): 背番号, リーダー and パートナー with
// their kana, the dances W T F Q C S R P marked as the grid marks them, Reguler and MorL; then how many couples
// dance each dance and the number of couples. The university and competition are those stamped into the
// couples by the export, or the state's university information where the couples carry none.
PrintDocument entry_print_document(const AppState& state, const QString& entryFileName, const QDate& date);

// The roster: the university and the date, then one row per member in `order` (member positions, as the member
// list shows them; positions that name no member are skipped) with 名前, かな, 回生, 学部, 出身高校 and the role,
// then the number of members.
PrintDocument roster_print_document(const AppState& state, const QList<qint32>& order, const QDate& date);

// The positions 0 .. memberCount - 1: the roster in stored order, as the member list shows it before a sort.
QList<qint32> stored_member_order(const AppState& state);

// How many shown couples dance each of the eight dances: a couple counts once for a dance that any of its
// partners dances.
QList<int> dance_totals(const AppState& state);

// The name a PDF of the entry file `entryFileName` is proposed under: its name with ".pdf" in place of ".ent";
// "メンバー一覧.pdf" for the roster (an empty name).
QString pdf_file_name(const QString& entryFileName);
