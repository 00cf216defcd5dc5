#include "export.h"

#include "backups.h"
#include "datafiles.h"

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

ExportResult export_entry(AppState& state, Prompter& prompter) {
    if (stamp_couples(state))
        state.markCouplesChanged(QStringLiteral("大学名・試合名の記入"));
    prompter.showMessage(QStringLiteral("これから出力するファイルを E-Mail にて送ってください。"),
                         Prompter::Icon::Exclamation);
    const QString path = prompter.chooseFile({.open = false,
                                              .filter = QStringLiteral("エントリーファイル (*.ent)|*.ent|"),
                                              .fileName = export_file_name(state.universityInfo),
                                              .title = QStringLiteral("エントリーデータの出力")});
    if (path.isEmpty())
        return ExportResult::Cancelled;

    // The chosen path exactly as returned, then the open entry file, so both hold the stamped couples.
    for (const QString& target : {path, state.entryFilePath()}) {
        if (!save_data_file(
                state, target, [&](QString* error) { return write_entry_file(target, state, error); }, prompter,
                Prompter::Icon::Stop))
            return ExportResult::Failed;
    }
    state.entryChanged = false;
    return ExportResult::Exported;
}
