#pragma once

#include "prompter.h"
#include "records.h"

#include <QList>
#include <QString>

#include <optional>

// The rules of the couple editor: what it edits, how it chooses members and what its 決定 stores.

struct CoupleEdit {
    qint32 position = -1; // -1: a new couple
    CoupleRecord opened;  // the couple as it was when the edit started
    CoupleRecord working; // what the editor holds: the chosen leader and partners
};

// The edit of the couple at `position`, or of a fresh couple for -1. Null for a position that names no couple.
std::optional<CoupleEdit> begin_couple_edit(const AppState& state, qint32 position);

// True while the edited couple is still in the list as it was opened: same position, back number, leader
// and partners (dances, regular mark and section are switched in the grid meanwhile and do not count).
// Always true for a new couple.
bool edited_couple_still_there(const AppState& state, const CoupleEdit& edit);

// The year filter option (0 all years, 1..4 that year) that lists a member of `year`; other years list all.
int year_filter_of(int year);
// The option that lists the couple's partners: their year when all share one, otherwise all years.
int partner_year_filter(const CoupleRecord& couple);

// The partners chosen in the list, in list order. More than four are refused with "パートナーは４人までです。"
// and change nothing (false). The dance strings belong to positions: a shorter list loses its last strings,
// a longer one gets empty strings at the end. Choosing none leaves the earlier partners in the lists but
// sets the count to 0.
bool choose_partners(CoupleRecord& working, const QList<MemberRecord>& chosen, Prompter& prompter);

enum class StoreCoupleResult {
    Stored,    // stored, entryChanged set and the views told
    BadNumber, // the back number is no number (the editor gives its box the focus)
    Refused,   // the number is in use, or leader or partner is missing
    Gone       // the edited couple was deleted or changed meanwhile: nothing stored, the editor closes
};

// The editor's 決定: the checks of the couple input, then the couple is appended (new) or stored over the one
// it edits; a couple whose leader and partners are those of another couple of the entry is stored only after a
// question naming that couple's back number, answered Yes. Its dance flags follow a change of partners.
// Dance, regular and section switches made in the grid while the editor was open are kept.
StoreCoupleResult store_couple(AppState& state, CoupleEdit& edit, const QString& numberText, Prompter& prompter);
