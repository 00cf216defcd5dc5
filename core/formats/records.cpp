#include "records.h"

void AppState::markRosterChanged(const QString& step) {
    membersChanged = true;
    emit notifier->rosterChanged(step);
}

void AppState::markCouplesChanged(const QString& step) {
    entryChanged = true;
    emit notifier->couplesChanged(step);
}

MemberRecord new_member_record() {
    MemberRecord member;
    member.year = 1;
    return member;
}

CoupleRecord new_couple_record(const UniversityInfo& universityInfo) {
    CoupleRecord couple;
    couple.university = universityInfo.university;
    couple.leader = new_member_record();
    couple.partners = {MemberRecord{}};
    couple.partnerDances = {QString()};
    couple.danceFlags = QList<qint32>(8, -1);
    return couple;
}

namespace {
template <typename Record> qint32 removeMarked(const QList<Record>& list, qint32 count, QList<Record>& result) {
    QList<Record> kept;
    for (const Record& record : valid_part(list, count)) {
        if (record.deleteMark == 0)
            kept.append(record);
    }
    result = std::move(kept);
    return qint32(result.size());
}
} // namespace

qint32 remove_marked_members(const QList<MemberRecord>& list, qint32 count, QList<MemberRecord>& result) {
    return removeMarked(list, count, result);
}

qint32 remove_marked_couples(const QList<CoupleRecord>& list, qint32 count, QList<CoupleRecord>& result) {
    return removeMarked(list, count, result);
}
