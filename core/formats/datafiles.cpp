#include "datafiles.h"

#include "csvtable.h"
#include "failure.h"
#include "gamenames.h"
#include "recordcodec.h"
#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>
#include <QtEndian>

#include <cerrno>

namespace {

// Reads a file that may be missing; a missing file is no error, and `exists` tells which it was.
bool readExisting(const QString& path, qint64 maxSize, QByteArray& bytes, bool& exists, QString* error) {
    const FileRead result = read_existing_file(path, maxSize, &bytes, error);
    exists = result != FileRead::Missing;
    return result != FileRead::Failed;
}

// The bounds of the roster and of an entry file, and how their messages name them.
struct Bounds {
    qint64 maxSize;
    qint32 maxCount;
    const char16_t* records; // "メンバー %1 人"
};
constexpr Bounds kMemberBounds{kMaxMemberFileSize, kMaxMembers, u"メンバー %1 人"};
constexpr Bounds kEntryBounds{kMaxEntryFileSize, kMaxCouples, u"カップル %1 組"};

QString grouped(qint64 number) {
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(number);
}

QString recordsText(const Bounds& bounds, qint64 count) {
    return QString::fromUtf16(bounds.records).arg(grouped(count));
}

// The limit, in the words of every refusal: "このプログラムが扱えるのは、メンバー 20,000 人、10,460,004
// バイトまでです。"
QString boundsText(const Bounds& bounds) {
    return QStringLiteral("このプログラムが扱えるのは、%1、%2 バイトまでです。")
        .arg(recordsText(bounds, bounds.maxCount), grouped(bounds.maxSize));
}

QString beyondBoundsMessage(const QString& path, const QString& what, const Bounds& bounds) {
    return QStringLiteral("ファイル「%1」%2ため読み込みません。\n%3")
        .arg(QDir::toNativeSeparators(path), what, boundsText(bounds));
}

// Reads a roster or an entry file within its bounds: a larger file is refused unread, and a file whose count
// (its first four bytes) is beyond the bound is refused before anything is allocated for its records. Both
// refusals name the limit; whatever else is wrong is left to the decoder.
FileRead readBounded(const QString& path, const Bounds& bounds, QByteArray& bytes, QString* error) {
    const FileRead result = read_existing_file(path, bounds.maxSize, &bytes, error);
    if (result == FileRead::Failed) {
        const QFileInfo info(path);
        if (info.isFile() && info.size() > bounds.maxSize)
            fail(error, beyondBoundsMessage(path, QStringLiteral("は大きすぎる（%1 バイト）").arg(grouped(info.size())),
                                            bounds));
        return result;
    }
    if (result == FileRead::Read && bytes.size() >= 4) {
        const qint32 count = qFromLittleEndian<qint32>(bytes.constData());
        if (count > bounds.maxCount) {
            fail(error, beyondBoundsMessage(
                            path, QStringLiteral("には%1が記録されている").arg(recordsText(bounds, count)), bounds));
            return FileRead::Failed;
        }
    }
    return result;
}

// Why `count` records, or `size` encoded bytes, may not be written: a file beyond the bounds would not read back.
QString writeBeyondBounds(const Bounds& bounds, qsizetype count, qsizetype size, const QString& shorten) {
    if (count > bounds.maxCount)
        return QStringLiteral("%1あるため保存できません。\n%2").arg(recordsText(bounds, count), boundsText(bounds));
    if (size > bounds.maxSize)
        return QStringLiteral("ファイルが %1 バイトになるため保存できません。%2を短くしてください。\n%3")
            .arg(grouped(size), shorten, boundsText(bounds));
    return {};
}

// The decoders' own checks of the size and the count, for callers that hand them bytes directly: they take
// exactly what the encoders write.
bool sizeWithinBounds(qsizetype size, const Bounds& bounds, QString* error) {
    if (size <= bounds.maxSize)
        return true;
    return fail(error, QStringLiteral("%1 バイトあります。%2").arg(grouped(size), boundsText(bounds)));
}
bool countWithinBounds(qint32 count, const Bounds& bounds, QString* error) {
    if (count <= bounds.maxCount)
        return true;
    return fail(error, QStringLiteral("%1が記録されています。%2").arg(recordsText(bounds, count), boundsText(bounds)));
}

bool writeEncoded(const QString& path, const QByteArray& bytes, const QString& encodeError, QString* error) {
    if (!encodeError.isEmpty())
        return fail(error, save_failed_message(path, encodeError));
    return write_file_whole(path, bytes, error);
}

QString coupleProblem(const CoupleRecord& couple) {
    if (couple.partnerCount < 1 || couple.partnerCount > 4 || couple.partners.size() != couple.partnerCount ||
        couple.partnerDances.size() != couple.partnerCount || couple.danceFlags.size() != kDanceFlagCount)
        return QStringLiteral("背番号 %1 のカップルのデータが正しくないため保存できません。").arg(couple.backNumber);
    return {};
}

} // namespace

