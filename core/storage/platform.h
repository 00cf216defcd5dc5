#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What the operating system does differently for the program's files: the safe save, reading only regular files
// without blocking, file identity, hard links, the folder lock's open file and whether a process still runs.
// platform_posix.cpp serves Linux, platform_windows.cpp Windows. Every failure is a C error number (ENOSPC,
// EACCES, ...; on Windows mapped from the system's error codes), so file_error_reason() says the same Japanese
// reason on both.
namespace platform {

enum class FileKind { Missing, Regular, Folder, Link, Other };

// What a name stands for. `volume` and `index` tell one file from another (device and inode; on Windows the
// volume serial number and file index), whatever name it is reached by.
struct FileStatus {
    FileKind kind = FileKind::Missing;
    int error = 0; // why it could not be looked at (ENOENT when it is not there)
    qint64 size = 0;
    quint32 mode = 0; // permissions and type as the system gives them (attributes on Windows)
    quint64 volume = 0;
    quint64 index = 0;
    qint64 modifiedNs = 0; // last change, nanoseconds since 1970
    QDateTime modified() const { return QDateTime::fromMSecsSinceEpoch(modifiedNs / 1000000); }
    bool sameFileAs(const FileStatus& other) const {
        return kind != FileKind::Missing && other.kind != FileKind::Missing && volume == other.volume &&
               index == other.index;
    }
};

// `followLinks`: a link is looked through to its file (stat) or seen as the link itself (lstat).
FileStatus file_status(const QString& path, bool followLinks);

enum class ReadOutcome { Read, Missing, Failed, Folder, NotRegular, TooLarge };
struct ReadResult {
    ReadOutcome outcome = ReadOutcome::Failed;
    int error = 0;   // with Failed
    qint64 size = 0; // with TooLarge
};
// Reads a regular file of at most `maxSize` bytes whole. Opened without blocking, and looked at through what was
// opened, so a named pipe or device cannot hold the program and nothing is swapped in between look and read.
ReadResult read_regular_file(const QString& path, qint64 maxSize, QByteArray* bytes);

// Reads at most `limit` bytes of the regular file at `path`, only while it is still the file `judged` describes.
bool read_small_file_of(const QString& path, const FileStatus& judged, qint64 limit, QByteArray* content);

// Replaces `target` with `bytes` whole: written to a temporary file beside it whose name starts with
// `temporaryPrefix` (hidden, or nameless until complete where the system allows), flushed to the disk and then
// swapped in, so a failure at any point leaves the earlier file. Keeps the file's permissions. 0 or an error number.
int replace_file(const QString& target, const QByteArray& bytes, const QString& temporaryPrefix);

// Renames `from` to `to`, replacing what is there (`replace`) or never (then EEXIST).
int rename_file(const QString& from, const QString& to, bool replace);
int remove_file(const QString& path);
// A second name for the file (a hard link); an error number where the file system has none.
int hard_link(const QString& existing, const QString& newName);

// The path with every link and "." or ".." resolved, of an existing file or folder; empty when there is none.
QString real_path(const QString& path);
// The target of the symbolic link at `path` as written in it, or the empty text when it is no link.
QString link_target(const QString& path);

// 0 when the program may make files in `folder`, otherwise why not.
int folder_write_problem(const QString& folder);
bool disk_full(const QString& folder);
bool process_running(qint64 pid);

// The folder lock's open file: made only where nothing exists yet, locked for as long as it stays open, and that
// lock goes when the program ends however it ends.
class LockFile {
public:
    LockFile() = default;
    ~LockFile() { close(); }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    // Makes `path` with `content`; EEXIST when something stands there.
    int create(const QString& path, const QByteArray& content);
    bool isOpen() const;
    // The identity of the file this made, for removing only that one.
    const FileStatus& status() const { return m_status; }
    void close();

private:
    qintptr m_handle = -1;
    FileStatus m_status;
};
// True when a running program holds the lock file at `path` open and locked.
bool lock_held(const QString& path);

// The system's own text for an error number no Japanese reason covers (its number on Windows).
QString system_error_text(int errorNumber);

// Code page 932 by the system's own converter, for the Windows build, whose Qt has no ICU (defined there only):
// false on bytes or characters the code page does not hold.
bool cp932_decode(QByteArrayView bytes, QString* text);
bool cp932_encode(QStringView text, QByteArray* bytes);

// A write beyond the file-size limit then fails with EFBIG instead of ending the program (POSIX only).
void ignore_file_size_signal();
// True when the standard output is closed (no descriptor), asked before anything may take its number.
bool standard_output_closed();
// Lets `path`, a finished temporary file, have the permissions a new file gets, and puts it in place of `target`.
int move_into_place(const QString& path, const QString& target);

} // namespace platform
