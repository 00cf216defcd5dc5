#include "exporttarget.h"

#include "backups.h"
#include "folderlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// More links in a row than this are a loop; the save gives up on them as well.
constexpr int kMaxLinkDepth = 40;

bool statOf(const QString& path, struct stat* status) {
    return ::stat(QFile::encodeName(path).constData(), status) == 0;
}

bool isEntryFileName(const QString& name) {
    return name.endsWith(QStringLiteral(".ent"), Qt::CaseInsensitive);
}

// What the file `name` of the data folder is to the program, or the empty text when it is none of its own.
QString ownFileDescription(const AppState& state, const QString& name, ExportKind kind) {
    if (name == QFileInfo(state.memberFilePath()).fileName())
        return QStringLiteral("名簿のファイル（%1）").arg(name);
    if (name == QFileInfo(state.universityFilePath()).fileName())
        return QStringLiteral("大学情報のファイル（%1）").arg(name);
    if (name == QFileInfo(state.gameNamesPath()).fileName())
        return QStringLiteral("試合名の一覧（%1）").arg(name);
    if (name == FolderLock::fileName())
        return QStringLiteral("DanceEntry の使用中を示すファイル（%1）").arg(name);
    if (kind == ExportKind::MemberText && isEntryFileName(name))
        return QStringLiteral("エントリーファイル（%1）").arg(name);
    return {};
}

// The program's own files of the data folder that exist now, for the search of a second name.
QStringList ownFiles(const AppState& state, const QString& dataFolder, ExportKind kind) {
    QStringList names = {QFileInfo(state.memberFilePath()).fileName(), QFileInfo(state.universityFilePath()).fileName(),
                         QFileInfo(state.gameNamesPath()).fileName(), FolderLock::fileName()};
    if (kind == ExportKind::MemberText)
        names += QDir(dataFolder).entryList({QStringLiteral("*.ent")}, QDir::Files | QDir::Hidden);
    QStringList paths;
    for (const QString& name : names)
        paths << dataFolder + QLatin1Char('/') + name;
    return paths;
}

QString refusalMessage(const QString& path, const QString& what) {
    return QStringLiteral("ファイル「%1」には出力できません。\n%2上書きすると部のデータが失われるため、"
                          "別の名前か別の場所を選んでください。")
        .arg(QDir::toNativeSeparators(path), what);
}

} // namespace

QString resolved_target_path(const QString& path) {
    QFileInfo info(path);
    // A save replaces the file at the end of the links, not the link itself.
    for (int depth = 0; depth < kMaxLinkDepth && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    const QString existing = info.canonicalFilePath();
    if (!existing.isEmpty())
        return existing;
    const QString folder = QDir(info.absolutePath()).canonicalPath();
    if (folder.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return folder + QLatin1Char('/') + info.fileName();
}

bool same_existing_file(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return statOf(a, &first) && statOf(b, &second) && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

QString export_target_refusal(const AppState& state, const QString& path, ExportKind kind) {
    const QString dataFolder = QDir(state.appFolder).canonicalPath();
    if (dataFolder.isEmpty())
        return {};
    const QString target = resolved_target_path(path);
    const QString backups = dataFolder + QStringLiteral("/backup");
    if (target == backups || target.startsWith(backups + QLatin1Char('/')))
        return refusalMessage(path, QStringLiteral("データフォルダの控え（backup フォルダ）の中です。控えを"));
    const QFileInfo resolved(target);
    if (resolved.path() == dataFolder) {
        const QString what = ownFileDescription(state, resolved.fileName(), kind);
        if (!what.isEmpty())
            return refusalMessage(path, QStringLiteral("データフォルダの%1です。").arg(what));
    }
    // A second name of a data file (a hard link) anywhere: the export would not touch the data file itself,
    // since a save replaces the name it writes, but the user meant to write something else.
    if (QFileInfo::exists(target)) {
        for (const QString& own : ownFiles(state, dataFolder, kind)) {
            if (same_existing_file(target, own)) {
                const QString what = ownFileDescription(state, QFileInfo(own).fileName(), kind);
                return refusalMessage(path, QStringLiteral("データフォルダの%1の別名（ハードリンク）です。").arg(what));
            }
        }
    }
    return {};
}

bool keep_export_target(const AppState& state, const QString& path, const QString& ownFile, QString* keptCopy,
                        Prompter& prompter) {
    if (keptCopy)
        keptCopy->clear();
    if (!ownFile.isEmpty() && same_existing_file(path, ownFile))
        return true; // the export writes this file anyway, as a save of the open entry
    if (state.unreadFiles.contains(path))
        return true; // the save itself keeps a file it could not read
    const QString target = resolved_target_path(path);
    // Only a regular file has bytes to keep; a folder in the way makes the write fail with its own reason.
    if (!QFileInfo(target).isFile())
        return true;
    QString error;
    if (!keep_replaced_file(state, target, keptCopy, &error)) {
        prompter.showMessage(QStringLiteral("ファイル「%1」を置き換える前に控えを作れなかったため、出力しません。\n%2")
                                 .arg(QDir::toNativeSeparators(path), error),
                             Prompter::Icon::Exclamation);
        return false;
    }
    return true;
}

QString replaced_file_note(const QString& path, const QString& keptCopy) {
    return QStringLiteral("置き換えたファイル「%1」の元の内容は「%2」に残しました。")
        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(keptCopy));
}

QString with_default_suffix(const QString& path, const QString& suffix, const QString& proposedName) {
    const QString name = QFileInfo(path).fileName();
    const bool proposedAsIs = !proposedName.isEmpty() && name == proposedName;
    if (name.isEmpty() || (!proposedAsIs && name.contains(QLatin1Char('.'))))
        return path;
    return path + QLatin1Char('.') + suffix;
}
