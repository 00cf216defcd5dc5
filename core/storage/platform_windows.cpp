// The program's file handling on Windows: the same promises as on Linux through Windows' own calls, with the
// system's error codes turned into C error numbers so the messages name the same Japanese reasons.
#include "platform.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace platform {
namespace {

std::wstring wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

int errorNumber(DWORD code) {
    switch (code) {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
        return ENOENT;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_CANNOT_MAKE:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_PIPE_BUSY:
        return EBUSY;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
        return EILSEQ;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    case ERROR_FILE_TOO_LARGE:
        return EFBIG;
    default:
        return EIO;
    }
}

int lastError() {
    return errorNumber(GetLastError());
}

// Closes a handle on every way out.
class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() {
        if (valid())
            CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE get() const { return m_handle; }
    HANDLE release() {
        HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }

private:
    HANDLE m_handle;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE openExisting(const QString& path, DWORD access, DWORD flags) {
    return CreateFileW(wide(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

qint64 nanosecondsSince1970(const FILETIME& time) {
    const qint64 ticks = (qint64(time.dwHighDateTime) << 32) | time.dwLowDateTime; // 100 ns since 1601
    return (ticks - 116444736000000000LL) * 100;
}

// What an open handle is: only a disk file or folder has an identity; a pipe, console or device is "other".
FileStatus statusOf(HANDLE handle, bool asLink) {
    FileStatus status;
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        status.kind = FileKind::Other;
        return status;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        status.error = lastError();
        return status;
    }
    if (asLink && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        status.kind = FileKind::Link;
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        status.kind = FileKind::Folder;
    else
        status.kind = FileKind::Regular;
    status.size = (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    status.mode = info.dwFileAttributes;
    status.volume = info.dwVolumeSerialNumber;
    status.index = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    status.modifiedNs = nanosecondsSince1970(info.ftLastWriteTime);
    return status;
}

int writeAll(HANDLE handle, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        DWORD done = 0;
        const DWORD chunk = DWORD(qMin<qsizetype>(bytes.size() - written, 1 << 24));
        if (!WriteFile(handle, bytes.constData() + written, chunk, &done, nullptr))
            return lastError();
        if (done == 0)
            return EIO;
        written += done;
    }
    return 0;
}

// The lock is taken on a byte far beyond the lock file's few lines, so others can still read what it says.
OVERLAPPED lockRange() {
    OVERLAPPED range{};
    range.OffsetHigh = 0x40000000;
    return range;
}

} // namespace

FileStatus file_status(const QString& path, bool followLinks) {
    Handle handle(openExisting(path, FILE_READ_ATTRIBUTES,
                               FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT)));
    if (!handle.valid()) {
        FileStatus missing;
        missing.error = lastError();
        return missing;
    }
    return statusOf(handle.get(), !followLinks);
}

ReadResult read_regular_file(const QString& path, qint64 maxSize, QByteArray* bytes) {
    ReadResult result;
    Handle handle(openExisting(path, GENERIC_READ, FILE_FLAG_BACKUP_SEMANTICS));
    if (!handle.valid()) {
        result.error = lastError();
        if (result.error == ENOENT || result.error == ENOTDIR)
            result.outcome = ReadOutcome::Missing;
        return result;
    }
    const FileStatus status = statusOf(handle.get(), false);
    if (status.kind != FileKind::Regular) {
        result.outcome = status.kind == FileKind::Folder ? ReadOutcome::Folder
                         : status.error != 0             ? ReadOutcome::Failed
                                                         : ReadOutcome::NotRegular;
        result.error = status.error;
        return result;
    }
    if (status.size > maxSize) {
        result.outcome = ReadOutcome::TooLarge;
        result.size = status.size;
        return result;
    }
    QByteArray data(qsizetype(status.size), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < data.size()) {
        DWORD got = 0;
        if (!ReadFile(handle.get(), data.data() + filled, DWORD(data.size() - filled), &got, nullptr)) {
            result.error = lastError();
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
    Handle handle(openExisting(path, GENERIC_READ, FILE_FLAG_OPEN_REPARSE_POINT));
    if (!handle.valid())
        return false;
    const FileStatus status = statusOf(handle.get(), true);
    if (status.kind != FileKind::Regular || !status.sameFileAs(judged))
        return false;
    QByteArray buffer(qsizetype(limit + 1), Qt::Uninitialized);
    DWORD got = 0;
    while (content->size() <= limit) {
        if (!ReadFile(handle.get(), buffer.data(), DWORD(buffer.size()), &got, nullptr))
            return false;
        if (got == 0)
            return true;
        content->append(buffer.constData(), got);
    }
    return false;
}

int replace_file(const QString& target, const QByteArray& bytes, const QString& temporaryPrefix) {
    const FileStatus existing = file_status(target, true);
    if (existing.kind == FileKind::Folder)
        return EISDIR;
    if (existing.kind != FileKind::Missing && (existing.mode & FILE_ATTRIBUTE_READONLY))
        return EACCES;
    const QString folder = QFileInfo(target).absolutePath();
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString temporary;
    HANDLE made = INVALID_HANDLE_VALUE;
    for (int attempt = 0; made == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temporary = folder + QLatin1Char('/') + temporaryPrefix;
        for (int i = 0; i < 6; ++i)
            temporary += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
        made =
            CreateFileW(wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (made != INVALID_HANDLE_VALUE)
            break;
        const int problem = lastError();
        if (problem == EEXIST)
            continue;
        // Why the save cannot even start: the folder is missing or is no folder.
        const FileStatus place = file_status(folder, true);
        if (place.kind == FileKind::Missing)
            return place.error;
        if (place.kind != FileKind::Folder)
            return ENOTDIR;
        return problem;
    }
    if (made == INVALID_HANDLE_VALUE)
        return EEXIST;
    Handle handle(made);
    int problem = writeAll(handle.get(), bytes);
    if (problem == 0 && !FlushFileBuffers(handle.get()))
        problem = lastError();
    CloseHandle(handle.release());
    const std::wstring from = wide(temporary);
    const std::wstring to = wide(target);
    if (problem == 0) {
        // Swapped in by one rename (MoveFileEx replacing the target), so a save killed at any moment leaves the old
        // file or the new one. (ReplaceFile would keep more of the old file's metadata, but it is several steps,
        // between which the name can be missing.) The new file takes the old one's attributes.
        if (existing.kind != FileKind::Missing)
            SetFileAttributesW(from.c_str(),
                               existing.mode & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
        if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            problem = lastError();
    }
    if (problem != 0)
        DeleteFileW(from.c_str());
    return problem;
}

// MoveFileEx replaces only a file, never a folder; without MOVEFILE_REPLACE_EXISTING it never replaces.
int rename_file(const QString& from, const QString& to, bool replace) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), flags) ? 0 : lastError();
}

int remove_file(const QString& path) {
    return DeleteFileW(wide(path).c_str()) ? 0 : lastError();
}

int hard_link(const QString& existing, const QString& newName) {
    return CreateHardLinkW(wide(newName).c_str(), wide(existing).c_str(), nullptr) ? 0 : lastError();
}

QString real_path(const QString& path) {
    QString asked = path;
    if (asked.size() == 2 && asked.at(1) == QLatin1Char(':'))
        asked += QLatin1Char('/'); // "C:" is the current folder of drive C, the root is meant
    Handle handle(openExisting(asked, 0, FILE_FLAG_BACKUP_SEMANTICS));
    if (!handle.valid())
        return {};
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle.get(), buffer.data(), DWORD(buffer.size()), FILE_NAME_NORMALIZED);
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetFinalPathNameByHandleW(handle.get(), buffer.data(), DWORD(buffer.size()), FILE_NAME_NORMALIZED);
    }
    if (length == 0 || length >= buffer.size())
        return {};
    QString resolved = QString::fromWCharArray(buffer.data(), qsizetype(length));
    if (resolved.startsWith(QStringLiteral("\\\\?\\UNC\\")))
        resolved = QStringLiteral("\\\\") + resolved.mid(8);
    else if (resolved.startsWith(QStringLiteral("\\\\?\\")))
        resolved = resolved.mid(4);
    resolved = QDir::fromNativeSeparators(resolved);
    while (resolved.endsWith(QLatin1Char('/')) && resolved.size() > 1)
        resolved.chop(1); // "C:/" as "C:", so a name is joined with one slash
    return resolved;
}

QString link_target(const QString& path) {
    const QFileInfo info(path);
    return info.isSymbolicLink() ? info.symLinkTarget() : QString();
}

int folder_write_problem(const QString& folder) {
    const FileStatus status = file_status(folder, true);
    if (status.kind == FileKind::Missing)
        return status.error;
    return status.kind == FileKind::Folder ? 0 : ENOTDIR;
}

bool disk_full(const QString& folder) {
    ULARGE_INTEGER available{};
    return GetDiskFreeSpaceExW(wide(folder).c_str(), &available, nullptr, nullptr) && available.QuadPart == 0;
}

bool process_running(qint64 pid) {
    if (pid <= 0 || pid > 0xFFFFFFFFLL)
        return false;
    Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid)));
    if (!process.valid())
        return GetLastError() == ERROR_ACCESS_DENIED; // it runs, as another user's program
    DWORD exitCode = 0;
    return GetExitCodeProcess(process.get(), &exitCode) && exitCode == STILL_ACTIVE;
}