QByteArray encode_member_file(const QList<MemberRecord>& members, qint32 count, QString* error) {
    RecordWriter writer;
    const std::span<const MemberRecord> valid = valid_part(members, count);
    qsizetype size = 4;
    for (const MemberRecord& member : valid)
        size += RecordWriter::sizeBound(member);
    if (const QString beyond = writeBeyondBounds(kMemberBounds, qsizetype(valid.size()), 0, {}); !beyond.isEmpty()) {
        fail(error, beyond);
        return {};
    }
    writer.reserve(size);
    writer.writeLong(qint32(valid.size()));
    for (const MemberRecord& member : valid)
        writer.writeMember(member);
    if (!writer.ok()) {
        fail(error, writer.errorString());
        return {};
    }
    const QString beyond =
        writeBeyondBounds(kMemberBounds, 0, writer.data().size(), QStringLiteral("長すぎる名前、かな、出身高校、学部"));
    if (!beyond.isEmpty()) {
        fail(error, beyond);
        return {};
    }
    return writer.data();
}

bool decode_member_file(QByteArrayView bytes, QList<MemberRecord>& members, qint32& count, QString* error) {
    if (!sizeWithinBounds(bytes.size(), kMemberBounds, error))
        return false;
    RecordReader reader(bytes);
    qint32 stored = 0;
    if (!reader.readLong(stored) || !reader.checkCount(stored, kMinMemberSize, "会員"))
        return fail(error, reader.errorString());
    if (!countWithinBounds(stored, kMemberBounds, error))
        return false;
    QList<MemberRecord> list(std::max(stored, 0));
    for (MemberRecord& member : list) {
        if (!reader.readMember(member))
            return fail(error, reader.errorString());
    }
    if (!reader.checkAtEnd())
        return fail(error, reader.errorString());
    if (stored > 0)
        members = std::move(list);
    count = stored;
    return true;
}

bool read_member_file(const QString& path, AppState& state, QString* error) {
    QByteArray bytes;
    const FileRead read = readBounded(path, kMemberBounds, bytes, error);
    if (read != FileRead::Read)
        return read == FileRead::Missing;
    QList<MemberRecord> members = state.members;
    qint32 count = 0;
    QString reason;
    if (!decode_member_file(bytes, members, count, &reason))
        return fail(error, damaged_file_message(path, reason));
    state.members = std::move(members);
    state.memberCount = count;
    return true;
}

bool write_member_file(const QString& path, const AppState& state, QString* error) {
    QString encodeError;
    const QByteArray bytes = encode_member_file(state.members, state.memberCount, &encodeError);
    return writeEncoded(path, bytes, encodeError, error);
}

QByteArray encode_entry_file(const QList<CoupleRecord>& couples, qint32 count, const UniversityInfo& info,
                             QString* error) {
    RecordWriter writer;
    const std::span<const CoupleRecord> valid = valid_part(couples, count);
    qsizetype size = 4 + RecordWriter::sizeBound(info);
    for (const CoupleRecord& couple : valid)
        size += 4 + RecordWriter::sizeBound(couple);
    if (const QString beyond = writeBeyondBounds(kEntryBounds, qsizetype(valid.size()), 0, {}); !beyond.isEmpty()) {
        fail(error, beyond);
        return {};
    }
    writer.reserve(size);
    writer.writeLong(qint32(valid.size()));
    for (const CoupleRecord& couple : valid) {
        const QString problem = coupleProblem(couple);
        if (!problem.isEmpty()) {
            if (error)
                *error = problem;
            return {};
        }
        writer.writeLong(couple.partnerCount);
        writer.writeCouple(couple);
    }
    writer.writeUniversity(info);
    if (!writer.ok()) {
        fail(error, writer.errorString());
        return {};
    }
    const QString beyond =
        writeBeyondBounds(kEntryBounds, 0, writer.data().size(), QStringLiteral("長すぎる名前や大学情報"));
    if (!beyond.isEmpty()) {
        fail(error, beyond);
        return {};
    }
    return writer.data();
}

