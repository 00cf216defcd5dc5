#include "recordcodec.h"

#include "cp932.h"
#include "cp932table.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

void RecordWriter::grow(qsizetype size) {
    m_data.resize(m_size + std::max(size, m_size / 2 + 256));
}

void RecordWriter::reserve(qsizetype bytes) {
    if (m_data.size() - m_size < bytes)
        m_data.resize(m_size + bytes);
}

const QByteArray& RecordWriter::data() const {
    m_data.truncate(m_size);
    return m_data;
}

void RecordWriter::writeByte(quint8 value) {
    if (!ok())
        return;
    *room(1) = char(value);
    m_size += 1;
}

void RecordWriter::writeLong(qint32 value) {
    if (!ok())
        return;
    qToLittleEndian<qint32>(value, room(4));
    m_size += 4;
}

void RecordWriter::writeText(const QString& text) {
    if (!ok())
        return;
    // The bytes go straight behind the length, which is filled in once they are counted.
    char* start = room(2 + 2 * text.size());
    const cp932::table::Encoding* encoding = cp932::table::encoding();
    char* end = encoding ? cp932::table::encode(*encoding, text, start + 2) : nullptr;
    if (!end) {
        // What the tables do not hold goes through ICU, which also words the message when it cannot be stored.
        QByteArray bytes;
        if (!cp932::encodeAppend(text, bytes, &m_error))
            return;
        start = room(2 + bytes.size());
        end = std::copy(bytes.cbegin(), bytes.cend(), start + 2);
    }
    const qsizetype length = end - start - 2;
    if (length > 0xFFFF) {
        m_error =
            QStringLiteral("「%1…」は長すぎます（%2 バイト、最大 65535 バイト）。").arg(text.left(20)).arg(length);
        return;
    }
    qToLittleEndian<quint16>(quint16(length), start);
    m_size += 2 + length;
}

void RecordWriter::writeArrayHeader(qint32 count) {
    if (!ok())
        return;
    char* header = room(10);
    qToLittleEndian<quint16>(1, header);
    qToLittleEndian<qint32>(count, header + 2);
    qToLittleEndian<qint32>(0, header + 6);
    m_size += 10;
}

void RecordWriter::writeMember(const MemberRecord& member) {
    writeText(member.name);
    writeText(member.kana);
    writeByte(member.year);
    writeText(member.highschool);
    writeText(member.department);
    writeByte(member.role);
    writeByte(member.deleteMark);
}

void RecordWriter::writeCouple(const CoupleRecord& couple) {
    writeLong(couple.backNumber);
    writeText(couple.university);
    writeMember(couple.leader);
    writeArrayHeader(qint32(couple.partners.size()));
    for (const MemberRecord& partner : couple.partners)
        writeMember(partner);
    writeArrayHeader(qint32(couple.partnerDances.size()));
    for (const QString& dances : couple.partnerDances)
        writeText(dances);
    writeLong(couple.partnerCount);
    writeByte(couple.regular);
    writeLong(couple.yearSum);
    writeText(couple.gameName);
    writeByte(couple.section);
    writeArrayHeader(qint32(couple.danceFlags.size()));
    for (qint32 flag : couple.danceFlags)
        writeLong(flag);
    writeByte(couple.deleteMark);
}

namespace {
// Code page 932 needs at most two bytes for each UTF-16 unit; a text adds its 2-byte length.
qsizetype textBound(const QString& text) {
    return 2 + 2 * text.size();
}
} // namespace

qsizetype RecordWriter::sizeBound(const MemberRecord& member) {
    return textBound(member.name) + textBound(member.kana) + textBound(member.highschool) +
           textBound(member.department) + 3;
}

qsizetype RecordWriter::sizeBound(const CoupleRecord& couple) {
    qsizetype size = 4 + textBound(couple.university) + sizeBound(couple.leader) + 3 * 10 + 4 + 1 + 4 +
                     textBound(couple.gameName) + 1 + 4 * couple.danceFlags.size() + 1;
    for (const MemberRecord& partner : couple.partners)
        size += sizeBound(partner);
    for (const QString& dances : couple.partnerDances)
        size += textBound(dances);
    return size;
}

qsizetype RecordWriter::sizeBound(const UniversityInfo& info) {
    return textBound(info.university) + textBound(info.partnerSchool) + textBound(info.head) + textBound(info.manager) +
           textBound(info.leagueMember) + textBound(info.comment) + textBound(info.gameName);
}

void RecordWriter::writeUniversity(const UniversityInfo& info) {
    writeText(info.university);
    writeText(info.partnerSchool);
    writeText(info.head);
    writeText(info.manager);
    writeText(info.leagueMember);
    writeText(info.comment);
    writeText(info.gameName);
}

bool RecordReader::fail(const QString& message) {
    if (m_error.isEmpty())
        m_error = QStringLiteral("%1（位置 %2 バイト）").arg(message).arg(m_pos);
    return false;
}

bool RecordReader::failShort(const char* what) {
    return fail(QStringLiteral("ファイルが途中で終わっています：%1 を読めません").arg(QString::fromUtf8(what)));
}

bool RecordReader::readByte(quint8& value) {
    QByteArrayView bytes;
    if (!take(1, bytes, "1 バイトの値"))
        return false;
    value = quint8(bytes[0]);
    return true;
}

bool RecordReader::readLong(qint32& value) {
    QByteArrayView bytes;
    if (!take(4, bytes, "4 バイトの数"))
        return false;
    value = qFromLittleEndian<qint32>(bytes.data());
    return true;
}

