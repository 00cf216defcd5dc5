// The program's file handling on Linux and other POSIX systems.
#include "platform.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {
namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// Closes a descriptor on every way out.
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

FileStatus fromStat(const struct stat& status) {
    FileStatus result;
    if (S_ISREG(status.st_mode))
        result.kind = FileKind::Regular;
    else if (S_ISDIR(status.st_mode))
        result.kind = FileKind::Folder;
    else if (S_ISLNK(status.st_mode))
        result.kind = FileKind::Link;
    else
        result.kind = FileKind::Other;
    result.size = status.st_size;
    result.mode = status.st_mode;
    result.volume = status.st_dev;
    result.index = status.st_ino;
    result.modifiedNs = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return result;
}

// Why a save cannot even start: the folder is missing, is no folder or cannot be written, or a folder stands
// where the file would go. Asked only after the save failed, so the answer describes the failure.
int saveObstacle(const QString& path) {
    const QFileInfo target(path);
    const QByteArray folder = native(target.absolutePath());
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

FileStatus file_status(const QString& path, bool followLinks) {
    const QByteArray name = native(path);
    struct stat status {};
    if ((followLinks ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status)) != 0) {
        FileStatus missing;
        missing.error = errno;
        return missing;
    }
    return fromStat(status);
}

ReadResult read_regular_file(const QString& path, qint64 maxSize, QByteArray* bytes) {
    ReadResult result;
    Descriptor fd(::open(native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        result.error = errno;
        if (result.error == ENOENT || result.error == ENOTDIR)
            result.outcome = ReadOutcome::Missing;
        return result;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        result.error = errno;
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.outcome = S_ISDIR(status.st_mode) ? ReadOutcome::Folder : ReadOutcome::NotRegular;
        return result;
    }
    if (status.st_size > maxSize) {
        result.outcome = ReadOutcome::TooLarge;
        result.size = status.st_size;
        return result;
    }
    QByteArray data(qsizetype(status.st_size), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < data.size()) {
        const ssize_t got = ::read(fd.get(), data.data() + filled, size_t(data.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.error = errno;
            return result;
        }
        if (got == 0)
            break; // the file shrank meanwhile: what was there is what it holds
        filled += got;
    }
    data.truncate(filled);
    if (bytes)
        *bytes = std::move(data);
    result.outcome = ReadOutcome::Read;
    return result;
}

bool read_small_file_of(const QString& path, const FileStatus& judged, qint64 limit, QByteArray* content) {
    content->clear();
    Descriptor fd(::open(native(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || quint64(status.st_dev) != judged.volume ||
        quint64(status.st_ino) != judged.index || !S_ISREG(status.st_mode))
        return false;
    QByteArray buffer(qsizetype(limit + 1), Qt::Uninitialized);
    ssize_t got = 0;
    while (content->size() <= limit &&
           ((got = ::read(fd.get(), buffer.data(), size_t(buffer.size()))) > 0 || (got < 0 && errno == EINTR)))
        if (got > 0)
            content->append(buffer.constData(), got);
    return got == 0;
}

int replace_file(const QString& target, const QByteArray& bytes, const QString& temporaryPrefix) {
    const QByteArray nativeTarget = native(target);
    struct stat existing {};
    const bool exists = ::stat(nativeTarget.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return EISDIR;
    if (exists && ::access(nativeTarget.constData(), W_OK) != 0)
        return errno;

    // Where the file system allows, the temporary file has no name until it is complete, so a killed save leaves
    // nothing; otherwise (FAT, network shares) its name is hidden and of this program's own.
    const QByteArray folder = native(QFileInfo(target).absolutePath());
    const QByteArray prefix = native(temporaryPrefix);
    const auto temporaryName = [&folder, &prefix] {
        static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        QByteArray name = folder + '/' + prefix;
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
            return obstacle != 0 ? obstacle : problem;
        }
    }
    if (fd < 0)
        return EEXIST;
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
    if (problem != 0 && !temporary.isEmpty())
        ::unlink(temporary.constData());
    return problem;
}

int rename_file(const QString& from, const QString& to, bool replace) {
    const QByteArray source = native(from);
    const QByteArray target = native(to);
    if (replace)
        return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that rename: a second name, then the first one goes.
    if (::link(source.constData(), target.constData()) != 0)
        return errno;
    ::unlink(source.constData());
    return 0;
}

int remove_file(const QString& path) {
    return ::unlink(native(path).constData()) == 0 ? 0 : errno;
}

int hard_link(const QString& existing, const QString& newName) {
    return ::link(native(existing).constData(), native(newName).constData()) == 0 ? 0 : errno;
}

QString real_path(const QString& path) {
    char resolved[PATH_MAX];
    if (!::realpath(native(path).constData(), resolved))
        return {};
    return QFile::decodeName(resolved);
}

QString link_target(const QString& path) {
    const QByteArray name = native(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
        return {};
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink(name.constData(), target.data(), size_t(target.size()));
    if (length <= 0)
        return {};
    target.truncate(length);
    return QFile::decodeName(target);
}

int folder_write_problem(const QString& folder) {
    return ::access(native(folder).constData(), W_OK | X_OK) == 0 ? 0 : errno;
}

bool disk_full(const QString& folder) {
    struct statvfs space {};
    return ::statvfs(native(folder).constData(), &space) == 0 && (space.f_bavail == 0 || space.f_favail == 0);
}

bool process_running(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

int LockFile::create(const QString& path, const QByteArray& content) {
    close();
    const QByteArray name = native(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    // Another copy looking whether the lock is held may hold its look for an instant.
    for (int attempt = 0; ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK && attempt < 500; ++attempt)
        ::usleep(1000);
    struct stat status {};
    int problem = ::fstat(fd, &status) == 0 ? 0 : errno;
    if (problem == 0)
        problem = writeAll(fd, content);
    if (problem != 0) {
        struct stat now {};
        if (::lstat(name.constData(), &now) == 0 && now.st_dev == status.st_dev && now.st_ino == status.st_ino)
            ::unlink(name.constData());
        ::close(fd);
        return problem;
    }
    m_handle = fd;
    m_status = fromStat(status);
    return 0;
}

bool LockFile::isOpen() const {
    return m_handle >= 0;
}

void LockFile::close() {
    if (m_handle >= 0)
        ::close(int(m_handle));
    m_handle = -1;
    m_status = {};
}

// Every program that takes such a lock also locks the open file (flock), and that lock goes when the program
// ends, however it ends. Looked at with a shared lock, so two copies looking at the same moment do not take each
// other's look for a holder.
bool lock_held(const QString& path) {
    Descriptor fd(::open(native(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    return fd.get() >= 0 && ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

QString system_error_text(int errorNumber) {
    return qt_error_string(errorNumber);
}

void ignore_file_size_signal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

bool standard_output_closed() {
    return ::fcntl(STDOUT_FILENO, F_GETFD) == -1;
}

int move_into_place(const QString& path, const QString& target) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const QByteArray from = native(path);
    if (::chmod(from.constData(), 0666 & ~mask) != 0 || ::rename(from.constData(), native(target)) != 0)
        return errno;
    return 0;
}

} // namespace platform