bool decode_entry_file(QByteArrayView bytes, QList<CoupleRecord>& couples, qint32& count, UniversityInfo* info,
                       bool requireInfo, QString* error) {
    if (!sizeWithinBounds(bytes.size(), kEntryBounds, error))
        return false;
    RecordReader reader(bytes);
    qint32 stored = 0;
    if (!reader.readLong(stored) || !reader.checkCount(stored, kMinCoupleBlockSize, "カップル"))
        return fail(error, reader.errorString());
    if (!countWithinBounds(stored, kEntryBounds, error))
        return false;
    QList<CoupleRecord> list;
    list.resize(stored);
    for (CoupleRecord& couple : list) {
        qint32 leading = 0;
        if (!reader.readLong(leading) || !reader.readCouple(couple, leading))
            return fail(error, reader.errorString());
    }
    // Without couples the university information may be left out only where it is not required; whatever the
    // file holds, nothing may follow it.
    UniversityInfo stamped;
    if ((stored > 0 || requireInfo || reader.remaining() > 0) && !reader.readUniversity(stamped))
        return fail(error, reader.errorString());
    if (!reader.checkAtEnd())
        return fail(error, reader.errorString());
    if (stored > 0) {
        couples = std::move(list);
        if (info)
            *info = stamped;
    }
    count = stored;
    return true;
}

bool read_entry_file(const QString& path, AppState& state, QString* error) {
    QByteArray bytes;
    const FileRead read = readBounded(path, kEntryBounds, bytes, error);
    if (read != FileRead::Read)
        return read == FileRead::Missing;
    QList<CoupleRecord> couples = state.couples;
    UniversityInfo info = state.universityInfo;
    qint32 count = 0;
    QString reason;
    // A file without couples still ends with the university information; it is checked (a file that
    // ends early is damaged) but, as before, only a file with couples replaces the one in memory.
    if (!decode_entry_file(bytes, couples, count, &info, true, &reason))
        return fail(error, damaged_file_message(path, reason));
    state.couples = std::move(couples);
    state.coupleCount = count;
    state.universityInfo = info;
    return true;
}

bool write_entry_file(const QString& path, const AppState& state, QString* error) {
    return write_entry_couples(path, state.couples, state.coupleCount, state.universityInfo, error);
}

bool read_entry_couples(const QString& path, QList<CoupleRecord>& list, qint32& count, QString* error) {
    QByteArray bytes;
    const FileRead read = readBounded(path, kEntryBounds, bytes, error);
    if (read == FileRead::Missing)
        return fail(error, QStringLiteral("ファイル「%1」を読み込めませんでした。\n%2")
                               .arg(QDir::toNativeSeparators(path), file_error_reason(ENOENT)));
    if (read != FileRead::Read)
        return false;
    QList<CoupleRecord> couples;
    qint32 stored = 0;
    QString reason;
    if (!decode_entry_file(bytes, couples, stored, nullptr, true, &reason))
        return fail(error, damaged_file_message(path, reason));
    list = std::move(couples);
    count = stored;
    return true;
}

bool write_entry_couples(const QString& path, const QList<CoupleRecord>& list, qint32 count,
                         const UniversityInfo& universityInfo, QString* error) {
    QString encodeError;
    const QByteArray bytes = encode_entry_file(list, count, universityInfo, &encodeError);
    return writeEncoded(path, bytes, encodeError, error);
}

bool read_university_file(const QString& path, AppState& state, QString* error) {
    QByteArray bytes;
    bool exists = false;
    if (!readExisting(path, kMaxUniversityFileSize, bytes, exists, error))
        return false;
    if (!exists)
        return true;
    RecordReader reader(bytes);
    UniversityInfo info;
    if (!reader.readUniversity(info) || !reader.checkAtEnd())
        return fail(error, damaged_file_message(path, reader.errorString()));
    state.universityInfo = info;
    return true;
}

bool write_university_file(const QString& path, const UniversityInfo& info, QString* error) {
    RecordWriter writer;
    writer.writeUniversity(info);
    return writeEncoded(path, writer.data(), writer.errorString(), error);
}

qint32 read_game_names(const QString& path, QStringList& names) {
    // A list that is missing, cannot be read or holds too many names offers none; the dialog opens all the same.
    GameNamesRead read = read_game_names_file(path);
    if (!read.refusal.isEmpty())
        return 0;
    if (read.hasCount && read.count <= 0)
        return read.count;
    if (!read.hasCount && read.names.isEmpty())
        return 0;
    names = std::move(read.names);
    return qint32(names.size());
}
