#include "backups.h"

#include "datafiles.h"
#include "platform.h"
#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

// `name` with the stamp before its extension, made unique in `folder`: member.dat -> member_20261207-093000.dat.
QString stampedName(const QDir& folder, const QString& name, const QString& stamp) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    QString candidate = base + QLatin1Char('_') + stamp + extension;
    for (int n = 2; folder.exists(candidate); ++n)
        candidate = base + QLatin1Char('_') + stamp + QLatin1Char('-') + QString::number(n) + extension;
    return candidate;
}

bool copyFile(const QString& from, const QString& to, QString* error) {
    QByteArray bytes;
    return read_file_whole(from, kMaxDataFileSize, &bytes, error) && write_file_whole(to, bytes, error);
}

// Keeps the file as it is now under `to`. The program never writes into a file, it replaces it whole (a new
// file renamed over the old one), so a second name for the same file holds its bytes for good: a hard link,
// which costs nothing. A link (whose target a save would replace) and a file on a file system without hard
// links (FAT, some network shares) are copied instead; copying reads only regular files.
bool keepFile(const QString& from, const QString& to, QString* error) {
    if (platform::file_status(from, false).kind == platform::FileKind::Regular && platform::hard_link(from, to) == 0)
        return true;
    return copyFile(from, to, error);
}

bool makeFolder(const QString& path, QString* error) {
    if (QDir().mkpath(path))
        return true;
    if (error)
        *error = QStringLiteral("フォルダ「%1」を作れませんでした。\n%2")
                     .arg(QDir::toNativeSeparators(path), file_error_reason(errno));
    return false;
}

} // namespace

QString backup_folder(const AppState& state) {
    return state.appFolder + QStringLiteral("backup/");
}

QString backup_stamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

bool keep_replaced_file(const AppState& state, const QString& path, QString* copy, QString* error) {
    if (copy)
        copy->clear();
    if (file_missing(path))
        return true;
    const QDir folder(backup_folder(state));
    const QString kept = folder.filePath(stampedName(folder, QFileInfo(path).fileName(), backup_stamp()));
    if (!makeFolder(folder.path(), error) || !keepFile(path, kept, error))
        return false;
    if (copy)
        *copy = kept;
    return true;
}

bool keep_unread_file(AppState& state, const QString& path, Prompter& prompter) {
    if (!state.unreadFiles.contains(path))
        return true;
    const QString shown = QDir::toNativeSeparators(path);
    QString error;
    QString copy;
    if (!keep_replaced_file(state, path, &copy, &error)) {
        prompter.showMessage(QStringLiteral("ファイル「%1」は読み込めなかったファイルです。上書きする前に控えを作れ"
                                            "なかったため、保存しません。\n%2")
                                 .arg(shown, error),
                             Prompter::Icon::Exclamation);
        return false;
    }
    state.unreadFiles.remove(path);
    if (copy.isEmpty())
        return true; // removed by hand since: nothing to keep
    prompter.showMessage(QStringLiteral("ファイル「%1」は読み込めなかったファイルのため、上書きする前に元のファイルを"
                                        "「%2」に残しました。")
                             .arg(shown, QDir::toNativeSeparators(copy)),
                         Prompter::Icon::Information);
    return true;
}

bool save_data_file(AppState& state, const QString& path, const std::function<bool(QString*)>& write,
                    Prompter& prompter, Prompter::Icon failureIcon) {
    if (!keep_unread_file(state, path, prompter))
        return false;
    QString error;
    if (!write(&error)) {
        prompter.showMessage(error, failureIcon);
        return false;
    }
    return true;
}

bool back_up_files(const QString& folder, const QStringList& names, QString* copyFolder, QString* error) {
    const QDir backups(QDir(folder).filePath(QStringLiteral("backup")));
    QString target = backups.filePath(backup_stamp());
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = backups.filePath(backup_stamp() + QLatin1Char('-') + QString::number(n));
    if (!makeFolder(target, error))
        return false;
    for (const QString& name : names) {
        if (!keepFile(QDir(folder).filePath(name), QDir(target).filePath(name), error)) {
            QDir(target).removeRecursively();
            return false;
        }
    }
    if (copyFolder)
        *copyFolder = target;
    return true;
}
