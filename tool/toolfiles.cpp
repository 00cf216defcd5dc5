#include "toolfiles.h"

#include "datafiles.h"
#include "failure.h"
#include "gamenames.h"
#include "recordcodec.h"
#include "savefile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The entry reader keeps the university information in memory when a file holds no couples, although the
// file carries one after its count. The tool starts from an empty state, so it reads that record itself
// with the program's record decoder; read_entry_file has already checked that it is whole.
bool readInfoOfEmptyEntry(const QString& path, UniversityInfo& info, QString* error) {
    QByteArray bytes;
    if (!read_file_whole(path, kMaxEntryFileSize, &bytes, error))
        return false;
    RecordReader reader(bytes);
    qint32 count = 0;
    if (!reader.readLong(count) || !reader.readUniversity(info))
        return fail(error, damaged_file_message(path, reader.errorString()));
    return true;
}

} // namespace

DataFileKind data_file_kind(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (name.compare(QLatin1String("member.dat"), Qt::CaseInsensitive) == 0)
        return DataFileKind::Member;
    if (name.compare(QLatin1String("uniinf.dat"), Qt::CaseInsensitive) == 0)
        return DataFileKind::University;
    if (name.compare(QLatin1String("Gamename.txt"), Qt::CaseInsensitive) == 0)
        return DataFileKind::GameNames;
    return DataFileKind::Entry;
}

QString data_file_kind_text(DataFileKind kind) {
    switch (kind) {
    case DataFileKind::Member:
        return QStringLiteral("メンバーファイル");
    case DataFileKind::University:
        return QStringLiteral("大学情報ファイル");
    case DataFileKind::GameNames:
        return QStringLiteral("試合名ファイル");
    case DataFileKind::Entry:
        break;
    }
    return QStringLiteral("エントリーファイル");
}

bool load_data_file(const QString& path, LoadedFile& file, QString* error) {
    const QString shown = QDir::toNativeSeparators(path);
    // A file in a folder that cannot be entered is not missing: the reader says why it cannot be read.
    if (file_missing(path))
        return fail(error, QStringLiteral("ファイル「%1」が見つかりません。").arg(shown));
    if (QFileInfo(path).isDir())
        return fail(error, QStringLiteral("「%1」はフォルダーです。ファイルを指定してください。").arg(shown));

    LoadedFile loaded;
    loaded.path = path;
    loaded.kind = data_file_kind(path);
    bool ok = false;
    switch (loaded.kind) {
    case DataFileKind::Member:
        ok = read_member_file(path, loaded.state, error);
        break;
    case DataFileKind::University:
        ok = read_university_file(path, loaded.state, error);
        break;
    case DataFileKind::GameNames: {
        // The program reads whatever the list holds; only a file that cannot be read at all, or one with more
        // names than a list may hold, fails.
        const GameNamesRead read = read_game_names_file(path);
        ok = read.refusal.isEmpty();
        if (!ok && error)
            *error = read.refusal;
        if (read.hasCount && read.count <= 0) {
            loaded.gameNameCount = read.count;
        } else {
            loaded.gameNames = read.names;
            loaded.gameNameCount = qint32(read.names.size());
        }
        loaded.gameNameWarnings = game_names_warnings(read, QString()); // shown under the file's name
        break;
    }
    case DataFileKind::Entry:
        ok = read_entry_file(path, loaded.state, error);
        if (ok && loaded.state.coupleCount == 0)
            ok = readInfoOfEmptyEntry(path, loaded.state.universityInfo, error);
        break;
    }
    if (!ok)
        return false;
    file = std::move(loaded);
    return true;
}

QString other_data_file_text(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    for (const QString& name : {QFileInfo(path).fileName(), QFileInfo(canonical).fileName()}) {
        if (name.isEmpty())
            continue;
        const DataFileKind kind = data_file_kind(name);
        if (kind != DataFileKind::Entry)
            return data_file_kind_text(kind);
        if (name.compare(QLatin1String("Gamename.txt"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("出場試合名の一覧");
        if (name == QLatin1String(".danceentry.lock"))
            return QStringLiteral("ロックファイル");
    }
    return {};
}

bool load_entry_files(const QStringList& paths, const std::function<void(const LoadedFile&)>& use,
                      const std::function<void(const QString&)>& report) {
    bool allRead = true;
    for (const QString& path : paths) {
        if (data_file_kind(path) != DataFileKind::Entry) {
            allRead = false;
            report(QStringLiteral("「%1」はエントリーファイルではありません。").arg(QDir::toNativeSeparators(path)));
            continue;
        }
        LoadedFile file;
        QString error;
        if (!load_data_file(path, file, &error)) {
            allRead = false;
            report(error);
            continue;
        }
        use(file);
    }
    return allRead;
}
