#pragma once

#include "records.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

// The one binary encoding of every data file: little-endian numbers without padding, texts as a 2-byte
// byte count followed by code page 932 bytes, and lists inside records behind a 10-byte array header
// (dimension count 1, element count, lower bound 0).

// Appends encoded fields to a buffer. A text that cannot be encoded (or is longer than 65535 bytes)
// makes the writer fail; the first failure is kept in errorString() and later writes are ignored.
class RecordWriter {
public:
    void writeByte(quint8 value);
    void writeLong(qint32 value);
    void writeText(const QString& text);
    void writeArrayHeader(qint32 count);
    void writeMember(const MemberRecord& member);
    void writeCouple(const CoupleRecord& couple);
    void writeUniversity(const UniversityInfo& info);

    // Makes room for `bytes` more bytes at once, so that the buffer is not grown field by field.
    void reserve(qsizetype bytes);
    // No fewer bytes than the record takes once encoded (texts counted at two bytes per UTF-16 unit).
    static qsizetype sizeBound(const MemberRecord& member);
    static qsizetype sizeBound(const CoupleRecord& couple);
    static qsizetype sizeBound(const UniversityInfo& info);

    bool ok() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }
    // The bytes written so far.
    const QByteArray& data() const;

private:
    // Where the next `size` bytes go; the buffer grows when it has less room left.
    char* room(qsizetype size) {
        if (m_data.size() - m_size < size)
            grow(size);
        return m_data.data() + m_size;
    }
    void grow(qsizetype size);

    // The bytes written (the first m_size), then room for more; data() cuts it to what was written.
    mutable QByteArray m_data;
    qsizetype m_size = 0;
    QString m_error;
};

// Decodes fields from a buffer. Every read is bounds-checked: it never reads past the end, and a list
// is never allocated larger than the remaining bytes could hold. After the first failure every read
// fails and errorString() says what was wrong and where.
class RecordReader {
public:
    explicit RecordReader(QByteArrayView data) : m_data(data) {}

    bool readByte(quint8& value);
    bool readLong(qint32& value);
    bool readText(QString& text);
    // Reads an array header; fails unless it has one dimension, lower bound 0 and a count that the
    // remaining bytes can hold at `minElementSize` bytes per element.
    bool readArrayHeader(qint32& count, qsizetype minElementSize);
    bool readMember(MemberRecord& member);
    // Decodes a couple record that follows its leading partner count in an entry file.
    bool readCouple(CoupleRecord& couple, qint32 leadingCount);
    bool readUniversity(UniversityInfo& info);

    // Fails unless `count` elements of at least `minElementSize` bytes fit in what is left. `what` names
    // the elements in the message (UTF-8).
    // Fails unless every byte was read: files this program (and the earlier one) writes end with their last
    // field, so anything after it means the file is damaged (a zero-filled file left by a power cut, say).
    bool checkAtEnd();

    bool checkCount(qint32 count, qsizetype minElementSize, const char* what);

    qsizetype remaining() const { return m_data.size() - m_pos; }
    qsizetype position() const { return m_pos; }
    bool ok() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }

private:
    bool fail(const QString& message);
    bool failShort(const char* what);
    bool take(qsizetype size, QByteArrayView& bytes, const char* what) {
        if (!ok())
            return false;
        if (size > remaining())
            return failShort(what);
        bytes = m_data.sliced(m_pos, size);
        m_pos += size;
        return true;
    }

    // Texts read so far, by a hash of their bytes. A text that comes again (a faculty, a high school, the
    // university and competition names of every couple) shares the string decoded the first time instead
    // of allocating one of its own.
    struct RecentText {
        const char* bytes = nullptr;
        qsizetype size = 0;
        QString text;
    };
    static constexpr qsizetype kRecentTexts = 256;
    static constexpr qsizetype kRecentTextMaxBytes = 64;

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    QString m_error;
    std::array<RecentText, kRecentTexts> m_recent;
};

// Smallest encodings, used to bound counts read from a file.
inline constexpr qsizetype kMinMemberSize = 11;
inline constexpr qsizetype kMinTextSize = 2;
inline constexpr qsizetype kMinCoupleBlockSize = 4 + 105; // leading count + one-partner couple
inline constexpr int kDanceFlagCount = 8;
