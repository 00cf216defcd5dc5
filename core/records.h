#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

// Everything the program holds in memory. The program owns exactly one; tests make their own.
// Only elements 0 .. count - 1 of the two lists are valid; the lists may be longer.
struct AppState {
    QList<MemberRecord> members;
    qint32 memberCount = 0;
    QList<CoupleRecord> couples;
    qint32 coupleCount = 0;
    UniversityInfo universityInfo;
    QString appFolder;     // absolute, ends with the separator
    QString entryFileName; // bare name of the open entry file; empty while none is open
    quint8 membersChanged = 0;
    quint8 entryChanged = 0;

    bool operator==(const AppState&) const = default;

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
