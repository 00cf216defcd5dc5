#pragma once

#include "prompter.h"
#include "records.h"

#include <QString>

// Reads a back number: blanks around it ignored, a sign and a decimal fraction accepted, the fraction
// rounded half to even (7.5 -> 8, 6.5 -> 6), the result within -32768..32767. On failure `number` is untouched.
bool get_back_number(const QString& text, qint16& number);

// The proposal for a new couple: a numeric text becomes that number (rounded as above) plus one; any other
// text, or one whose value would leave the 32-bit range, is returned unchanged.
QString propose_back_number(const QString& text);

// True when no other couple (the edited one and marked ones skipped) has the number; otherwise shows
// "その背番号は既に使われています。" and returns false.
bool check_back_number(const AppState& state, qint16 number, qint32 editPosition, Prompter& prompter);

enum class CoupleInputCheck { Passed, BadNumber, NumberInUse, Incomplete };

// The checks run when the couple editor's OK is pressed, in order, each with its message. On BadNumber the
// caller gives the number box the focus. Once the number is free it is written into `working.backNumber`,
// even when the couple then turns out to be incomplete.
CoupleInputCheck check_couple_input(const AppState& state, const QString& numberText, qint32 editPosition,
                                    CoupleRecord& working, Prompter& prompter);
