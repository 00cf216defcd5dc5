#include "folderlock.h"

#include "savefile.h"

#include <QDir>
#include <QLockFile>

#include <cerrno>

FolderLock::FolderLock() = default;
FolderLock::~FolderLock() = default;

bool FolderLock::acquire(const QString& folder, QString* error) {
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(fileName()));
    // A lock is stale only when the copy that holds it is gone, never by its age: the program may run for days.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return true;
    }
    if (error) {
        const QString shown = QDir::toNativeSeparators(folder);
        switch (lock->error()) {
        case QLockFile::LockFailedError:
            *error = QStringLiteral("フォルダ「%1」は、ほかの DanceEntry のウィンドウで開かれています。\n"
                                    "同じフォルダを二つのウィンドウで使うと、片方の保存がもう片方の変更を消して"
                                    "しまうため、このウィンドウは開きません。開いているウィンドウを使ってください。")
                         .arg(shown);
            break;
        case QLockFile::PermissionError:
            *error = QStringLiteral("フォルダ「%1」に書き込めないため、DanceEntry を開けません。\n%2")
                         .arg(shown, file_error_reason(EACCES));
            break;
        default:
            *error = QStringLiteral("フォルダ「%1」を DanceEntry 用に確保できなかったため、開けません。").arg(shown);
            break;
        }
    }
    return false;
}

bool FolderLock::isLocked() const {
    return m_lock && m_lock->isLocked();
}
