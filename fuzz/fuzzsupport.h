#pragma once

// What every fuzz target shares: a loud failure that libFuzzer records as a crash, and a scratch folder
// for the targets that go through real files.

#include "cp932.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// Reports a broken property and aborts, so that libFuzzer stores the input that caused it.
[[noreturn]] inline void fuzz_fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "FUZZ CHECK FAILED: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

inline void fuzz_check(bool ok, const char* what, const QString& detail = {}) {
    if (!ok)
        fuzz_fail(what, detail);
}

// Without the code page 932 converter every text would fail to decode and the run would test nothing.
inline void fuzz_require_converter() {
    static const bool available = cp932::available();
    fuzz_check(available, "the code page 932 converter (Qt with ICU) is not available");
}

// A folder for the files a target writes, in memory where the system offers it (/dev/shm), so that the
// sync of every save costs nothing.
inline QString fuzz_folder() {
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/danceentry-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/danceentry-fuzz-XXXXXX"));
    fuzz_check(dir.isValid(), "no scratch folder", dir.errorString());
    return dir.path() + QLatin1Char('/');
}

inline void fuzz_write_raw(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    fuzz_check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the input file", path);
    fuzz_check(file.write(bytes) == bytes.size(), "cannot write the input file", path);
}

// The first `count` records of a list, the only ones that count.
template <typename List> List fuzz_valid(const List& list, qint32 count) {
    return list.mid(0, qMax<qint32>(count, 0));
}
