#pragma once

#include "couplegrid.h"
#include "prompter.h"
#include "records.h"

// Switch dance `dance` of partner `partner` of couple `couple`: appends or removes the code in that partner's
// dance code string, then sets the couple's flags to the dances some partner dances. Positions outside the lists are
// ignored. The three switches are the steps of couple_grid_click, which tells the views once it is done.
void toggle_dance(AppState& state, qint32 couple, qint32 partner, qint32 dance);
void toggle_regular(AppState& state, qint32 couple);
void cycle_section(AppState& state, qint32 couple);

// The click on the grid cell `cursor` (row/column) of `rows`. A click on a couple row makes its couple and
// partner the current ones and switches the dance, regular mark or section of its column; a click on a dance
// title asks whether to invert that dance for every single-partner couple. Marks the entry changed when it
// changed the couples, one step named by what it switched, which refreshes the views; a click on a back number,
// leader or partner cell changes nothing. `rows` is taken by value: the views rebuild the grid's own rows while
// the click is handled.
void couple_grid_click(AppState& state, CoupleGridRows rows, const GridCursor& cursor, qint32& currentCouple,
                       qint32& currentPartner, Prompter& prompter);
