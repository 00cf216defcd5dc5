#pragma once

#include <QString>

#include <memory>

class QLockFile;

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

    // Takes the lock of `folder`. A lock left behind by a copy that is no longer running (it crashed) is taken
    // over. False, with the message for the user, when another running copy holds it or it cannot be made.
    bool acquire(const QString& folder, QString* error);
    bool isLocked() const;

private:
    std::unique_ptr<QLockFile> m_lock;
};
