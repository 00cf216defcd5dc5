#pragma once

#include "statenotifier.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <span>

// One club member. Field order is the order of the binary encoding.
// A default-constructed record is "zero" (empty texts, numbers 0), which is what
// a reader allocates; new_member_record() gives the defaults of a new member.
struct MemberRecord {
    QString name;
    QString kana;
    quint8 year = 0;
    QString highschool;
    QString department;
    quint8 role = 0; // 0 leader, 1 partner
    quint8 deleteMark = 0;

    bool operator==(const MemberRecord&) const = default;
};

// One couple of the open entry: copies of the member records, not references.
struct CoupleRecord {
    qint32 backNumber = 0;
    QString university;
    MemberRecord leader;
    QList<MemberRecord> partners;
    QStringList partnerDances;
    qint32 partnerCount = 0;
    quint8 regular = 0;
    qint32 yearSum = 0;
    QString gameName;
    quint8 section = 0;       // 0 Modan, 1 Latin, 2 Rookie
    QList<qint32> danceFlags; // eight entries, 0 = danced, -1 = not danced
    quint8 deleteMark = 0;

    bool operator==(const CoupleRecord&) const = default;
};

struct UniversityInfo {
    QString university;
    QString partnerSchool;
    QString head;
    QString manager;
    QString leagueMember;
    QString comment;
    QString gameName;

    bool operator==(const UniversityInfo&) const = default;
};

// The elements 0 .. count - 1 of a list, the only valid ones: a count may be larger than the list (never read
// beyond it) or negative (nothing is valid).
template <typename T> std::span<const T> valid_part(const QList<T>& list, qint32 count) {
    return std::span<const T>(list.constData(), size_t(std::clamp<qsizetype>(count, 0, list.size())));
}
template <typename T> std::span<T> valid_part(QList<T>& list, qint32 count) {
    const qsizetype valid = std::clamp<qsizetype>(count, 0, list.size());
    return valid == 0 ? std::span<T>() : std::span<T>(list.data(), size_t(valid));
}

// Stores `record` over the element at `position`, or, for -1, right after the valid part: the count grows by one
// and whatever lay beyond the old count is dropped. Returns the position the record now has.
template <typename T> qint32 store_record(QList<T>& list, qint32& count, qint32 position, const T& record) {
    if (position >= 0) {
        list[position] = record;
        return position;
    }
    count = qint32(valid_part(list, count).size()) + 1;
    list.resize(count);
    list[count - 1] = record;
    return count - 1;
}

// Everything the program holds in memory. The program owns exactly one; tests make their own.
// Only elements 0 .. count - 1 of the two lists are valid; the lists may be longer.
struct AppState {
    QList<MemberRecord> members;
    qint32 memberCount = 0;
    QList<CoupleRecord> couples;
    qint32 coupleCount = 0;
    UniversityInfo universityInfo;
    QString appFolder;           // absolute, ends with the separator
    QString entryFileName;       // bare name of the open entry file; empty while none is open
    bool membersChanged = false; // the roster holds changes that are not saved
    bool entryChanged = false;   // the couples hold changes that are not saved
    QSet<QString> unreadFiles;   // paths of files that exist but could not be read: kept before a save replaces them
    OwnNotifier notifier;        // tells the views when the roster or the couples change

    bool operator==(const AppState&) const = default;

    // The one way an edit of the user marks a change: sets the changed flag and tells the views and the undo
    // history, which keeps the edit as one step named `step` (for example "メンバー削除").
    void markRosterChanged(const QString& step);
    void markCouplesChanged(const QString& step);

    std::span<const MemberRecord> roster() const { return valid_part(members, memberCount); }
    std::span<const CoupleRecord> entryCouples() const { return valid_part(couples, coupleCount); }
    bool isMember(qint32 position) const { return position >= 0 && size_t(position) < roster().size(); }
    bool isCouple(qint32 position) const { return position >= 0 && size_t(position) < entryCouples().size(); }

    QString memberFilePath() const { return appFolder + QStringLiteral("member.dat"); }
    QString universityFilePath() const { return appFolder + QStringLiteral("uniinf.dat"); }
    QString gameNamesPath() const { return appFolder + QStringLiteral("Gamename.txt"); }
    QString entryFilePath() const { return appFolder + entryFileName; }
};

MemberRecord new_member_record();
CoupleRecord new_couple_record(const UniversityInfo& universityInfo);

// Copies, in order, the first `count` records whose deleteMark is 0 into `result` and returns their number.
qint32 remove_marked_members(const QList<MemberRecord>& list, qint32 count, QList<MemberRecord>& result);
qint32 remove_marked_couples(const QList<CoupleRecord>& list, qint32 count, QList<CoupleRecord>& result);
