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
    store_record(state.members, state.memberCount, edit.position, member);
    state.markRosterChanged(edit.position == -1 ? QStringLiteral("メンバー追加") : QStringLiteral("メンバー変更"));
    return {StoreMemberOutcome::Stored};
}
