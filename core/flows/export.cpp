#include "export.h"

#include "backups.h"
#include "datafiles.h"
#include "exporttarget.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

QList<LabelledText> university_fields(const UniversityInfo& info) {
    return {{QStringLiteral("大学名"), info.university},
            {QStringLiteral("共同加盟校"), info.partnerSchool},
            {QStringLiteral("部長"), info.head},
            {QStringLiteral("マネージャー"), info.manager},
            {QStringLiteral("連盟委員"), info.leagueMember},
            {QStringLiteral("コメント"), info.comment},
            {QStringLiteral("出場試合名"), info.gameName}};
}

bool check_university_input(const UniversityInfo& typed, bool forExport, Prompter& prompter) {
    QString problem;
    if (typed.university.isEmpty())
        problem = QStringLiteral("大学名を必ず入力してください。");
    else if (forExport && typed.gameName.isEmpty())
        problem = QStringLiteral("試合名を必ず選択してください。");
    if (!problem.isEmpty()) {
        prompter.showMessage(problem, Prompter::Icon::Information);
        return false;
    }
    const QList<LabelledText> fields = {
        {QStringLiteral("大学名"), typed.university},
        {QStringLiteral("共同加盟校"), typed.partnerSchool},
        {QStringLiteral("部長"), typed.head},
        {QStringLiteral("マネージャー"), typed.manager},
        {QStringLiteral("連盟委員"), typed.leagueMember},
        {QStringLiteral("コメント"), typed.comment},
        {QStringLiteral("出場試合名"), typed.gameName},
    };
    return first_unstorable_field(fields, prompter) < 0;
}

bool store_university_info(AppState& state, const UniversityInfo& info, Prompter& prompter) {
    const QString path = state.universityFilePath();
    if (!save_data_file(
            state, path, [&](QString* error) { return write_university_file(path, info, error); }, prompter,
            Prompter::Icon::Stop))
        return false;
    state.universityInfo = info;
    return true;
}

QString game_names_missing_message(const QString& folder) {
    return QStringLiteral("出場試合名の一覧が空です。\n"
                          "試合名は「試合名の編集を開く」（メニューの オプション → 試合名の編集）で入力できます。\n\n"
                          "試合名は、データフォルダ「%1」のテキストファイル Gamename.txt に書かれています。\n"
                          "手で書くときは1行に1つずつ書きます（1行目に試合名の数を書いてもかまいません）。\n"
                          "文字コードは UTF-8 か Shift-JIS です。例:\n\n春の大会\n秋の部内戦\n\n"
                          "データフォルダは、メニューの ヘルプ → データフォルダを開く で開けます。")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(folder)));
}

QString game_names_notice(const GameNamesRead& read, const QString& folder) {
    const QString path = QDir(folder).filePath(QStringLiteral("Gamename.txt"));
    QStringList parts = game_names_warnings(read, path);
    if (!read.refusal.isEmpty())
        parts.prepend(read.refusal);
    if (read.names.isEmpty())
        parts.append(game_names_missing_message(folder));
    return parts.join(QStringLiteral("\n\n"));
}

bool stamp_couples(AppState& state) {
    const QString& gameName = state.universityInfo.gameName;
    const QString& university = state.universityInfo.university;
    const std::span<const CoupleRecord> couples = state.entryCouples();
    const bool stamped = std::all_of(couples.begin(), couples.end(), [&](const CoupleRecord& couple) {
        return couple.gameName == gameName && couple.university == university;
    });
    if (stamped)
        return false; // nothing to write: the list stays as it is
    for (CoupleRecord& couple : valid_part(state.couples, state.coupleCount)) {
        couple.gameName = gameName;
        couple.university = university;
    }
    return true;
}

QString export_file_name(const UniversityInfo& info) {
    return info.university + QStringLiteral("_") + info.gameName;
}

QString export_start_folder(const AppState& state, const QString& remembered) {
    const QString dataFolder = QFileInfo(state.appFolder).canonicalFilePath();
    auto usable = [&](const QString& folder) {
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            return false;
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        return dataFolder.isEmpty() ||
               (canonical != dataFolder && !canonical.startsWith(dataFolder + QLatin1Char('/')));
    };
    if (usable(remembered))
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (usable(documents))
        return documents;
    return QDir::homePath();
}

ExportResult export_entry(AppState& state, Prompter& prompter, const ExportOptions& options) {
    if (stamp_couples(state))
        state.markCouplesChanged(QStringLiteral("大学名・試合名の記入"));
    prompter.showMessage(QStringLiteral("これから出力するファイルを E-Mail にて送ってください。"),
                         Prompter::Icon::Exclamation);
    QString path;
    // One of the program's own files is refused and the file dialog shown again.
    const QString proposed = export_file_name(state.universityInfo);
    const QString startFolder = export_start_folder(state, options.rememberedFolder);
    for (;;) {
        path = prompter.chooseFile({.initialFolder = startFolder,
                                    .open = false,
                                    .filter = QStringLiteral("エントリーファイル (*.ent)|*.ent|"),
                                    .fileName = proposed,
                                    .title = QStringLiteral("エントリーデータの出力"),
                                    .defaultSuffix = QStringLiteral("ent")});
        if (path.isEmpty())
            return ExportResult::Cancelled;
        // An entry file the program itself can open again, whatever the dialog did with the name.
        path = with_default_suffix(path, QStringLiteral("ent"), proposed);
        const QString refusal = export_target_refusal(state, path, ExportKind::EntryFile);
        if (refusal.isEmpty())
            break;
        prompter.showMessage(refusal, Prompter::Icon::Exclamation);
    }
    // Any other file there (another entry file of the data folder included) is kept before it is replaced.
    QString kept;
    if (!keep_export_target(state, path, state.entryFilePath(), &kept, prompter))
        return ExportResult::Failed;

    // The chosen path exactly as returned, then the open entry file, so both hold the stamped couples.
    for (const QString& target : {path, state.entryFilePath()}) {
        if (!save_data_file(
                state, target, [&](QString* error) { return write_entry_file(target, state, error); }, prompter,
                Prompter::Icon::Stop))
            return ExportResult::Failed;
    }
    state.entryChanged = false;
    if (options.writtenPath)
        *options.writtenPath = path;
    QString done = QStringLiteral("エントリーファイルを出力しました。\n%1").arg(QDir::toNativeSeparators(path));
    if (!kept.isEmpty())
        done += QLatin1Char('\n') + replaced_file_note(path, kept);
    offer_written_file(done, path, entry_mail_subject(state.universityInfo.university, state.universityInfo.gameName),
                       prompter, options.launcher ? *options.launcher : no_desktop_launcher());
    return ExportResult::Exported;
}
