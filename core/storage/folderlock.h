#pragma once

#include "prompter.h"

#include <QString>

#include <memory>

namespace platform {
class LockFile;
}

// One program per data folder. Two copies saving into one folder would each overwrite what the other saved,
// so the program holds a lock file in its folder for as long as it runs. The file is hidden, so it is never
// taken for data, and its name holds no ".ent".
class FolderLock {
public:
    static QString fileName() { return QStringLiteral(".danceentry.lock"); }

    FolderLock();
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock of `folder`. A lock left behind on this computer by a copy that is no longer running (it
    // crashed) is taken over. False, with the message for the user, when another running copy holds it, when
    // it cannot be made, or when a lock is there whose owner cannot be confirmed alive: that one is only taken
    // over with the user's consent (below).
    bool acquire(const QString& folder, QString* error);

    // The same, at the start of the program: a lock whose owner cannot be confirmed alive on this computer (an
    // empty or unreadable lock, one written on another computer, a link or something else in its place) is
    // taken over only when the user answers Yes to a question that names it; every failure is shown.
    bool acquire(const QString& folder, Prompter& prompter);

    bool isLocked() const;

    // Gives the lock up: the lock file goes, but only while it is still this program's own (the same file it
    // made). The destructor does this too.
    void release();

private:
    bool take(const QString& folder, QString* error, Prompter* prompter);
    // Makes the lock file; it must not exist yet. The system's error number on failure, EEXIST when it does.
    int create(const QString& path);

    std::unique_ptr<platform::LockFile> m_lock; // the open lock file, locked for as long as this program holds it
    QString m_path;
};
