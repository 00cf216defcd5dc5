#include "folderlock.h"

#include "platform.h"
#include "savefile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSysInfo>

#include <cerrno>

namespace {

// What stands where the lock file goes. A takeover removes only the very file it judged left over, so what
// tells one file from another is kept too: its identity, size, time and, for a file, what it holds.
struct LockEntry {
    enum Kind { None, File, Folder, Link, Other } kind = None;
    platform::FileStatus status;
    QString linkTarget;
    bool contentRead = false;
    QByteArray content;
};

// A lock file holds a few short lines; anything longer is no lock of this program's and is not read whole.
constexpr qint64 kLockContentLimit = 4096;

LockEntry inspect(const QString& path) {
    LockEntry entry;
    entry.status = platform::file_status(path, false);
    switch (entry.status.kind) {
    case platform::FileKind::Missing:
        break;
    case platform::FileKind::Regular:
        entry.kind = LockEntry::File;
        entry.contentRead = platform::read_small_file_of(path, entry.status, kLockContentLimit, &entry.content);
        break;
    case platform::FileKind::Folder:
        entry.kind = LockEntry::Folder;
        break;
    case platform::FileKind::Link:
        entry.kind = LockEntry::Link;
        entry.linkTarget = QFile::symLinkTarget(path);
        break;
    case platform::FileKind::Other:
        entry.kind = LockEntry::Other;
        break;
    }
    return entry;
}

bool sameEntry(const LockEntry& a, const LockEntry& b) {
    return a.kind == b.kind && a.status.volume == b.status.volume && a.status.index == b.status.index &&
           a.status.mode == b.status.mode && a.status.size == b.status.size &&
           a.status.modifiedNs == b.status.modifiedNs && a.contentRead == b.contentRead && a.content == b.content &&
           a.linkTarget == b.linkTarget;
}

// The process number and computer a lock records, in the lines every lock of this program starts with.
bool lockInfo(const LockEntry& entry, qint64* pid, QString* host) {
    if (entry.kind != LockEntry::File || !entry.contentRead)
        return false;
    const QList<QByteArray> lines = entry.content.split('\n');
    if (lines.size() < 3)
        return false;
    bool ok = false;
    const qint64 number = lines[0].toLongLong(&ok);
    if (!ok || number <= 0)
        return false;
    *pid = number;
    *host = QString::fromUtf8(lines[2]);
    return true;
}

// What this program writes into its lock: its process number, name, computer and the computer's id, one a line.
QByteArray lockContent() {
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
           QCoreApplication::applicationName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() + '\n' +
           QSysInfo::machineUniqueId() + '\n';
}

// True when a running program holds the lock file: every program that takes such a lock also locks the open
// file, and that lock goes when the program ends, however it ends.
bool heldOpen(const QString& path) {
    return platform::lock_held(path);
}

// The system's error number when the folder cannot be written (read-only, no permission), otherwise 0.
int folderWriteProblem(const QString& folder) {
    return platform::folder_write_problem(folder);
}

// Why the lock file could not be made, when the lock gave no reason of its own: a full disk first.
int makeProblem(const QString& folder, int errorNumber) {
    if (platform::disk_full(folder))
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
    const QString time = shownTime(entry.status.modified());
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

enum class Removal { Removed, NotTheJudged, Failed };

// Puts a lock moved aside back under its name, never over a lock made there meanwhile (then it stays aside,
// still held by its program).
void putBack(const QString& aside, const QString& path) {
    platform::rename_file(aside, path, false);
}

// Removes the lock that was judged left over, and only that one. It is first moved aside under a name of this
// copy's own, in one step another copy cannot interleave with, and looked at there: when it is not the judged
// one (another copy took the folder over meanwhile and made its own lock) it is put back untouched.
Removal removeJudged(const QString& folder, const QString& path, const LockEntry& judged, int* errorNumber) {
    if (!sameEntry(inspect(path), judged))
        return Removal::NotTheJudged;
    const QString aside =
        QDir(folder).filePath(QStringLiteral("%1.%2-%3.aside")
                                  .arg(FolderLock::fileName())
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    if (const int problem = platform::rename_file(path, aside, true)) {
        if (problem == ENOENT)
            return Removal::Removed; // another copy removed it: making the new lock decides who has the folder
        *errorNumber = problem;
        return Removal::Failed;
    }
    const LockEntry moved = inspect(aside);
    if (sameEntry(moved, judged) && !heldOpen(aside)) {
        if (const int problem = platform::remove_file(aside); problem == 0)
            return Removal::Removed;
        else
            *errorNumber = problem;
        putBack(aside, path);
        return Removal::Failed;
    }
    putBack(aside, path);
    return Removal::NotTheJudged;
}

} // namespace

FolderLock::FolderLock() = default;

FolderLock::~FolderLock() {
    release();
}

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

int FolderLock::create(const QString& path) {
    auto lock = std::make_unique<platform::LockFile>();
    if (const int problem = lock->create(path, lockContent()))
        return problem;
    m_lock = std::move(lock);
    m_path = path;
    return 0;
}

void FolderLock::release() {
    if (!m_lock)
        return;
    // Removed while still locked, and only while it is the file this program made: a lock another copy made
    // under the same name is never this program's to remove.
    if (platform::file_status(m_path, false).sameFileAs(m_lock->status()))
        platform::remove_file(m_path);
    m_lock.reset();
}

bool FolderLock::take(const QString& folder, QString* error, Prompter* prompter) {
    release();
    const QString path = QDir(folder).filePath(fileName());
    const QString shown = QDir::toNativeSeparators(QDir::cleanPath(folder));
    const auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    // Makes the lock; on failure the message, or the empty text when something is already there.
    const auto tryCreate = [&]() -> QString {
        const int problem = create(path);
        if (problem == 0 || problem == EEXIST)
            return {};
        if (problem == EACCES || problem == EPERM || problem == EROFS)
            return QStringLiteral("フォルダ「%1」に書き込めないため、DanceEntry の使用中を示すファイル「%2」を"
                                  "作れず、DanceEntry を開けません。\n%3")
                .arg(shown, fileName(), file_error_reason(folderWriteProblem(folder) == EROFS ? EROFS : EACCES));
        return cannotMakeMessage(shown, makeProblem(folder, problem));
    };

    LockEntry entry;
    qint64 pid = 0;
    QString host;
    bool infoRead = false;
    // A lock that vanishes between the attempt and the look (its program just ended) is tried once more.
    for (int round = 0; round < 2 && !isLocked(); ++round) {
        if (const QString problem = tryCreate(); !problem.isEmpty())
            return fail(problem);
        if (isLocked())
            return true;
        entry = inspect(path);
        if (entry.kind != LockEntry::None)
            break;
    }
    if (entry.kind == LockEntry::None)
        return fail(openElsewhereMessage(shown));
    if (entry.kind == LockEntry::Folder)
        return fail(QStringLiteral("フォルダ「%1」の「%2」がフォルダになっているため、DanceEntry を開けません。\n"
                                   "DanceEntry はこの名前のファイルで、同じフォルダを二つのウィンドウで使わないように"
                                   "しています。「%2」の中身を確かめて別の場所に移してから、もう一度起動してください。")
                        .arg(shown, fileName()));
    infoRead = lockInfo(entry, &pid, &host);
    const bool local = host.isEmpty() || host == QSysInfo::machineHostName();
    if (heldOpen(path) || (infoRead && local && platform::process_running(pid)))
        return fail(openElsewhereMessage(shown));

    // A lock this computer's program left when it ended without removing it (it crashed) is taken over
    // without a question; one that nobody can be confirmed to hold only when the user says so.
    if (!(infoRead && local)) {
        const QString description = describe(entry, infoRead, pid, host);
        if (!prompter)
            return fail(leftOverMessage(shown, description));
        if (const int writeProblem = folderWriteProblem(folder))
            return fail(cannotRemoveMessage(shown, writeProblem));
        if (!prompter->askYesNo(takeOverQuestion(shown, description), Prompter::Icon::Exclamation))
            return fail(QString());
    }
    int removeProblem = 0;
    switch (removeJudged(folder, path, entry, &removeProblem)) {
    case Removal::Removed:
        break;
    case Removal::NotTheJudged: // another copy starting at the same moment has taken the folder
        return fail(openElsewhereMessage(shown));
    case Removal::Failed:
        return fail(cannotRemoveMessage(shown, removeProblem));
    }
    if (const QString problem = tryCreate(); !problem.isEmpty())
        return fail(problem);
    // Something took its place meanwhile (another copy starting at the same moment): it is not taken over.
    return isLocked() || fail(openElsewhereMessage(shown));
}

bool FolderLock::isLocked() const {
    return m_lock != nullptr;
}
