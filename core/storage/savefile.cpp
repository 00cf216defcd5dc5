#include "savefile.h"

#include "failure.h"
#include "platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString readFailedMessage(const QString& path, const QString& reason) {
    return QStringLiteral("ファイル「%1」を読み込めませんでした。\n%2").arg(nativePath(path), reason);
}

// The file a save replaces: a symbolic link is followed to the file it leads to, even one that does not exist
// yet, so that the link stays and its file gets the new bytes.
QString finalTarget(const QString& path) {
    QFileInfo target(path);
    for (int depth = 0; depth < 128 && target.isSymLink(); ++depth)
        target.setFile(target.symLinkTarget());
    return target.isSymLink() ? path : target.filePath();
}

} // namespace

QString file_error_reason(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral(
            "ディスクの空きが足りません。不要なファイルを消して空きを作るか、別の場所に保存してください。");
    case EACCES:
    case EPERM:
        return QStringLiteral("このファイルまたはフォルダを使う権限がありません。権限を確かめてください。");
    case EROFS:
        return QStringLiteral("読み取り専用の場所です。書き込める場所を選んでください。");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダがあります。別の名前を選んでください。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("ファイルまたはフォルダが見つかりません。場所と名前を確かめてください。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名または場所の名前が長すぎます。短い名前にしてください。");
    case EBUSY: // a file another program keeps open (on Windows, where an open file cannot be replaced)
        return QStringLiteral(
            "ほかのプログラムがこのファイルを使っています。そのプログラムを閉じてから、もう一度試してください。");
    case EILSEQ: // a name Windows does not allow
        return QStringLiteral("ファイル名に使えない文字が含まれています。別の名前にしてください。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎて書き込めません（ファイルの大きさの上限を超えています）。");
    default:
        return QStringLiteral("システムのエラーです（%1）。").arg(platform::system_error_text(errorNumber));
    }
}

FileRead read_existing_file(const QString& path, qint64 maxSize, QByteArray* bytes, QString* error) {
    const platform::ReadResult result = platform::read_regular_file(path, maxSize, bytes);
    switch (result.outcome) {
    case platform::ReadOutcome::Read:
        return FileRead::Read;
    case platform::ReadOutcome::Missing:
        return FileRead::Missing;
    case platform::ReadOutcome::Failed:
        fail(error, readFailedMessage(path, file_error_reason(result.error)));
        break;
    case platform::ReadOutcome::Folder:
        fail(error, readFailedMessage(path, QStringLiteral("フォルダです。ファイルを指定してください。")));
        break;
    case platform::ReadOutcome::NotRegular:
        fail(error, readFailedMessage(path, QStringLiteral("通常のファイルではありません（名前付きパイプや"
                                                           "デバイスなど）。データファイルではありません。")));
        break;
    case platform::ReadOutcome::TooLarge:
        fail(error, readFailedMessage(path, QStringLiteral("ファイルが大きすぎます（%1 バイト。この種類のファイルは"
                                                           "最大 %2 バイトです）。データファイルではありません。")
                                                .arg(result.size)
                                                .arg(maxSize)));
        break;
    }
    return FileRead::Failed;
}

bool read_file_whole(const QString& path, qint64 maxSize, QByteArray* bytes, QString* error) {
    switch (read_existing_file(path, maxSize, bytes, error)) {
    case FileRead::Read:
        return true;
    case FileRead::Missing:
        return fail(error, readFailedMessage(path, file_error_reason(ENOENT)));
    case FileRead::Failed:
        break;
    }
    return false;
}

bool file_missing(const QString& path) {
    const platform::FileStatus status = platform::file_status(path, false);
    return status.kind == platform::FileKind::Missing && (status.error == ENOENT || status.error == ENOTDIR);
}

QString save_temporary_prefix() {
    return QStringLiteral(".danceentry-save-");
}

bool write_file_whole(const QString& path, const QByteArray& bytes, QString* error) {
    // The temporary file's name is hidden, of this program's own and holds no ".ent", so nothing a cut-off save
    // leaves is taken for data.
    if (const int problem = platform::replace_file(finalTarget(path), bytes, save_temporary_prefix()))
        return fail(error, save_failed_message(path, file_error_reason(problem)));
    return true;
}

QString save_failed_message(const QString& path, const QString& reason) {
    return QStringLiteral("ファイル「%1」を保存できませんでした。\n%2").arg(nativePath(path), reason);
}

QString damaged_file_message(const QString& path, const QString& reason) {
    return QStringLiteral("ファイル「%1」は壊れているか、このプログラムのデータファイルではありません。\n%2")
        .arg(nativePath(path), reason);
}

void ignore_file_size_signal() {
    platform::ignore_file_size_signal();
}