int LockFile::create(const QString& path, const QByteArray& content) {
    close();
    // Others may read what it says and move it aside, but not write it; hidden as the name says on Linux.
    Handle handle(CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!handle.valid())
        return lastError();
    // Another copy looking whether the lock is held may hold its look for an instant.
    OVERLAPPED range = lockRange();
    for (int attempt = 0;
         !LockFileEx(handle.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range) &&
         attempt < 500;
         ++attempt) {
        Sleep(1);
        range = lockRange();
    }
    int problem = writeAll(handle.get(), content);
    const FileStatus status = statusOf(handle.get(), false);
    if (problem == 0 && status.kind != FileKind::Regular)
        problem = status.error != 0 ? status.error : EIO;
    if (problem != 0) {
        CloseHandle(handle.release());
        if (file_status(path, false).sameFileAs(status))
            DeleteFileW(wide(path).c_str());
        return problem;
    }
    m_handle = qintptr(handle.release());
    m_status = status;
    return 0;
}

bool LockFile::isOpen() const {
    return m_handle != -1;
}

void LockFile::close() {
    if (m_handle != -1)
        CloseHandle(HANDLE(m_handle));
    m_handle = -1;
    m_status = {};
}

// The program holding a lock keeps a byte of it locked (LockFileEx); Windows lets that lock go when the program
// ends, however it ends. Looked at with a shared lock, so two copies looking at once do not see each other.
bool lock_held(const QString& path) {
    Handle handle(openExisting(path, GENERIC_READ, FILE_FLAG_OPEN_REPARSE_POINT));
    if (!handle.valid())
        return GetLastError() == ERROR_SHARING_VIOLATION;
    OVERLAPPED range = lockRange();
    if (!LockFileEx(handle.get(), LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range))
        return GetLastError() == ERROR_LOCK_VIOLATION || GetLastError() == ERROR_IO_PENDING;
    range = lockRange();
    UnlockFileEx(handle.get(), 0, 1, 0, &range);
    return false;
}

