#pragma once

#include "couplegrid.h"
#include "prompter.h"
#include "records.h"

// The delete command of the couple view. One selected row deletes the whole couple (a one-partner couple,
// or a click on the back number or leader of a couple's first row) or only that row's partner; a range
// deletes every couple with a row in it. The couple is always taken from the grid row, never from a stale
// position, and a title row alone deletes nothing. After a partner was removed `cursor` is moved to row 0.
// Sets entryChanged and tells the views when something was deleted, and returns true then. `rows` is taken by
// value: the views rebuild the grid's own rows while the deletion runs.
bool delete_couples(AppState& state, CoupleGridRows rows, GridCursor& cursor, qint32& currentCouple,
                    qint32& currentPartner, Prompter& prompter);

// Removes partner `partner` and its dance code string from couple `couple` and recomputes the couple's
// danceFlags from the remaining strings. Only for couples with two or more partners.
void remove_partner(AppState& state, qint32 couple, qint32 partner);

// Recomputes the eight danceFlags of `couple` from its partners' dance code strings.
void recompute_dance_flags(CoupleRecord& couple);
