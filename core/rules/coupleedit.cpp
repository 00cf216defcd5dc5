#include "coupleedit.h"

#include "backnumber.h"
#include "datafiles.h"
#include "deletion.h"

#include <QLocale>
#include <QPair>

#include <algorithm>

namespace {

// The couple as the main window knows it: number, leader and partners.
bool sameCouple(const CoupleRecord& a, const CoupleRecord& b) {
    if (a.backNumber != b.backNumber || a.leader != b.leader || a.partnerCount != b.partnerCount)
        return false;
    for (qint32 j = 0; j < a.partnerCount; ++j) {
        if (j >= a.partners.size() || j >= b.partners.size() || a.partners[j] != b.partners[j])
            return false;
    }
    return true;
}

// Same partners in the same places, with the same dance strings.
bool samePartners(const CoupleRecord& a, const CoupleRecord& b) {
    if (a.partnerCount != b.partnerCount)
        return false;
    for (qint32 j = 0; j < a.partnerCount; ++j) {
        if (a.partners.value(j) != b.partners.value(j) || a.partnerDances.value(j) != b.partnerDances.value(j))
            return false;
    }
    return true;
}

// The leader and the partners as people (name and kana), the partners in any order.
bool sameDancers(const CoupleRecord& a, const CoupleRecord& b) {
    const auto key = [](const MemberRecord& m) { return QPair<QString, QString>(m.name, m.kana); };
    if (key(a.leader) != key(b.leader) || a.partnerCount != b.partnerCount)
        return false;
    QList<QPair<QString, QString>> left;
    QList<QPair<QString, QString>> right;
    for (const MemberRecord& m : valid_part(a.partners, a.partnerCount))
        left.append(key(m));
    for (const MemberRecord& m : valid_part(b.partners, b.partnerCount))
        right.append(key(m));
    std::sort(left.begin(), left.end());
    std::sort(right.begin(), right.end());
    return left == right;
}

// The working couple over the couple as it is now: the editor does not edit dances, the regular mark or the
// section, so switches the grid made meanwhile are kept; a dance string the editor left at its position is
// taken as it stands now.
CoupleRecord withGridSwitches(const CoupleRecord& working, const CoupleRecord& opened, const CoupleRecord& current) {
    CoupleRecord stored = working;
    stored.regular = current.regular;
    stored.section = current.section;
    if (current.danceFlags != opened.danceFlags)
        stored.danceFlags = current.danceFlags;
    for (qsizetype j = 0; j < stored.partnerDances.size(); ++j) {
        if (j < opened.partnerDances.size() && j < current.partnerDances.size() &&
            stored.partnerDances[j] == opened.partnerDances[j])
            stored.partnerDances[j] = current.partnerDances[j];
    }
    return stored;
}

} // namespace

std::optional<CoupleEdit> begin_couple_edit(const AppState& state, qint32 position) {
    if (position < 0) {
        const CoupleRecord fresh = new_couple_record(state.universityInfo);
        return CoupleEdit{-1, fresh, fresh};
    }
    if (!state.isCouple(position))
        return std::nullopt;
    return CoupleEdit{position, state.couples[position], state.couples[position]};
}

bool edited_couple_still_there(const AppState& state, const CoupleEdit& edit) {
    if (edit.position < 0)
        return true;
    return state.isCouple(edit.position) && sameCouple(state.couples[edit.position], edit.opened);
}

int year_filter_of(int year) {
    return year >= 1 && year <= 4 ? year : 0;
}

int partner_year_filter(const CoupleRecord& couple) {
    const std::span<const MemberRecord> partners = valid_part(couple.partners, couple.partnerCount);
    if (partners.empty())
        return 0;
    const quint8 first = partners.front().year;
    const bool allEqual =
        std::all_of(partners.begin(), partners.end(), [first](const MemberRecord& p) { return p.year == first; });
    return allEqual ? year_filter_of(first) : 0;
}

bool choose_partners(CoupleRecord& working, const QList<MemberRecord>& chosen, Prompter& prompter) {
    if (chosen.size() > 4) {
        prompter.showMessage(QStringLiteral("パートナーは４人までです。"), Prompter::Icon::Information);
        return false;
    }
    working.partnerCount = qint32(chosen.size());
    if (working.partnerCount > 0) {
        working.partners = chosen;
        working.partnerDances.resize(working.partnerCount);
    }
    return true;
}

StoreCoupleResult store_couple(AppState& state, CoupleEdit& edit, const QString& numberText, Prompter& prompter) {
    if (!edited_couple_still_there(state, edit)) {
        prompter.showMessage(
            QStringLiteral(
                "編集中のカップルは、この画面を開いた後に削除されたか変更されました。\nこの編集は保存しません。"),
            Prompter::Icon::Exclamation);
        return StoreCoupleResult::Gone;
    }
    // An entry beyond the bound could not be saved: the couple is refused before anything is checked.
    if (edit.position < 0 && state.coupleCount >= kMaxCouples) {
        prompter.showMessage(QStringLiteral("カップルは %1 組までです。これ以上追加できません。")
                                 .arg(QLocale(QLocale::Japanese).toString(kMaxCouples)),
                             Prompter::Icon::Exclamation);
        return StoreCoupleResult::Refused;
    }
    switch (check_couple_input(state, numberText, edit.position, edit.working, prompter)) {
    case CoupleInputCheck::Passed:
        break;
    case CoupleInputCheck::BadNumber:
        return StoreCoupleResult::BadNumber;
    case CoupleInputCheck::NumberInUse:
    case CoupleInputCheck::Incomplete:
        return StoreCoupleResult::Refused;
    }

    // The same dancers under a second back number are nearly always a couple entered twice.
    const bool newDancers = edit.position < 0 || !sameDancers(edit.working, edit.opened);
    const std::span<const CoupleRecord> couples = state.entryCouples();
    for (size_t i = 0; newDancers && i < couples.size(); ++i) {
        if (qint32(i) == edit.position || !sameDancers(couples[i], edit.working))
            continue;
        const QString question = QStringLiteral("背番号 %1 のカップルと同じリーダーとパートナーです。\n"
                                                "同じカップルをもう一組登録しますか？")
                                     .arg(couples[i].backNumber);
        if (!prompter.askYesNoNoPreselected(question, Prompter::Icon::Exclamation))
            return StoreCoupleResult::Refused;
        break;
    }

    CoupleRecord stored = edit.working;
    if (edit.position >= 0) {
        const CoupleRecord& current = state.couples[edit.position];
        stored = withGridSwitches(edit.working, edit.opened, current);
        // The flags follow the partners: a partner taken out takes its dances along, one put in brings its own.
        if (!samePartners(stored, current))
            recompute_dance_flags(stored);
    }
    stored.yearSum = qint32(stored.leader.year) + qint32(stored.partners[0].year);

    store_record(state.couples, state.coupleCount, edit.position, stored);
    if (edit.position >= 0)
        edit.opened = stored;
    edit.working = stored;
    state.markCouplesChanged(edit.position < 0 ? QStringLiteral("カップル追加") : QStringLiteral("カップル変更"));
    return StoreCoupleResult::Stored;
}
