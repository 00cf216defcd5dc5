#include "roster.h"

#include "cp932.h"
#include "datafiles.h"
#include "numbertext.h"
#include "textcheck.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

int compare_japanese(const QString& a, const QString& b) {
    // QCollator::compare is const and keeps no state between calls, so one collator serves every list.
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Japanese, QLocale::Japan));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a, b);
}

bool has_leader_and_partner(const AppState& state) {
    const std::span<const MemberRecord> roster = state.roster();
    const auto hasRole = [&roster](quint8 role) {
        return std::any_of(roster.begin(), roster.end(), [role](const MemberRecord& m) { return m.role == role; });
    };
    return hasRole(0) && hasRole(1);
}

QList<qint32> members_by_kana(const AppState& state, quint8 role, int yearFilter) {
    const std::span<const MemberRecord> roster = state.roster();
    QList<qint32> positions;
    for (size_t i = 0; i < roster.size(); ++i) {
        if (roster[i].role == role && (yearFilter == 0 || roster[i].year == yearFilter))
            positions.append(qint32(i));
    }
    std::stable_sort(positions.begin(), positions.end(), [&roster](qint32 a, qint32 b) {
        return compare_japanese(roster[size_t(a)].kana, roster[size_t(b)].kana) < 0;
    });
    return positions;
}

bool delete_members(AppState& state, const QList<qint32>& positions, Prompter& prompter) {
    if (positions.isEmpty())
        return false;
    // A list that no longer matches the roster deletes nothing rather than the wrong member.
    if (!std::all_of(positions.begin(), positions.end(), [&state](qint32 p) { return state.isMember(p); }))
        return false;
    const QString subject =
        positions.size() == 1 ? state.members.at(positions.constFirst()).name : QStringLiteral("現在選択中のメンバー");
    if (!prompter.askYesNo(subject + QStringLiteral(" を消去します。よろしいですか？"), Prompter::Icon::Information))
        return false;
    for (qint32 position : positions)
        state.members[position].deleteMark = 1;
    QList<MemberRecord> remaining;
    state.memberCount = remove_marked_members(state.members, state.memberCount, remaining);
    state.members = std::move(remaining);
    state.markRosterChanged(QStringLiteral("メンバー削除"));
    return true;
}

QList<qint32> couples_holding(const AppState& state, const QString& name, const QString& kana) {
    const auto same = [&](const MemberRecord& m) { return m.name == name && m.kana == kana; };
    QList<qint32> positions;
    const std::span<const CoupleRecord> couples = state.entryCouples();
    for (size_t i = 0; i < couples.size(); ++i) {
        const CoupleRecord& c = couples[i];
        const std::span<const MemberRecord> partners = valid_part(c.partners, c.partnerCount);
        if (same(c.leader) || std::any_of(partners.begin(), partners.end(), same))
            positions.append(qint32(i));
    }
    return positions;
}

QHash<MemberKey, QList<qint32>> back_numbers_by_member(const AppState& state) {
    QHash<MemberKey, QList<qint32>> numbers;
    for (const CoupleRecord& c : state.entryCouples()) {
        const auto add = [&](const MemberRecord& m) {
            QList<qint32>& list = numbers[MemberKey(m.name, m.kana)];
            if (!list.contains(c.backNumber))
                list.append(c.backNumber);
        };
        add(c.leader);
        for (const MemberRecord& partner : valid_part(c.partners, c.partnerCount))
            add(partner);
    }
    return numbers;
}

void correct_couple_members(AppState& state, const QList<qint32>& positions, const MemberRecord& before,
                            const MemberRecord& corrected) {
    const auto correct = [&](MemberRecord& m) {
        if (m.name != before.name || m.kana != before.kana)
            return;
        m.name = corrected.name;
        m.kana = corrected.kana;
        m.year = corrected.year;
        m.department = corrected.department;
        m.highschool = corrected.highschool;
    };
    for (const qint32 position : positions) {
        if (!state.isCouple(position))
            continue;
        CoupleRecord& c = state.couples[position];
        correct(c.leader);
        for (MemberRecord& partner : valid_part(c.partners, c.partnerCount))
            correct(partner);
        if (c.partnerCount > 0 && !c.partners.isEmpty())
            c.yearSum = qint32(c.leader.year) + qint32(c.partners[0].year);
    }
}

std::optional<MemberEdit> begin_member_edit(const AppState& state, qint32 position) {
    if (position < 0)
        return MemberEdit{-1, new_member_record()};
    if (!state.isMember(position))
        return std::nullopt;
    return MemberEdit{position, state.members[position]};
}

