#include "folderlock.h"

#include "savefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// What stands where the lock file goes.
struct LockEntry {
    enum Kind { None, File, Folder, Link, Other } kind = None;
    QDateTime modified;
    QString linkTarget;
};

LockEntry inspect(const QString& path) {
    LockEntry entry;
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return entry;
    entry.modified = QDateTime::fromSecsSinceEpoch(status.st_mtime);
    if (S_ISREG(status.st_mode))
        entry.kind = LockEntry::File;
    else if (S_ISDIR(status.st_mode))
        entry.kind = LockEntry::Folder;
    else if (S_ISLNK(status.st_mode)) {
        entry.kind = LockEntry::Link;
        entry.linkTarget = QFile::symLinkTarget(path);
    } else
        entry.kind = LockEntry::Other;
    return entry;
}

// True when a running program holds the lock file: every program that takes such a lock also locks the open
// file (flock), and that lock goes when the program ends, however it ends.
bool heldOpen(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool processRunning(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// The system's error number when the folder cannot be written (read-only, no permission), otherwise 0.
int folderWriteProblem(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0 ? 0 : errno;
}

// Why the lock file could not be made, when the lock gave no reason of its own: a full disk first.
int makeProblem(const QString& folder, int errorNumber) {
    struct statvfs space {};
    if (::statvfs(QFile::encodeName(folder).constData(), &space) == 0 && (space.f_bavail == 0 || space.f_favail == 0))
        return ENOSPC;
    if (const int problem = folderWriteProblem(folder))
        return problem;
    return errorNumber != 0 ? errorNumber : EIO;
}

QString shownTime(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
}

QString openElsewhereMessage(const QString& shownFolder) {
    return QStringLiteral("フォルダ「%1」は、ほかの DanceEntry のウィンドウで開かれています。\n"
                          "同じフォルダを二つのウィンドウで使うと、片方の保存がもう片方の変更を消して"
                          "しまうため、このウィンドウは開きません。開いているウィンドウを使ってください。")
        .arg(shownFolder);
}

QString cannotMakeMessage(const QString& shownFolder, int errorNumber) {
    return QStringLiteral("フォルダ「%1」に「%2」を作れなかったため、DanceEntry を開けません。\n%3")
        .arg(shownFolder, FolderLock::fileName(), file_error_reason(errorNumber));
}

QString cannotRemoveMessage(const QString& shownFolder, int errorNumber) {
    return QStringLiteral("フォルダ「%1」に残っている「%2」を取り除けないため、DanceEntry を開けません。\n%3")
        .arg(shownFolder, FolderLock::fileName(), file_error_reason(errorNumber));
}

// What the lock that nobody can be confirmed to hold tells about itself, for the question.
QString describe(const LockEntry& entry, bool infoRead, qint64 pid, const QString& host) {
    const QString time = shownTime(entry.modified);
    switch (entry.kind) {
    case LockEntry::Link:
        return QStringLiteral("これはファイルではなく、「%1」へのリンクです（%2 作成）。")
            .arg(QDir::toNativeSeparators(entry.linkTarget), time);
    case LockEntry::Other:
        return QStringLiteral("これは通常のファイルではありません（名前付きパイプなど、%1 作成）。").arg(time);
    case LockEntry::None:
    case LockEntry::Folder:
    case LockEntry::File:
        break;
    }
    if (!infoRead)
        return QStringLiteral("このファイルは空か中身を読めないため（%1 作成）、どのコンピュータのものか分かりません。"
                              "停電などで DanceEntry が正しく終わらなかったときに残ることがあります。")
            .arg(time);
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return QStringLiteral("このファイルはコンピュータ「%1」の DanceEntry（プロセス番号 %2）が %3 に作ったもの"
                              "です。そのプログラムが今も動いているかは、このコンピュータからは確かめられません。")
            .arg(host)
            .arg(pid)
            .arg(time);
    return QStringLiteral("このファイルはこのコンピュータの DanceEntry（プロセス番号 %1）が %2 に作ったものですが、"
                          "そのプログラムはもう動いていません。")
        .arg(pid)
        .arg(time);
}

QString takeOverQuestion(const QString& shownFolder, const QString& description) {
    return QStringLiteral("フォルダ「%1」に、DanceEntry が使用中であることを示すファイル「%2」が残っています。\n"
                          "%3\n\n"
                          "ほかのウィンドウやほかのコンピュータでこのフォルダを使っていないときに限り、開いても安全"
                          "です。使っているときに開くと、片方の保存がもう片方の変更を消してしまいます。\n\n"
                          "「%2」を取り除いて、このフォルダを開きますか？")
        .arg(shownFolder, FolderLock::fileName(), description);
}

// Without anyone to ask, such a lock is not taken over.
QString leftOverMessage(const QString& shownFolder, const QString& description) {
    return QStringLiteral("フォルダ「%1」に、DanceEntry が使用中であることを示すファイル「%2」が残っています。\n"
                          "%3\nほかのウィンドウやほかのコンピュータでこのフォルダを使っていないことを確かめてから、"
                          "DanceEntry を起動して取り除いてください。")
        .arg(shownFolder, FolderLock::fileName(), description);
}

} // namespace

FolderLock::FolderLock() = default;
FolderLock::~FolderLock() = default;

bool FolderLock::acquire(const QString& folder, QString* error) {
    return take(folder, error, nullptr);
}

bool FolderLock::acquire(const QString& folder, Prompter& prompter) {
    QString error;
    if (take(folder, &error, &prompter))
        return true;
    if (!error.isEmpty()) // empty: the user chose not to open the folder
        prompter.showMessage(error, Prompter::Icon::Stop);
    return false;
}

bool FolderLock::take(const QString& folder, QString* error, Prompter* prompter) {
    const QString path = QDir(folder).filePath(fileName());
    const QString shown = QDir::toNativeSeparators(QDir::cleanPath(folder));
    const auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    auto lock = std::make_unique<QLockFile>(path);
    // A lock is stale only when the copy that holds it is gone, never by its age: the program may run for days.
    lock->setStaleLockTime(0);
    // Tries the lock; on failure returns the message, or the empty text when a lock is there that nobody can be
    // confirmed to hold.
    const auto tryLock = [&](LockEntry& entry, bool& infoRead, qint64& pid, QString& host) -> QString {
        entry = inspect(path);
        infoRead = false;
        pid = 0;
        host.clear();
        // Only a file (or nothing) is handed to the lock: it reads what it finds, and a named pipe would block.
        if (entry.kind == LockEntry::None || entry.kind == LockEntry::File) {
            errno = 0;
            if (lock->tryLock(0))
                return {};
            const int errorNumber = errno;
            switch (lock->error()) {
            case QLockFile::NoError:
            case QLockFile::LockFailedError:
                break;
            case QLockFile::PermissionError:
                return QStringLiteral("フォルダ「%1」に書き込めないため、DanceEntry の使用中を示すファイル「%2」を"
                                      "作れず、DanceEntry を開けません。\n%3")
                    .arg(shown, fileName(), file_error_reason(folderWriteProblem(folder) == EROFS ? EROFS : EACCES));
            case QLockFile::UnknownError:
                return cannotMakeMessage(shown, makeProblem(folder, errorNumber));
            }
            entry = inspect(path);
        }
        if (entry.kind == LockEntry::Folder)
            return QStringLiteral("フォルダ「%1」の「%2」がフォルダになっているため、DanceEntry を開けません。\n"
                                  "DanceEntry はこの名前のファイルで、同じフォルダを二つのウィンドウで使わないように"
                                  "しています。「%2」の中身を確かめて別の場所に移してから、もう一度起動してください。")
                .arg(shown, fileName());
        infoRead = entry.kind == LockEntry::File && lock->getLockInfo(&pid, &host, nullptr);
        const bool local = host.isEmpty() || host == QSysInfo::machineHostName();
        if (heldOpen(path) || (infoRead && local && processRunning(pid)))
            return openElsewhereMessage(shown);
        return {};
    };

    LockEntry entry;
    bool infoRead = false;
    qint64 pid = 0;
    QString host;
    QString problem = tryLock(entry, infoRead, pid, host);
    if (problem.isEmpty() && lock->isLocked()) {
        m_lock = std::move(lock);
        return true;
    }
    if (!problem.isEmpty())
        return fail(problem);

    // A lock that nobody can be confirmed to hold: taken over only when the user says so.
    const QString description = describe(entry, infoRead, pid, host);
    if (!prompter)
        return fail(leftOverMessage(shown, description));
    if (const int writeProblem = folderWriteProblem(folder))
        return fail(cannotRemoveMessage(shown, writeProblem));
    if (!prompter->askYesNo(takeOverQuestion(shown, description), Prompter::Icon::Exclamation))
        return fail(QString());
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        return fail(cannotRemoveMessage(shown, errno));
    problem = tryLock(entry, infoRead, pid, host);
    if (problem.isEmpty() && lock->isLocked()) {
        m_lock = std::move(lock);
        return true;
    }
    // Something took its place meanwhile (another copy starting at the same moment): it is not taken over.
    return fail(problem.isEmpty() ? openElsewhereMessage(shown) : problem);
}

bool FolderLock::isLocked() const {
    return m_lock && m_lock->isLocked();
}
