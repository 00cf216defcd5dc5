#include "entrycommands.h"

#include "backups.h"
#include "couplegrid.h"
#include "datafiles.h"
#include "exporttarget.h"
#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kEntryExtension = QStringLiteral(".ent");

void reportFailure(Prompter& prompter, const QString& error) {
    prompter.showMessage(error, Prompter::Icon::Exclamation);
}

// Writes the open entry to its file.
bool saveEntry(AppState& state, Prompter& prompter) {
    return save_data_file(
        state, state.entryFilePath(),
        [&state](QString* error) { return write_entry_file(state.entryFilePath(), state, error); }, prompter);
}

// True when `path` names a file directly in the data folder, by whatever path to that folder.
bool inDataFolder(const AppState& state, const QString& path) {
    const QString folder = QDir(QFileInfo(path).absolutePath()).canonicalPath();
    return !folder.isEmpty() && folder == QDir(state.appFolder).canonicalPath();
}

// Every entry file lives in the data folder. One chosen elsewhere is read and checked first; then, when the user
// agrees, it is copied whole into the data folder under its own name, a file of that name there being kept in
// backup/ first. True when the copy is there to be opened; false (told why, or the user said No) when nothing
// was changed.
bool copyIntoDataFolder(AppState& state, const QString& chosen, const QString& name, Prompter& prompter) {
    const QString shownChosen = QDir::toNativeSeparators(chosen);
    QByteArray bytes;
    QString error;
    switch (read_existing_file(chosen, kMaxDataFileSize, &bytes, &error)) {
    case FileRead::Read:
        break;
    case FileRead::Missing:
        reportFailure(prompter, QStringLiteral("ファイル「%1」が見つかりません。").arg(shownChosen));
        return false;
    case FileRead::Failed:
        reportFailure(prompter, error);
        return false;
    }
    QList<CoupleRecord> couples;
    qint32 count = 0;
    UniversityInfo info;
    QString reason;
    if (!decode_entry_file(bytes, couples, count, &info, true, &reason)) {
        reportFailure(prompter, damaged_file_message(chosen, reason));
        return false;
    }
    const QString target = state.appFolder + name;
    if (!export_target_refusal(state, target, ExportKind::EntryFile).isEmpty()) {
        reportFailure(prompter,
                      QStringLiteral("ファイル「%1」は、データフォルダにある DanceEntry 自身のファイルと同じ名前"
                                     "のため、データフォルダにコピーできません。名前を変えてから開いてください。")
                          .arg(shownChosen));
        return false;
    }

    const bool replaces = !file_missing(target);
    QString question = QStringLiteral("ファイル「%1」はデータフォルダ（%2）の外にあります。エントリーファイルはデータ"
                                      "フォルダに置いて使います。")
                           .arg(shownChosen, QDir::toNativeSeparators(QDir::cleanPath(state.appFolder)));
    if (replaces)
        question +=
            QStringLiteral("\n\nデータフォルダには同じ名前のファイル「%1」が既にあります。コピーはそのファイルを"
                           "置き換えます（元のファイルは backup フォルダに残します）。")
                .arg(name);
    question += QStringLiteral("\n\nこのファイルをデータフォルダにコピーして、コピーを開きますか？");
    if (!prompter.askYesNo(question, replaces ? Prompter::Icon::Exclamation : Prompter::Icon::Information))
        return false;

    QString kept;
    if (replaces && !keep_replaced_file(state, target, &kept, &error)) {
        reportFailure(prompter,
                      QStringLiteral("ファイル「%1」を置き換える前に控えを作れなかったため、コピーしません。\n%2")
                          .arg(QDir::toNativeSeparators(target), error));
        return false;
    }
    if (!write_file_whole(target, bytes, &error)) {
        reportFailure(prompter, error);
        return false;
    }
    state.unreadFiles.remove(target); // its bytes are kept, and it holds a readable entry now
    if (!kept.isEmpty())
        prompter.showMessage(QStringLiteral("データフォルダにあった「%1」の元の内容は「%2」に残しました。")
                                 .arg(name, QDir::toNativeSeparators(kept)),
                             Prompter::Icon::Information);
    return true;
}

} // namespace

bool ask_save_changes(AppState& state, bool onlyEntry, Prompter& prompter) {
    bool saved = true;
    // Asks one question; the flag is cleared whatever the answer, unless a Yes-save failed.
    const auto askAndSave = [&](bool& changed, const QString& question, const QString& path, auto write) {
        if (!changed)
            return;
        // No gives up the changes: only a button answers, never Escape or the close button.
        if (prompter.askYesNoUntilAnswered(question, Prompter::Icon::Information) &&
            !save_data_file(state, path, write, prompter)) {
            saved = false;
            return;
        }
        changed = false;
    };
    if (!onlyEntry)
        askAndSave(state.membersChanged, QStringLiteral("現在のメンバーデータを保存します。よろしいですか？"),
                   state.memberFilePath(),
                   [&](QString* error) { return write_member_file(state.memberFilePath(), state, error); });
    askAndSave(state.entryChanged, QStringLiteral("現在のエントリーデータを保存します。よろしいですか？"),
               state.entryFilePath(),
               [&](QString* error) { return write_entry_file(state.entryFilePath(), state, error); });
    return saved;
}