namespace {

// The first of the editor's own checks that fails, with its message; empty when all pass.
QString memberInputProblem(const MemberInput& input, qint32& year) {
    if (!get_long_number(input.yearText, year))
        return QStringLiteral("回生に数値以外を入力しないで下さい。");
    if (year < 1 || year > 4)
        return QStringLiteral("回生は１から４までの数値です。");
    if (input.name.isEmpty())
        return QStringLiteral("名前は必ず入力してください。");
    return {};
}

} // namespace

StoreMemberOutcome store_member(AppState& state, const MemberEdit& edit, const MemberInput& input, Prompter& prompter) {
    // The main window can delete or change members while the editor is open: the edit is stored only while
    // its position still holds the member that was opened.
    if (edit.position != -1 && (!state.isMember(edit.position) || state.members[edit.position] != edit.opened)) {
        prompter.showMessage(
            QStringLiteral(
                "編集中のメンバーは、この画面を開いた後に削除されたか変更されました。\nこの編集は保存しません。"),
            Prompter::Icon::Exclamation);
        return {StoreMemberOutcome::Gone};
    }
    // A roster beyond the bound could not be saved: a new member is refused before anything is checked.
    if (edit.position == -1 && qsizetype(state.roster().size()) >= kMaxMembers) {
        prompter.showMessage(QStringLiteral("メンバーは %1 人までです。これ以上追加できません。")
                                 .arg(QLocale(QLocale::Japanese).toString(kMaxMembers)),
                             Prompter::Icon::Exclamation);
        return {StoreMemberOutcome::Refused};
    }
    qint32 year = 0;
    const QString problem = memberInputProblem(input, year);
    if (!problem.isEmpty()) {
        prompter.showMessage(problem, Prompter::Icon::Exclamation);
        return {StoreMemberOutcome::Refused};
    }
    const QList<LabelledText> fields = {{QStringLiteral("名前"), input.name},
                                        {QStringLiteral("かな"), input.kana},
                                        {QStringLiteral("出身高校"), input.highschool},
                                        {QStringLiteral("学部"), input.department}};
    qsizetype bad = first_unstorable_field(fields, prompter);
    if (bad < 0)
        bad = first_field_with_control_character(fields, prompter);
    if (bad >= 0)
        return {StoreMemberOutcome::Refused, MemberField(int(MemberField::Name) + int(bad))};

    MemberRecord member = edit.opened;
    member.name = input.name;
    member.kana = input.kana;
    member.highschool = input.highschool;
    member.department = input.department;
    member.year = quint8(year);
    member.role = input.role == 0 ? 0 : 1;

    const MemberRecord& opened = edit.opened;
    const bool renamed = edit.position == -1 || member.name != opened.name || member.kana != opened.kana;
    if (renamed) {
        const std::span<const MemberRecord> roster = state.roster();
        for (size_t i = 0; i < roster.size(); ++i) {
            if (qint32(i) == edit.position || roster[i].name != member.name || roster[i].kana != member.kana)
                continue;
            const QString question =
                QStringLiteral("「%1（%2）」は\n%3回生の%4として既に登録されています。\n"
                               "同じ名前とかなのメンバーをもう一人登録しますか？")
                    .arg(roster[i].name, roster[i].kana, QString::number(roster[i].year),
                         roster[i].role == 0 ? QStringLiteral("リーダー") : QStringLiteral("パートナー"));
            if (!prompter.askYesNoNoPreselected(question, Prompter::Icon::Exclamation))
                return {StoreMemberOutcome::Refused, MemberField::Name};
            break;
        }
    }

    // The couples of the open entry hold copies of their members: a correction reaches them only when asked.
    QList<qint32> holding;
    const bool corrected = member.name != opened.name || member.kana != opened.kana || member.year != opened.year ||
                           member.department != opened.department || member.highschool != opened.highschool;
    if (edit.position != -1 && corrected) {
        holding = couples_holding(state, opened.name, opened.kana);
        if (!holding.isEmpty() &&
            !prompter.askYesNo(QStringLiteral("開いているエントリーの %1 組のカップルにもこの変更を反映しますか？")
                                   .arg(holding.size()),
                               Prompter::Icon::Information))
            holding.clear();
    }

    store_record(state.members, state.memberCount, edit.position, member);
    state.markRosterChanged(edit.position == -1 ? QStringLiteral("メンバー追加") : QStringLiteral("メンバー変更"));
    if (!holding.isEmpty()) {
        correct_couple_members(state, holding, opened, member);
        state.markCouplesChanged(QStringLiteral("メンバー変更の反映"));
    }
    return {StoreMemberOutcome::Stored};
}
