#include "yearadvance.h"

#include "datafiles.h"
#include "entrycommands.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr quint8 kLastYear = 4;

struct PendingFile {
    QString name;
    QList<CoupleRecord> couples;
    qint32 count = 0;
};

// Marks every couple with a fourth-year dancer and moves every other dancer on by one year, then closes
// up the list. Returns the number of couples left.
qint32 advanceCouples(QList<CoupleRecord>& couples, qint32 count) {
    const std::span<CoupleRecord> valid = valid_part(couples, count);
    for (CoupleRecord& couple : valid) {
        const std::span<MemberRecord> partners = valid_part(couple.partners, couple.partnerCount);
        const bool leaves =
            couple.leader.year == kLastYear ||
            std::any_of(partners.begin(), partners.end(), [](const MemberRecord& p) { return p.year == kLastYear; });
        if (leaves) {
            couple.deleteMark = 1;
            continue;
        }
        couple.leader.year = quint8(couple.leader.year + 1);
        for (MemberRecord& partner : partners)
            partner.year = quint8(partner.year + 1);
    }
    QList<CoupleRecord> kept;
    const qint32 left = remove_marked_couples(couples, qint32(valid.size()), kept);
    if (left > 0)
        couples = std::move(kept);
    return left;
}

} // namespace

void advance_member_years(AppState& state) {
    for (MemberRecord& member : valid_part(state.members, state.memberCount)) {
        if (member.year == kLastYear)
            member.deleteMark = 1;
        else
            member.year = quint8(member.year + 1);
    }
    QList<MemberRecord> kept;
    state.memberCount = remove_marked_members(state.members, state.memberCount, kept);
    state.members = std::move(kept);
}

QStringList list_folder(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
}

bool is_entry_file_name(const QString& name) {
    return name.contains(QStringLiteral(".ent"), Qt::CaseInsensitive);
}

EntryAdvanceReport advance_entry_files(const AppState& state, const AdvanceProgress& progress) {
    EntryAdvanceReport report;
    const QStringList names = list_folder(state.appFolder);

    // Every file is read and checked before any is rewritten; a file that does not decode as an entry
    // file (damaged, or a foreign file whose name merely holds ".ent") is not touched at all.
    QList<PendingFile> pending;
    for (const QString& name : names) {
        if (!is_entry_file_name(name))
            continue;
        PendingFile file;
        file.name = name;
        QString error;
        if (!read_entry_couples(state.appFolder + name, file.couples, file.count, &error)) {
            report.problems << error;
            continue;
        }
        pending.append(std::move(file));
    }

    const int total = int(pending.size());
    int done = 0;
    for (PendingFile& file : pending) {
        if (progress)
            progress(done++, total);
        const qint32 left = advanceCouples(file.couples, file.count);
        QString error;
        if (!write_entry_couples(state.appFolder + file.name, file.couples, left, state.universityInfo, &error)) {
            report.problems << error;
            continue;
        }
        report.advanced << file.name;
    }
    if (progress)
        progress(total, total);
    return report;
}

bool command_year_advance(AppState& state, Prompter& prompter, const std::function<void(bool)>& setBusy,
                          const AdvanceProgress& progress) {
    // A save that failed keeps its changes unsaved; advancing now would overwrite the files they belong to.
    if (!ask_save_changes(state, false, prompter))
        return false;
    if (state.memberCount <= 0)
        return false;
    if (!prompter.askYesNo(
            QStringLiteral("メンバーデータとすべてのエントリーデータの学年を１つあげ,そのデータを保存します。そのため現"
                           "４回生のデータは消去されます。よろしいですか？"),
            Prompter::Icon::Exclamation))
        return false;
    if (!prompter.askYesNo(QStringLiteral("本当によろしいですか？"), Prompter::Icon::Exclamation))
        return false;

    if (setBusy)
        setBusy(true);
    QStringList problems;

    advance_member_years(state);
    QString error;
    if (!write_member_file(state.memberFilePath(), state, &error)) {
        problems << error;
        state.membersChanged = true; // the advanced roster is only in memory now
    }
    emit state.notifier->rosterChanged();

    const EntryAdvanceReport report = advance_entry_files(state, progress);
    problems << report.problems;

    if (!state.entryFileName.isEmpty()) {
        const QString path = state.entryFilePath();
        QString readError;
        if (!read_entry_file(path, state, &readError)) {
            // A damaged entry file is already named by the report; say more only about a new failure.
            const bool alreadyReported = is_entry_file_name(state.entryFileName) && QFileInfo(path).isFile() &&
                                         !report.advanced.contains(state.entryFileName);
            if (!alreadyReported)
                problems << readError;
        }
        emit state.notifier->couplesChanged();
    }
    if (setBusy)
        setBusy(false);

    if (!problems.isEmpty()) {
        prompter.showMessage(QStringLiteral("学年を１つあげましたが、次のファイルは変更されていません。\n\n") +
                                 problems.join(QStringLiteral("\n\n")),
                             Prompter::Icon::Exclamation);
    }
    return true;
}
