#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

QString readFailedMessage(const QString& path, const QString& reason) {
    return QStringLiteral("ファイル「%1」を読み込めませんでした。\n%2").arg(nativePath(path), reason);
}

// Closes a descriptor on every way out of the reader.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Why a save cannot even start: the folder is missing, is no folder or cannot be written, or a folder stands
// where the file would go. Asked only after the save failed, so the answer describes the failure.
int saveObstacle(const QString& path) {
    const QFileInfo target(path);
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    struct stat status {};
    if (::stat(folder.constData(), &status) != 0)
        return errno;
    if (!S_ISDIR(status.st_mode))
        return ENOTDIR;
    if (::access(folder.constData(), W_OK) != 0)
        return errno;
    if (target.isDir())
        return EISDIR;
    return 0;
}

// The reason of a failed QSaveFile step: the system's error number when the step left one, otherwise what
// Qt's error code tells.
QString saveFailureReason(const QSaveFile& file, int errorNumber) {
    if (errorNumber != 0)
        return file_error_reason(errorNumber);
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return file_error_reason(ENOSPC);
    case QFileDevice::PermissionsError:
        return file_error_reason(EACCES);
    default:
        return file_error_reason(EIO);
    }
}

bool failWrite(QSaveFile& file, const QString& path, int errorNumber, QString* error) {
    const QString reason = saveFailureReason(file, errorNumber);
    file.cancelWriting();
    return fail(error, save_failed_message(path, reason));
}

} // namespace

QString file_error_reason(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
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
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎて書き込めません（ファイルの大きさの上限を超えています）。");
    default:
        return QStringLiteral("システムのエラーです（%1）。").arg(qt_error_string(errorNumber));
    }
}

FileRead read_existing_file(const QString& path, qint64 maxSize, QByteArray* bytes, QString* error) {
    // Opened without blocking, so that a named pipe cannot hold the program; what it opened is then looked at
    // through the descriptor, so nothing can be swapped in between the check and the read.
    const QByteArray native = QFile::encodeName(path);
    Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int errorNumber = errno;
        if (errorNumber == ENOENT || errorNumber == ENOTDIR)
            return FileRead::Missing;
        fail(error, readFailedMessage(path, file_error_reason(errorNumber)));
        return FileRead::Failed;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        fail(error, readFailedMessage(path, file_error_reason(errno)));
        return FileRead::Failed;
    }
    if (!S_ISREG(status.st_mode)) {
        fail(error, readFailedMessage(path, S_ISDIR(status.st_mode)
                                                ? QStringLiteral("フォルダです。ファイルを指定してください。")
                                                : QStringLiteral("通常のファイルではありません（名前付きパイプや"
                                                                 "デバイスなど）。データファイルではありません。")));
        return FileRead::Failed;
    }
    if (status.st_size > maxSize) {
        fail(error, readFailedMessage(path, QStringLiteral("ファイルが大きすぎます（%1 バイト。この種類のファイルは"
                                                           "最大 %2 バイトです）。データファイルではありません。")
                                                .arg(qint64(status.st_size))
                                                .arg(maxSize)));
        return FileRead::Failed;
    }
    QByteArray data(qsizetype(status.st_size), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < data.size()) {
        const ssize_t got = ::read(fd.get(), data.data() + filled, size_t(data.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            fail(error, readFailedMessage(path, file_error_reason(errno)));
            return FileRead::Failed;
        }
        if (got == 0)
            break; // the file shrank meanwhile: what was there is what it holds
        filled += got;
    }
    data.truncate(filled);
    if (bytes)
        *bytes = std::move(data);
    return FileRead::Read;
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
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0)
        return false;
    return errno == ENOENT || errno == ENOTDIR;
}

bool write_file_whole(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int obstacle = saveObstacle(path);
        return failWrite(file, path, obstacle != 0 ? obstacle : errno, error);
    }
    // QSaveFile::commit() can report success after a short write on a full disk, so every step is checked here
    // and the write is cancelled at the first sign of trouble. Each failure's error number is taken at once.
    errno = 0;
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError)
        return failWrite(file, path, errno, error);
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return failWrite(file, path, errno, error);
    if (!file.commit()) {
        const int errorNumber = errno;
        return fail(error, save_failed_message(path, saveFailureReason(file, errorNumber)));
    }
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
    std::signal(SIGXFSZ, SIG_IGN);
}
