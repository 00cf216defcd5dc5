#pragma once

#include "prompter.h"
#include "records.h"

#include <QList>
#include <QString>

// One rule that one couple breaks.
struct EntryProblem {
    qint32 couplePosition = 0; // position in `couples`
    qint32 backNumber = 0;
    QString rule; // the rule's message text

    bool operator==(const EntryProblem&) const = default;
};

// Every couple must dance at least one dance, and no two partners of a couple may share one. Lists the
// couples 0 .. coupleCount - 1 that break a rule, in list order; each couple names each broken rule once,
// in the order in which the walk over its partners first meets it. Empty when the entry passes.
QList<EntryProblem> entry_problems(const AppState& state);

// Reports the first problem of entry_problems ("背番号" + number + CR + rule) and returns false, with that
// couple's position in `couples` in *failedCouple when given; returns true without a message when there is none.
bool check_entry(const AppState& state, Prompter& prompter, qint32* failedCouple = nullptr);

// One member (the same name and kana) entered for the same dance in two or more couples of one event: couples
// with the same class (MorL) and the same regular mark. Couples of different classes or regular marks dance in
// different events and never conflict.
struct EntryConflict {
    QString name;
    QString kana;
    qint32 dance = 0;              // dance index
    QList<qint32> couplePositions; // the couples involved, by ascending back number
    QList<qint32> backNumbers;     // their back numbers, in the same order

    bool operator==(const EntryConflict&) const = default;
};

// Every conflict among couples 0 .. coupleCount - 1, whether the member is a leader or a partner there. A leader
// dances every dance of its couple, a partner the dances of its own code string; a couple with one partner also
// dances those of its dance flags, by which the export check judges it. Ordered by the lowest back number
// involved, then as the couple list first meets them (leader before partners, dances in their order).
QList<EntryConflict> entry_conflicts(const AppState& state);

// How many back numbers one line of the conflict question lists.
constexpr qsizetype kConflictNumbersShown = 10;

// One line for a conflict: name（kana） ダンス (code): 背番号 3, 12; after kConflictNumbersShown numbers the rest
// are counted: 背番号 1, 2, …, 10 …ほか 9990 組
QString conflict_text(const EntryConflict& conflict);

// Run after check_entry has passed. When the entry holds conflicts, lists them in one Yes/No question with the
// exclamation icon, asking whether to export anyway. The question shows at most 15 conflicts of
// kConflictNumbersShown back numbers each; when it leaves anything out, every conflict is in its details. True when
// there are none or the answer is Yes; on No the position of the first couple involved (the lowest back number of the
// first conflict) goes to *firstCouple.
bool confirm_entry_conflicts(const AppState& state, Prompter& prompter, qint32* firstCouple = nullptr);
