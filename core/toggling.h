#pragma once

#include "couplegrid.h"
#include "prompter.h"
#include "records.h"

// Maps a grid row back to its couple and partner: on a couple row stores both positions and returns 1;
// on the title row (column 13 text not a number) changes nothing and returns -1.
qint32 row_position(const QString& coupleText, const QString& partnerText, qint32& currentCouple,
                    qint32& currentPartner);

// Switch dance `dance` of partner `partner` of couple `couple`: flips the couple's flag and appends or
// removes the code in that partner's dance code string. Positions outside the lists are ignored.
void toggle_dance(AppState& state, qint32 couple, qint32 partner, qint32 dance);
void toggle_regular(AppState& state, qint32 couple);
void cycle_section(AppState& state, qint32 couple);

// The click on the grid cell `cursor` (row/column) of `rows`. Returns 0 when the caller is to refresh the
// caption and the grid, 1 when the click was in a column that changes nothing. A click on a dance title
// asks whether to invert that dance for every single-partner couple.
quint8 couple_grid_click(AppState& state, const CoupleGridRows& rows, const GridCursor& cursor,
                         qint32& currentCouple, qint32& currentPartner, Prompter& prompter);