bool cp932_decode(QByteArrayView bytes, QString* text) {
    text->clear();
    if (bytes.isEmpty())
        return true;
    // Windows decodes five single bytes that the data files' code page leaves undefined (80, A0, FD to FF, as
    // ICU's windows-31j of the Linux build): a file holding one is refused on both systems alike.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar byte = uchar(bytes[i]);
        if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC))
            ++i; // a lead byte: its second byte may be anything
        else if (byte == 0x80 || byte == 0xA0 || byte >= 0xFD)
            return false;
    }
    const int size = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0);
    if (size <= 0)
        return false;
    text->resize(size);
    return MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                               reinterpret_cast<wchar_t*>(text->data()), size) == size;
}

bool cp932_encode(QStringView text, QByteArray* bytes) {
    bytes->clear();
    if (text.isEmpty())
        return true;
    const auto* wideText = reinterpret_cast<const wchar_t*>(text.utf16());
    BOOL usedDefault = FALSE;
    const int size =
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wideText, int(text.size()), nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault)
        return false;
    bytes->resize(size);
    return WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wideText, int(text.size()), bytes->data(), size, nullptr,
                               &usedDefault) == size &&
           !usedDefault;
}

QString system_error_text(int errorNumber) {
    return QStringLiteral("エラー番号 %1").arg(errorNumber);
}

void ignore_file_size_signal() {}

bool standard_output_closed() {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    return output == nullptr || output == INVALID_HANDLE_VALUE;
}

int move_into_place(const QString& path, const QString& target) {
    return rename_file(path, target, true);
}

} // namespace platform
