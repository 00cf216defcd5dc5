#include "savefile.h"

#include "failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
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

// The file a save replaces: a symbolic link is followed to the file it leads to, even one that does not exist
// yet, so that the link stays and its file gets the new bytes.
QString finalTarget(const QString& path) {
    QFileInfo target(path);
    for (int depth = 0; depth < 128 && target.isSymLink(); ++depth)
        target.setFile(target.symLinkTarget());
    return target.isSymLink() ? path : target.filePath();
}

// Writes all of `bytes` to `fd`; the system's error number, or 0.
int writeAll(int fd, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t done = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (done > 0)
            written += done;
        else if (done == 0)
            return EIO;
        else if (errno != EINTR)
            return errno;
    }
    return 0;
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

QString save_temporary_prefix() {
    return QStringLiteral(".danceentry-save-");
}

bool write_file_whole(const QString& path, const QByteArray& bytes, QString* error) {
    const auto failed = [&path, error](int errorNumber) {
        return fail(error, save_failed_message(path, file_error_reason(errorNumber)));
    };
    const QString target = finalTarget(path);
    const QByteArray nativeTarget = QFile::encodeName(target);
    struct stat existing {};
    const bool exists = ::stat(nativeTarget.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return failed(EISDIR);
    if (exists && ::access(nativeTarget.constData(), W_OK) != 0)
        return failed(errno);

    // The new bytes go to a temporary file beside the target. Where the file system allows, it has no name until
    // it is complete, so a killed save leaves nothing; its name, and the name of the temporary file elsewhere (FAT,
    // network shares), is hidden, of this program's own and holds no ".ent", so nothing left is taken for data.
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    const auto temporaryName = [&folder] {
        static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        QByteArray name = folder + '/' + save_temporary_prefix().toLatin1();
        for (int i = 0; i < 6; ++i)
            name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        return name;
    };
    QByteArray temporary;
    // (It is named through /proc, so only where that is there.)
    int fd =
        ::access("/proc/self/fd", X_OK) == 0 ? ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666) : -1;
    const bool unnamed = fd >= 0;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = temporaryName();
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            const int problem = errno;
            const int obstacle = saveObstacle(target);
            return failed(obstacle != 0 ? obstacle : problem);
        }
    }
    if (fd < 0)
        return failed(EEXIST);
    // Every step is checked, and the temporary file goes at the first sign of trouble: the old file stays.
    // The file keeps its permissions where the file system has any (FAT has none of its own: that may fail).
    if (exists)
        ::fchmod(fd, existing.st_mode & 07777);
    int problem = writeAll(fd, bytes);
    if (problem == 0 && ::fsync(fd) != 0 && errno != EINVAL)
        problem = errno; // EINVAL: a file system that cannot sync, where the written bytes are all there is
    if (problem == 0 && unnamed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        for (int attempt = 0; attempt < 100; ++attempt) {
            temporary = temporaryName();
            problem = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temporary.constData(), AT_SYMLINK_FOLLOW) == 0
                          ? 0
                          : errno;
            if (problem != EEXIST)
                break;
        }
        if (problem != 0)
            temporary.clear();
    }
    if (::close(fd) != 0 && problem == 0 && errno != EINTR)
        problem = errno;
    if (problem == 0 && ::rename(temporary.constData(), nativeTarget.constData()) != 0)
        problem = errno;
    if (problem != 0) {
        if (!temporary.isEmpty())
            ::unlink(temporary.constData());
        return failed(problem);
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