QString invalid_file_name_reason(const QString& name) {
    QString reason;
    if (name.isEmpty())
        return QStringLiteral("ファイル名が入力されていません。");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        reason = QStringLiteral("「.」と「..」はフォルダを表すため、ファイル名にできません。");
    else if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        reason =
            QStringLiteral("ファイル名に「/」や「\\」は使えません。フォルダを含まない名前だけを入力してください。");
    else if (name.contains(QChar(u'\0')))
        reason = QStringLiteral("ファイル名に使えない文字が含まれています。");
    else if (QFile::encodeName(name).size() > 255)
        reason = QStringLiteral("ファイル名が長すぎます。");
    if (reason.isEmpty())
        return {};
    QString shown = name;
    shown.replace(QChar(u'\0'), QChar(u'\uFFFD'));
    return QStringLiteral("ファイル名「%1」は使えません。\n%2").arg(shown, reason);
}

bool ask_entry_file_name(AppState& state, Prompter& prompter) {
    const QString title = QStringLiteral("ファイル作成");
    const QString prompt = QStringLiteral("作成するファイル名を決めてください。") + QStringLiteral("\r\r") +
                           QStringLiteral("例：蒼嶺大学_秋の部内戦");
    const QString proposed = state.universityInfo.university + QStringLiteral("_試合名");
    for (;;) {
        const QString typed = prompter.inputText(title, prompt, proposed);
        if (typed.isEmpty())
            return false;
        const QString candidate =
            typed.contains(kEntryExtension, Qt::CaseInsensitive) ? typed : typed + kEntryExtension;
        // A name with a folder in it would write outside the application folder (or fail): ask again.
        const QString reason = invalid_file_name_reason(candidate);
        if (!reason.isEmpty()) {
            prompter.showMessage(reason, Prompter::Icon::Exclamation);
            continue;
        }
        if (QFileInfo::exists(state.appFolder + candidate)) {
            const QString question =
                candidate + QLatin1Char('\r') + QStringLiteral("このファイル名は既に存在します。上書きしますか？");
            if (!prompter.askYesNo(question, Prompter::Icon::Stop))
                continue;
        }
        state.entryFileName = candidate;
        return true;
    }
}

bool command_new_entry(AppState& state, Prompter& prompter) {
    // A failed save keeps the unsaved couples: they are not replaced by an empty entry.
    if (!ask_save_changes(state, true, prompter))
        return false;
    if (!ask_entry_file_name(state, prompter))
        return false;
    state.couples.clear();
    state.coupleCount = 0;
    emit state.notifier->couplesChanged(); // another entry, no edit: the entry's undo history ends
    emit state.notifier->entryFileChanged();
    return true;
}

bool command_open_entry(AppState& state, Prompter& prompter) {
    if (!ask_save_changes(state, true, prompter))
        return false;
    const QString path = prompter.chooseFile({.initialFolder = state.appFolder,
                                              .open = true,
                                              .filter = QStringLiteral("エントリーデータ(*.ent)|*.ent|"),
                                              .title = QStringLiteral("エントリーデータ読み込み")});
    if (path.isEmpty())
        return false;
    // Entry files live in the application folder: the file is opened there under its bare name, and one chosen
    // in another folder is first copied there when the user agrees.
    const QString name = split_field(QDir::fromNativeSeparators(path), QStringLiteral("/"), 1, true);
    const QString fullPath = state.appFolder + name;
    const bool validName = !name.isEmpty() && invalid_file_name_reason(name).isEmpty();
    if (validName && !inDataFolder(state, path) && !same_existing_file(path, fullPath)) {
        if (!copyIntoDataFolder(state, path, name, prompter))
            return false;
    } else if (!validName || !QFileInfo(fullPath).isFile()) {
        prompter.showMessage(QStringLiteral("ファイル「%1」はプログラムのフォルダ（%2）にありません。\n"
                                            "エントリーファイルはプログラムのフォルダから開いてください。")
                                 .arg(name, QDir::toNativeSeparators(state.appFolder)),
                             Prompter::Icon::Exclamation);
        return false;
    }
    QString error;
    if (!read_entry_file(fullPath, state, &error)) {
        state.unreadFiles.insert(fullPath); // kept before anything is saved under its name
        reportFailure(prompter, error);
        return false;
    }
    state.entryFileName = name;
    emit state.notifier->couplesChanged(); // another entry, no edit: the entry's undo history ends
    emit state.notifier->entryFileChanged();
    return true;
}

bool command_save_entry(AppState& state, Prompter& prompter) {
    if (state.entryFileName.isEmpty()) {
        prompter.showMessage(QStringLiteral("エントリーファイルが開かれていないため保存できません。"),
                             Prompter::Icon::Exclamation);
        return false;
    }
    if (!saveEntry(state, prompter))
        return false;
    state.entryChanged = false;
    return true;
}

bool command_save_entry_as(AppState& state, Prompter& prompter) {
    const QString previousName = state.entryFileName;
    if (!ask_entry_file_name(state, prompter))
        return false;
    if (!saveEntry(state, prompter)) {
        // Nothing was written under the new name, so the entry stays under the name that holds it.
        state.entryFileName = previousName;
        return false;
    }
    state.entryChanged = false;
    emit state.notifier->entryFileChanged();
    return true;
}

bool command_save_members(AppState& state, Prompter& prompter) {
    return save_data_file(
        state, state.memberFilePath(),
        [&state](QString* error) { return write_member_file(state.memberFilePath(), state, error); }, prompter);
}
