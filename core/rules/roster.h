#pragma once

#include "prompter.h"
#include "records.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// The rules of the roster: forming lists of members, editing one, deleting some.

// Compares two texts as a Japanese reader orders them (kana in gojūon order, full- and half-width forms and
// letter cases together). The one order of every member list.
int compare_japanese(const QString& a, const QString& b);

// True when the roster holds at least one leader and at least one partner.
bool has_leader_and_partner(const AppState& state);

// The positions of the members with `role` and, unless `yearFilter` is 0, that year, ordered by reading
// (equal readings keep their roster order).
QList<qint32> members_by_kana(const AppState& state, quint8 role, int yearFilter);

// The delete command of the member view on the members at `positions` (the rows selected, top row first):
// asks (naming the member when there is one), then removes them, sets membersChanged and tells the views.
// Deletes nothing when a position no longer names a member. True when members were deleted.
bool delete_members(AppState& state, const QList<qint32>& positions, Prompter& prompter);

// The positions of the couples of the open entry whose leader or one of whose partners has `name` and `kana`
// (a couple holds copies of its members, found by these two), in list order.
QList<qint32> couples_holding(const AppState& state, const QString& name, const QString& kana);

// The back numbers of the couples of the open entry that hold each member, by name and kana, in list order.
using MemberKey = QPair<QString, QString>; // name, kana
QHash<MemberKey, QList<qint32>> back_numbers_by_member(const AppState& state);

// Writes the name, kana, year, faculty and high school of `corrected` into every leader and partner of the
// couples at `positions` that has the name and kana of `before`; each couple's year total follows. The role and
// the dances stay. Tells nothing: the caller marks the change.
void correct_couple_members(AppState& state, const QList<qint32>& positions, const MemberRecord& before,
                            const MemberRecord& corrected);

// The member editor's edit: which member, and how it looked when the edit started.
struct MemberEdit {
    qint32 position = -1; // -1: a new member
    MemberRecord opened;  // the member as it was when the edit started (a fresh member for a new one)
};
// The edit of the member at `position`, or of a new member for -1. Null for a position that names no member.
std::optional<MemberEdit> begin_member_edit(const AppState& state, qint32 position);

// What the member editor's boxes hold.
struct MemberInput {
    QString name;
    QString kana;
    QString highschool;
    QString department;
    QString yearText;
    quint8 role = 0; // 0 leader, 1 partner
};

enum class MemberField { None, Name, Kana, Highschool, Department };

struct StoreMemberOutcome {
    enum Result {
        Stored,  // appended or replaced; membersChanged set and the views told
        Refused, // a check failed and said why; the editor stays open
        Gone     // the edited member was deleted or changed meanwhile; nothing stored, the editor closes
    } result = Refused;
    MemberField field = MemberField::None; // the box holding text the files cannot store
};

// The editor's 決定: the year must be a number from 1 to 4 and the name must not be empty (each with its
// message), and every text must be storable in code page 932 and hold no line break, tab or other control
// character; a new member is refused when the roster already holds kMaxMembers. Then the member is appended
// (new) or replaces the one at the edit's position, provided that position still holds the member as it was
// opened. Before storing, a name and kana that another member has already (changed or new) are stored only after
// a question that names that member, answered Yes. A change to a member who is in couples of the open entry
// asks whether those couples are to take it too; Yes corrects them (correct_couple_members) as a step of the
// entry's own, after the roster's step.
StoreMemberOutcome store_member(AppState& state, const MemberEdit& edit, const MemberInput& input, Prompter& prompter);
