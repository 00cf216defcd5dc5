#include "yearadvance.h"

#include "backups.h"
#include "cp932.h"
#include "datafiles.h"
#include "entrycommands.h"
#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

constexpr quint8 kLastYear = 4;

// Marks every couple with a fourth-year dancer and moves every other dancer on by one year, then closes
// up the list. Returns the number of couples left; `removed` gets a line for each couple that left.
qint32 advanceCouples(QList<CoupleRecord>& couples, qint32 count, QStringList& removed) {
    const std::span<CoupleRecord> valid = valid_part(couples, count);
    for (CoupleRecord& couple : valid) {
        const std::span<MemberRecord> partners = valid_part(couple.partners, couple.partnerCount);
        const bool leaves =
            couple.leader.year == kLastYear ||
            std::any_of(partners.begin(), partners.end(), [](const MemberRecord& p) { return p.year == kLastYear; });
        if (leaves) {
            couple.deleteMark = 1;
            QStringList names{couple.leader.name};
            for (const MemberRecord& partner : partners)
                names << partner.name;
            removed << QStringLiteral("背番号 %1　%2").arg(couple.backNumber).arg(names.join(QStringLiteral("・")));
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

// A file name whose bytes are no UTF-8, shown as the Windows program that wrote it would show it when it can.
QString shownName(const std::string& raw) {
    QString text;
    if (cp932::decode(QByteArrayView(raw.data(), qsizetype(raw.size())), &text))
        return text;
    return QString::fromUtf8(raw.data(), qsizetype(raw.size()));
}

QString listed(const QStringList& names) {
    return names.join(QStringLiteral("、"));
}

// How many names of each list the closing message shows; the rest are in its details.
constexpr qsizetype kNamesShown = 5;

// "a.ent、b.ent、c.ent、d.ent、e.ent ほか 12 件".
QString firstNames(const QStringList& names) {
    if (names.size() <= kNamesShown)
        return listed(names);
    return QStringLiteral("%1 ほか %2 件").arg(listed(names.first(kNamesShown))).arg(names.size() - kNamesShown);
}

struct ClosingMessage {
    QString text;
    QString details;
};

// The one message at the end of the command: a summary short enough for any screen, and every file with what
// happened to it in the details.
ClosingMessage closingMessage(const QStringList& written, const YearAdvancePlan& plan, const QString& failure,
                              const QString& backup) {
    ClosingMessage message;
    QString& text = message.text;
    QStringList details;
    bool shortened = false; // the summary leaves something out that only the details say
    text = failure.isEmpty() ? QStringLiteral("すべてのメンバーの学年を１つあげました。\n")
                             : QStringLiteral("学年を１つあげる途中で保存できなくなったため、止めました。\n");
    // The files that need a look come first in the details, before the long list of those advanced.
    const auto list = [&](const QString& title, const QStringList& names, const QStringList& lines, bool first) {
        text += QStringLiteral("\n%1（%2 件）：%3\n").arg(title).arg(names.size()).arg(firstNames(names));
        shortened = shortened || names.size() > kNamesShown || names != lines;
        const QString section =
            QStringLiteral("%1（%2 件）：\n%3").arg(title).arg(lines.size()).arg(lines.join(QLatin1Char('\n')));
        if (first)
            details.prepend(section);
        else
            details.append(section);
    };
    if (!written.isEmpty())
        list(QStringLiteral("変更したファイル"), written, written, false);
    // Whom the advance removed, from the files it wrote: in the details only, the summary keeps its counts.
    if (written.contains(QStringLiteral("member.dat")) && !plan.graduates.isEmpty()) {
        details.append(QStringLiteral("名簿から消した４回生（%1 人）：\n%2")
                           .arg(plan.graduates.size())
                           .arg(plan.graduates.join(QLatin1Char('\n'))));
        shortened = true;
    }
    for (const YearAdvancePlan::File& file : plan.entryFiles) {
        if (!written.contains(file.name) || file.removedCouples.isEmpty())
            continue;
        details.append(QStringLiteral("%1 から消したカップル（%2 組）：\n%3")
                           .arg(file.name)
                           .arg(file.removedCouples.size())
                           .arg(file.removedCouples.join(QLatin1Char('\n'))));
        shortened = true;
    }
    if (!failure.isEmpty()) {
        text += QLatin1Char('\n') + failure + QLatin1Char('\n');
        QStringList rest;
        for (const YearAdvancePlan::File& file : plan.entryFiles) {
            if (!written.contains(file.name))
                rest << file.name;
        }
        list(QStringLiteral("まだ変更していないファイル"), rest, rest, true);
    }
    if (!plan.untouched.isEmpty()) {
        QStringList names;
        QStringList reasons;
        for (const YearAdvancePlan::Untouched& file : plan.untouched) {
            names << file.name;
            reasons << QString(file.reason).remove(QLatin1Char('\n'));
        }
        list(QStringLiteral("学年をあげなかったファイル"), names, reasons, true);
        text += QStringLiteral("それぞれの理由は、このメッセージの詳細にあります。\n");
    }
    text += QStringLiteral("\n変更前のファイルは「%1」に残してあります。").arg(QDir::toNativeSeparators(backup));
    if (!failure.isEmpty())
        text += QStringLiteral("元に戻すには、そのフォルダのファイルをデータフォルダにコピーしてください。");
    if (shortened)
        message.details = details.join(QStringLiteral("\n\n"));
    return message;
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

FolderListing list_data_folder(const QString& folder) {
    FolderListing listing;
#ifdef Q_OS_WIN
    // Windows' names are UTF-16, every one of them a text: none is unusable.
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!name.startsWith(QLatin1Char('.')))
            listing.names << name;
    }
#else
    std::error_code error;
    for (std::filesystem::directory_iterator it(QFile::encodeName(folder).toStdString(), error), end;
         !error && it != end; it.increment(error)) {
        const std::string raw = it->path().filename().native();
        std::error_code statusError;
        if (raw.empty() || raw.front() == '.' || !it->is_regular_file(statusError))
            continue;
        const QString name = QFile::decodeName(QByteArray::fromStdString(raw));
        if (QFile::encodeName(name).toStdString() == raw)
            listing.names << name;
        else
            listing.unusableNames << shownName(raw);
    }
#endif
    return listing;
}

bool is_entry_file_name(const QString& name) {
    return name.contains(QStringLiteral(".ent"), Qt::CaseInsensitive);
}

bool plan_year_advance(const AppState& state, YearAdvancePlan& plan, QString* error) {
    AppState advanced;
    advanced.members = state.members;
    advanced.memberCount = state.memberCount;
    for (const MemberRecord& member : advanced.roster()) {
        if (member.year == kLastYear)
            plan.graduates << (member.kana.isEmpty() ? member.name
                                                     : QStringLiteral("%1（%2）").arg(member.name, member.kana));
    }
    advance_member_years(advanced);
    plan.members = advanced.members;
    plan.memberCount = advanced.memberCount;
    plan.memberBytes = encode_member_file(plan.members, plan.memberCount, error);
    if (plan.memberBytes.isEmpty())
        return false;

    // In name order, so that the closing message reads in order and a stop half-way is easy to follow.
    FolderListing listing = list_data_folder(state.appFolder);
    listing.names.sort();
    for (const QString& name : listing.unusableNames) {
        if (is_entry_file_name(name))
            plan.untouched.append(
                {name, QStringLiteral("%1：ファイル名の文字コードが UTF-8 ではないため、読めません。").arg(name)});
    }
    for (const QString& name : listing.names) {
        if (!is_entry_file_name(name))
            continue;
        // What a cut-off save leaves is hidden and holds no ".ent" (save_temporary_prefix): it never comes here.
        // A file that does not decode as an entry file (damaged, or a foreign file whose name merely holds
        // ".ent") is not touched at all.
        QList<CoupleRecord> couples;
        qint32 count = 0;
        QString readError;
        if (!read_entry_couples(state.appFolder + name, couples, count, &readError)) {
            plan.untouched.append({name, readError});
            continue;
        }
        QStringList removed;
        const qint32 left = advanceCouples(couples, count, removed);
        QString encodeError;
        const QByteArray bytes = encode_entry_file(couples, left, state.universityInfo, &encodeError);
        if (!encodeError.isEmpty()) {
            if (error)
                *error = save_failed_message(state.appFolder + name, encodeError);
            return false;
        }
        plan.entryFiles.append({name, bytes, removed});
    }
    return true;
}

QStringList write_year_advance(const AppState& state, const YearAdvancePlan& plan, QString* failure,
                               const YearAdvanceProgress& progress) {
    QStringList written;
    const int total = int(plan.entryFiles.size()) + 1;
    // The end is reported however the writing ends, so that a progress window is gone before any message.
    const auto finished = qScopeGuard([&progress, total] {
        if (progress)
            progress(total, total);
    });
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        if (progress)
            progress(int(written.size()), total);
        if (!write_file_whole(state.appFolder + name, bytes, failure))
            return false;
        written << name;
        return true;
    };
    if (!write(QStringLiteral("member.dat"), plan.memberBytes))
        return written;
    for (const YearAdvancePlan::File& file : plan.entryFiles) {
        if (!write(file.name, file.bytes))
            return written;
    }
    return written;
}

bool command_year_advance(AppState& state, Prompter& prompter, const std::function<void(bool)>& setBusy,
                          const YearAdvanceProgress& progress) {
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

    const auto busy = [&setBusy](bool on) {
        if (setBusy)
            setBusy(on);
    };
    busy(true);
    const auto stop = [&](const QString& why) {
        busy(false);
        prompter.showMessage(QStringLiteral("学年をあげませんでした。どのファイルも変更していません。\n") + why,
                             Prompter::Icon::Exclamation);
        return false;
    };
    YearAdvancePlan plan;
    QString error;
    if (!plan_year_advance(state, plan, &error))
        return stop(error);
    QStringList copied;
    if (!file_missing(state.memberFilePath()))
        copied << QStringLiteral("member.dat");
    for (const YearAdvancePlan::File& file : plan.entryFiles)
        copied << file.name;
    QString backup;
    if (!back_up_files(state.appFolder, copied, &backup, &error))
        return stop(QStringLiteral("変更前のファイルの控えを作れませんでした。\n") + error);

    QString failure;
    const QStringList written = write_year_advance(state, plan, &failure, progress);
    if (written.isEmpty())
        return stop(failure);
    state.members = plan.members;
    state.memberCount = plan.memberCount;
    state.unreadFiles.remove(state.memberFilePath());
    // A replacement, no edit: the files were rewritten, so no undo may go back across it.
    emit state.notifier->rosterChanged();

    if (!state.entryFileName.isEmpty()) {
        // A file left untouched (damaged) is named in the closing message already.
        read_entry_file(state.entryFilePath(), state, nullptr);
        emit state.notifier->couplesChanged();
    }
    busy(false);
    const ClosingMessage closing = closingMessage(written, plan, failure, backup);
    prompter.showDetailedMessage(closing.text, closing.details,
                                 failure.isEmpty() && plan.untouched.isEmpty() ? Prompter::Icon::Information
                                                                               : Prompter::Icon::Exclamation);
    return true;
}