namespace {
// A slot in the recent texts: the top bits of a multiplicative hash of the first and last eight bytes
// and the length. Texts that differ only in their middle share a slot and simply replace each other.
qsizetype recentSlot(QByteArrayView bytes, qsizetype count) {
    quint64 head = 0;
    quint64 tail = 0;
    const qsizetype size = bytes.size();
    std::memcpy(&head, bytes.data(), size_t(std::min<qsizetype>(size, 8)));
    if (size > 8)
        std::memcpy(&tail, bytes.data() + size - 8, 8);
    const quint64 hash = head * 0x9E3779B97F4A7C15ull ^ (tail + quint64(size)) * 0xC2B2AE3D27D4EB4Full;
    return qsizetype(hash >> 32) % count;
}
} // namespace

bool RecordReader::readText(QString& text) {
    QByteArrayView lengthBytes;
    if (!take(2, lengthBytes, "文字列の長さ"))
        return false;
    const quint16 length = qFromLittleEndian<quint16>(lengthBytes.data());
    QByteArrayView bytes;
    if (!take(length, bytes, "文字列"))
        return false;
    RecentText* recent = nullptr;
    if (!bytes.isEmpty() && bytes.size() <= kRecentTextMaxBytes) {
        recent = &m_recent[recentSlot(bytes, kRecentTexts)];
        if (recent->size == bytes.size() && std::memcmp(recent->bytes, bytes.data(), size_t(bytes.size())) == 0) {
            text = recent->text;
            return true;
        }
    }
    if (!cp932::decode(bytes, &text))
        return fail(QStringLiteral("文字コードが正しくない文字列があります"));
    if (recent)
        *recent = RecentText{bytes.data(), bytes.size(), text};
    return true;
}

bool RecordReader::checkAtEnd() {
    if (!ok())
        return false;
    if (remaining() > 0)
        return fail(QStringLiteral("データの終わりの後に %1 バイトの余分なデータがあります").arg(remaining()));
    return true;
}

bool RecordReader::checkCount(qint32 count, qsizetype minElementSize, const char* what) {
    if (!ok())
        return false;
    if (count < 0)
        return fail(QStringLiteral("%1の数が負です（%2）").arg(QString::fromUtf8(what)).arg(count));
    if (qsizetype(count) > remaining() / minElementSize)
        return fail(QStringLiteral("%1の数 %2 はファイルの残りに収まりません").arg(QString::fromUtf8(what)).arg(count));
    return true;
}

bool RecordReader::readArrayHeader(qint32& count, qsizetype minElementSize) {
    QByteArrayView dims;
    if (!take(2, dims, "配列の見出し"))
        return false;
    qint32 elements = 0;
    qint32 lowerBound = 0;
    if (!readLong(elements) || !readLong(lowerBound))
        return false;
    if (qFromLittleEndian<quint16>(dims.data()) != 1)
        return fail(QStringLiteral("配列の次元数が 1 ではありません"));
    if (lowerBound != 0)
        return fail(QStringLiteral("配列の下限が 0 ではありません"));
    if (!checkCount(elements, minElementSize, "配列の要素"))
        return false;
    count = elements;
    return true;
}

bool RecordReader::readMember(MemberRecord& member) {
    return readText(member.name) && readText(member.kana) && readByte(member.year) && readText(member.highschool) &&
           readText(member.department) && readByte(member.role) && readByte(member.deleteMark);
}

bool RecordReader::readCouple(CoupleRecord& couple, qint32 leadingCount) {
    if (leadingCount < 1 || leadingCount > 4)
        return fail(QStringLiteral("カップルのパートナー数 %1 は 1 から 4 の範囲外です").arg(leadingCount));
    CoupleRecord record;
    qint32 count = 0;
    if (!readLong(record.backNumber) || !readText(record.university) || !readMember(record.leader))
        return false;
    if (!readArrayHeader(count, kMinMemberSize))
        return false;
    if (count != leadingCount)
        return fail(QStringLiteral("パートナーの配列の要素数が一致しません"));
    record.partners.resize(count);
    for (MemberRecord& partner : record.partners) {
        if (!readMember(partner))
            return false;
    }
    if (!readArrayHeader(count, kMinTextSize))
        return false;
    if (count != leadingCount)
        return fail(QStringLiteral("種目の配列の要素数が一致しません"));
    record.partnerDances.resize(count);
    for (QString& dances : record.partnerDances) {
        if (!readText(dances))
            return false;
    }
    if (!readLong(record.partnerCount) || !readByte(record.regular) || !readLong(record.yearSum) ||
        !readText(record.gameName) || !readByte(record.section))
        return false;
    if (record.partnerCount != leadingCount)
        return fail(QStringLiteral("パートナー数が先頭の数と一致しません"));
    if (!readArrayHeader(count, 4))
        return false;
    if (count != kDanceFlagCount)
        return fail(QStringLiteral("種目フラグの数が 8 ではありません"));
    record.danceFlags.resize(count);
    for (qint32& flag : record.danceFlags) {
        if (!readLong(flag))
            return false;
    }
    if (!readByte(record.deleteMark))
        return false;
    couple = std::move(record);
    return true;
}

bool RecordReader::readUniversity(UniversityInfo& info) {
    UniversityInfo record;
    if (!(readText(record.university) && readText(record.partnerSchool) && readText(record.head) &&
          readText(record.manager) && readText(record.leagueMember) && readText(record.comment) &&
          readText(record.gameName)))
        return false;
    info = std::move(record);
    return true;
}
