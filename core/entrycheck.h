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
