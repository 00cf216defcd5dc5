#include "exporttarget.h"

#include "backups.h"
#include "folderlock.h"
#include "platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// As many links as the system follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

const QString kMemberFile = QStringLiteral("member.dat");
const QString kUniversityFile = QStringLiteral("uniinf.dat");
const QString kGameNames = QStringLiteral("Gamename.txt");

// The target of the link at `path`, or an empty text when it is none.
QString linkTarget(const QString& path) {
    return platform::link_target(path);
}

// The folder part through realpath; empty when it does not exist or cannot be entered.
QString canonicalFolder(const QString& folder) {
    return platform::real_path(folder.isEmpty() ? QStringLiteral("/") : folder);
}

bool isEntryFileName(const QString& name) {
    return name.endsWith(QStringLiteral(".ent"), Qt::CaseInsensitive);
}

// The names the program gives its own files, for a caller without a data folder. ".ent" anywhere in the name,
// as "A.ent.csv" is still easily taken for an entry file.
bool isDataFileName(const QString& name) {
    for (const QString& dataName : {kMemberFile, kUniversityFile, kGameNames, FolderLock::fileName()}) {
        if (name.compare(dataName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return name.contains(QLatin1String(".ent"), Qt::CaseInsensitive);
}

// What the file `name` of the data folder is to the program, or the empty text when it is none of its own.
QString ownFileDescription(const QString& name, bool entryFiles) {
    if (name == kMemberFile)
        return QStringLiteral("名簿のファイル（%1）").arg(name);
    if (name == kUniversityFile)
        return QStringLiteral("大学情報のファイル（%1）").arg(name);
    if (name == kGameNames)
        return QStringLiteral("試合名の一覧（%1）").arg(name);
    if (name == FolderLock::fileName())
        return QStringLiteral("DanceEntry の使用中を示すファイル（%1）").arg(name);
    if (entryFiles && isEntryFileName(name))
        return QStringLiteral("エントリーファイル（%1）").arg(name);
    return {};
}

// The program's own files of the data folder that exist now, for the search of a second name.
QStringList ownFiles(const QString& dataFolder, bool entryFiles) {
    QStringList names = {kMemberFile, kUniversityFile, kGameNames, FolderLock::fileName()};
    if (entryFiles)
        names += QDir(dataFolder).entryList({QStringLiteral("*.ent")}, QDir::Files | QDir::Hidden);
    QStringList paths;
    for (const QString& name : names)
        paths << dataFolder + QLatin1Char('/') + name;
    return paths;
}

// Why `target` (resolved) is one of the data folder's own files, or the empty text.
QString dataFolderReason(const QString& target, const QString& dataFolder, bool entryFiles) {
    const QString backups = dataFolder + QStringLiteral("/backup");
    if (target == backups || target.startsWith(backups + QLatin1Char('/')))
        return QStringLiteral("データフォルダの控え（backup フォルダ）の中です。控えを");
    const QFileInfo resolved(target);
    if (resolved.path() == dataFolder) {
        const QString what = ownFileDescription(resolved.fileName(), entryFiles);
        if (!what.isEmpty())
            return QStringLiteral("データフォルダの%1です。").arg(what);
    }
    // A second name of a data file (a hard link) anywhere: a save would not touch the data file itself, since
    // it replaces the name it writes, but the user meant to write something else, and a print writes in place.
    if (QFileInfo::exists(target)) {
        for (const QString& own : ownFiles(dataFolder, entryFiles)) {
            if (same_existing_file(target, own)) {
                const QString what = ownFileDescription(QFileInfo(own).fileName(), entryFiles);
                return QStringLiteral("データフォルダの%1の別名（ハードリンク）です。").arg(what);
            }
        }
    }
    return {};
}

} // namespace

OutputTarget resolve_output_target(const QString& output) {
    OutputTarget target;
    // Not cleaned by name: "link/.." is the folder above the link's target, not the folder holding the link.
    QString current = QDir::isAbsolutePath(output) ? output : QDir::currentPath() + QLatin1Char('/') + output;
    for (int links = 0; links <= kMaxLinks; ++links) {
        while (current.size() > 1 && current.endsWith(QLatin1Char('/')))
            current.chop(1);
        const qsizetype slash = current.lastIndexOf(QLatin1Char('/'));
        const QString name = current.mid(slash + 1);
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
            // A folder in any case: resolved whole, and refused as not a regular file.
            const QString folder = canonicalFolder(current);
            target.path = folder.isEmpty() ? current : folder;
            return target;
        }
        const QString folder = canonicalFolder(current.left(slash));
        if (folder.isEmpty()) {
            target.path = current;
            return target;
        }
        if (folder != QDir::cleanPath(current.left(slash).isEmpty() ? QStringLiteral("/") : current.left(slash)))
            target.throughLink = true;
        const QString candidate = (folder == QLatin1String("/") ? folder : folder + QLatin1Char('/')) + name;
        const QString link = linkTarget(candidate);
        if (link.isEmpty()) {
            target.path = candidate;
            return target;
        }
        target.throughLink = true;
        current = QDir::isAbsolutePath(link) ? link : folder + QLatin1Char('/') + link;
    }
    target.loop = true;
    return target;
}

QString resolved_target_path(const QString& path) {
    const OutputTarget target = resolve_output_target(path);
    return target.loop ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : target.path;
}

bool same_existing_file(const QString& a, const QString& b) {
    return platform::file_status(a, true).sameFileAs(platform::file_status(b, true));
}

bool is_one_of(const QString& output, const QStringList& inputs) {
    const OutputTarget target = resolve_output_target(output);
    if (target.loop)
        return false;
    for (const QString& input : inputs) {
        const QString canonical = QFileInfo(input).canonicalFilePath();
        if ((!canonical.isEmpty() && canonical == target.path) || same_existing_file(target.path, input))
            return true;
    }
    return false;
}

QString write_target_refusal(const QString& path, const WriteGuard& guard) {
    const QString shown = QDir::toNativeSeparators(path);
    const OutputTarget target = resolve_output_target(path);
    if (target.loop)
        return QStringLiteral("出力ファイル「%1」はシンボリックリンクが循環しているか、たどるリンクが多すぎるため、"
                              "書き込みません。")
            .arg(shown);
    // Said of the path as given, and of where its links lead when that is elsewhere.
    const QString leadsTo = target.throughLink
                                ? QStringLiteral("（リンク先「%1」）").arg(QDir::toNativeSeparators(target.path))
                                : QString();
    if (is_one_of(path, guard.inputs))
        return QStringLiteral("出力ファイル「%1」%2は入力ファイルの一つです。入力ファイルには書き込みません。")
            .arg(shown, leadsTo);
    const QString dataFolder = guard.dataFolder.isEmpty() ? QString() : canonicalFolder(guard.dataFolder);
    if (!dataFolder.isEmpty()) {
        const QString reason = dataFolderReason(target.path, dataFolder, guard.entryFilesOfFolder);
        if (!reason.isEmpty())
            return QStringLiteral("ファイル「%1」%2には出力できません。\n%3上書きすると部のデータが失われるため、"
                                  "別の名前か別の場所を選んでください。")
                .arg(shown, leadsTo, reason);
    }
    if (guard.dataNamesAnywhere &&
        (isDataFileName(QFileInfo(path).fileName()) || isDataFileName(QFileInfo(target.path).fileName())))
        return QStringLiteral("出力ファイル「%1」%2は DanceEntry のデータファイルの名前です。データファイルを上書き"
                              "しないよう、別の名前（例: entries.csv）を指定してください。")
            .arg(shown, leadsTo);
    if (const platform::FileStatus status = platform::file_status(target.path, true);
        status.kind != platform::FileKind::Missing && status.kind != platform::FileKind::Regular)
        return QStringLiteral(
                   "「%1」%2は通常のファイルではないため、書き込みません。ファイルの名前を指定してください。")
            .arg(shown, leadsTo);
    return {};
}

QString export_target_refusal(const AppState& state, const QString& path, ExportKind kind) {
    WriteGuard guard;
    guard.dataFolder = state.appFolder;
    guard.entryFilesOfFolder = kind != ExportKind::EntryFile;
    return write_target_refusal(path, guard);
}

QString output_refusal(const QString& output, const QStringList& inputs) {
    WriteGuard guard;
    guard.dataNamesAnywhere = true;
    guard.inputs = inputs;
    return write_target_refusal(output, guard);
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
    // Only a regular file has bytes to keep.
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
