#pragma once

#include "records.h"

#include <QList>
#include <QString>
#include <QStringList>

// The couple grid as data: row 0 holds the titles, then one row per shown partner, couples in ascending
// order of back number. Every row has kGridColumnCount texts and, beside them, the positions of the record
// it shows: the couple's position in `couples` and the partner's position in that couple.
enum CoupleGridColumn : int {
    kGridColBackNumber = 0,
    kGridColLeader = 1,
    kGridColPartner = 2,
    kGridColFirstDance = 3, // dance d is column d + 3
    kGridColLastDance = 10,
    kGridColRegular = 11,
    kGridColSection = 12,
    kGridColumnCount = 13
};

struct CoupleGridRow {
    QStringList texts;  // kGridColumnCount texts
    qint32 couple = -1; // position in `couples`; -1 on the title row
    qint32 partner = -1;

    bool isCoupleRow() const { return couple >= 0; }
    QString text(int column) const { return texts.value(column); }
    bool operator==(const CoupleGridRow&) const = default;
};

using CoupleGridRows = QList<CoupleGridRow>;

// The current cell of the grid and the other end of its selected row range (otherRow == row: one row).
struct GridCursor {
    int row = 0;
    int column = 0;
    int otherRow = 0;
};

// "背番号", "Leader", "Partner", "W" .. "P", "Reguler", "MorL".
QStringList couple_grid_titles();
// What each title means, in Japanese, for the title row's tooltips (the titles themselves stay as they are).
QStringList couple_grid_title_tips();

// All rows of the grid for the couples 0 .. coupleCount - 1; couples with deleteMark 1 are left out.
CoupleGridRows build_couple_grid_rows(const AppState& state);

// positions := 0 .. count - 1, then keys are sorted ascending with each position moving with its key.
void sort_positions(QList<qint32>& keys, QList<qint32>& positions, qint32 count);
// Quicksort with the first element as pivot, exchanges applied to positions too. Recurses only into the
// smaller part, so the depth stays logarithmic even for keys that are already sorted.
void quick_sort(QList<qint32>& keys, QList<qint32>& positions, qint32 low, qint32 high);

// Field n (from 1) of `text` split at `separator`, counted from the start or from the end; "" when absent.
QString split_field(const QString& text, const QString& separator, qint32 n, bool fromEnd);

// "カップル数 : N   ファイル名 : NAME"
QString entry_caption(const AppState& state);
