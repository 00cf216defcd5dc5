#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {
QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

bool failWrite(QSaveFile& file, const QString& path, const QString& reason, QString* error) {
    file.cancelWriting();
    if (error)
        *error = save_failed_message(path, reason);
    return false;
}
} // namespace

bool write_file_whole(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return failWrite(file, path, file.errorString(), error);
    // QSaveFile::commit() can report success after a short write on a full disk, so every step is
    // checked here and the write is cancelled at the first sign of trouble.
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError)
        return failWrite(file, path, file.errorString(), error);
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return failWrite(file, path, file.errorString(), error);
    if (!file.commit()) {
        if (error)
            *error = save_failed_message(path, file.errorString());
        return false;
    }
    return true;
}

bool read_file_whole(const QString& path, QByteArray* bytes, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error =
                QStringLiteral("ファイル「%1」を読み込めませんでした。\n%2").arg(nativePath(path), file.errorString());
        return false;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error =
                QStringLiteral("ファイル「%1」を読み込めませんでした。\n%2").arg(nativePath(path), file.errorString());
        return false;
    }
    *bytes = std::move(data);
    return true;
}

QString save_failed_message(const QString& path, const QString& reason) {
    return QStringLiteral("ファイル「%1」を保存できませんでした。\n%2").arg(nativePath(path), reason);
}

QString damaged_file_message(const QString& path, const QString& reason) {
    return QStringLiteral("ファイル「%1」は壊れているか、このプログラムのデータファイルではありません。\n%2")
        .arg(nativePath(path), reason);
}
