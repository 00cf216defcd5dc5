#include "cp932table.h"

#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_WIN
#include "platform.h"
#endif

#include <algorithm>
#include <cstring>
#include <string>

namespace cp932::table {
namespace {
constexpr const char* kCodecName = "windows-31j";
constexpr auto kFlags = QStringConverter::Flag::Stateless;

// ICU through Qt, asked about one short input at a time. Qt 6.4 keeps a converter's error count through
// resetState(), and opening a converter for each of the fifteen thousand probes would take longer than
// the probes themselves; the count is a protected member, which a derived class may clear. Being
// stateless, the converter drops incomplete input at the end of each call, so nothing carries over from
// one probe to the next (and the check of all codes in one piece would notice if it did).
#ifdef Q_OS_WIN
// The Windows build asks the system's code page 932 (its Qt has no ICU).
class ProbeDecoder {
public:
    bool isValid() const { return true; }
    qsizetype probe(QByteArrayView bytes, QChar* out) {
        QString text;
        if (!platform::cp932_decode(bytes, &text))
            return -1;
        std::copy(text.cbegin(), text.cend(), out);
        return text.size();
    }
};

class ProbeEncoder {
public:
    bool isValid() const { return true; }
    bool probe(QStringView text, QByteArray& out) {
        out.clear();
        return platform::cp932_encode(text, &out);
    }
};
#else
class ProbeDecoder : public QStringDecoder {
public:
    ProbeDecoder() : QStringDecoder(kCodecName, kFlags) {}

    // Decodes `bytes` alone into `out` (room for 2 units per byte); the number of units, or -1 on an error.
    qsizetype probe(QByteArrayView bytes, QChar* out) {
        state.invalidChars = 0;
        const QChar* end = appendToBuffer(out, bytes);
        return hasError() ? -1 : end - out;
    }
};

class ProbeEncoder : public QStringEncoder {
public:
    ProbeEncoder() : QStringEncoder(kCodecName, kFlags) {}

    // Encodes `text` alone; false on an error.
    bool probe(QStringView text, QByteArray& out) {
        state.invalidChars = 0;
        out.resize(requiredSpace(text.size()));
        out.truncate(appendToBuffer(out.data(), text) - out.constData());
        return !hasError();
    }
};
#endif

bool isCharacter(char16_t unit) {
    return unit != kNoChar && !QChar::isSurrogate(unit);
}

// One-byte and two-byte codes as ICU decodes them one by one. Every byte that is not a character on its
// own may begin a two-byte code and gets a row; rows in which no pair decodes are dropped again.
void decodeEveryCode(ProbeDecoder& decoder, Decoding& table) {
    QChar out[4];
    table.row.fill(-1);
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const qsizetype units = decoder.probe(QByteArrayView(&byte, 1), out);
        table.single[b] = units == 1 && isCharacter(out[0].unicode()) ? out[0].unicode() : kNoChar;
    }
    table.doubles.reserve(256 * std::count(table.single.begin(), table.single.end(), kNoChar));
    for (int lead = 0; lead < 256; ++lead) {
        if (table.single[lead] != kNoChar)
            continue;
        const qsizetype row = qsizetype(table.doubles.size()) / 256;
        bool any = false;
        for (int trail = 0; trail < 256; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            const qsizetype units = decoder.probe(QByteArrayView(pair, 2), out);
            const bool mapped = units == 1 && isCharacter(out[0].unicode());
            table.doubles.push_back(mapped ? out[0].unicode() : kNoChar);
            any = any || mapped;
        }
        if (any)
            table.row[lead] = qint16(row);
        else
            table.doubles.resize(row * 256);
    }
}

// A one-byte code (no `second`) or a two-byte code as the encoding table keeps it.
quint16 codeOf(uchar first, int second = -1) {
    return second < 0 ? quint16(first) : quint16(first << 8 | second);
}
} // namespace

std::unique_ptr<Decoding> buildDecoding() {
    ProbeDecoder decoder;
    if (!decoder.isValid())
        return nullptr;
    auto table = std::make_unique<Decoding>();
    decodeEveryCode(decoder, *table);

    // Every code the table holds, converted by ICU in one piece, must give what the table gives; a
    // converter whose result depends on the neighbouring codes cannot be replaced by a table.
    std::string all;
    all.reserve(table->single.size() + 2 * table->doubles.size());
    for (int b = 0; b < 256; ++b) {
        if (table->single[b] != kNoChar)
            all += char(b);
        for (int trail = 0; table->row[b] >= 0 && trail < 256; ++trail) {
            if (table->doubles[table->row[b] * 256 + trail] != kNoChar)
                all.append({char(b), char(trail)});
        }
    }
    QString fromTable;
    QString fromIcu(2 * qsizetype(all.size()), Qt::Uninitialized);
    const qsizetype units = decoder.probe(all, fromIcu.data());
    if (!decode(*table, all, fromTable) || units != fromTable.size() ||
        std::memcmp(fromIcu.constData(), fromTable.constData(), size_t(units) * 2) != 0)
        return nullptr;
    for (const char16_t control : kSelfMappedControls)
        table->single[control] = control;
    return table;
}

// The reverse of the decoding table. A character that several codes decode to (the NEC and IBM
// duplicates) gets the bytes ICU writes for it.
std::unique_ptr<Encoding> buildEncoding(const Decoding& decoding) {
    ProbeEncoder encoder;
    if (!encoder.isValid())
        return nullptr;
    auto table = std::make_unique<Encoding>();
    std::vector<quint16>& bytes = table->bytes;
    bytes.assign(kUnits, kNoBytes);
    std::vector<char16_t> ambiguous;
    auto add = [&](char16_t unit, quint16 code) {
        if (bytes[unit] == kNoBytes)
            bytes[unit] = code;
        else if (bytes[unit] != code)
            ambiguous.push_back(unit);
    };
    for (int b = 0; b < 256; ++b) {
        if (decoding.single[b] != kNoChar)
            add(decoding.single[b], codeOf(uchar(b)));
        // A first byte 0 would not be told apart from a single byte; such a code is left to ICU.
        for (int trail = 0; b > 0 && decoding.row[b] >= 0 && trail < 256; ++trail) {
            const char16_t unit = decoding.doubles[decoding.row[b] * 256 + trail];
            if (unit != kNoChar && codeOf(uchar(b), trail) != kNoBytes)
                add(unit, codeOf(uchar(b), trail));
        }
    }
    QByteArray written;
    for (char16_t unit : ambiguous) {
        const QChar character(unit);
        if (!encoder.probe(QStringView(&character, 1), written) || written.isEmpty() || written.size() > 2)
            return nullptr;
        const quint16 code =
            written.size() == 1 ? codeOf(uchar(written[0])) : codeOf(uchar(written[0]), uchar(written[1]));
        if (code == kNoBytes)
            return nullptr;
        bytes[unit] = code;
    }

    // ICU must write exactly these bytes for every character, also in one piece: a character that only
    // decodes (one way) would otherwise be written differently from what ICU writes. The self-mapped control
    // codes are the one deliberate difference; the decoding table already gives them their own bytes.
    std::u16string all;
    all.reserve(decoding.single.size() + decoding.doubles.size());
    for (qsizetype unit = 0; unit < kUnits; ++unit) {
        const bool control = std::find(kSelfMappedControls.begin(), kSelfMappedControls.end(), char16_t(unit)) !=
                             kSelfMappedControls.end();
        if (bytes[unit] != kNoBytes && !control)
            all += char16_t(unit);
    }
    QByteArray fromTable(2 * qsizetype(all.size()), Qt::Uninitialized);
    fromTable.truncate(encode(*table, all, fromTable.data()) - fromTable.constData());
    if (!encoder.probe(all, written) || written != fromTable)
        return nullptr;

    for (const auto& [typed, stored] : kJisForms)
        bytes[typed] = bytes[stored];
    return table;
}

const Decoding* decoding() {
    static const std::unique_ptr<Decoding> table = buildDecoding();
    return table.get();
}

const Encoding* encoding() {
    static const std::unique_ptr<Encoding> table = decoding() ? buildEncoding(*decoding()) : nullptr;
    return table.get();
}

char* encode(const Encoding& table, QStringView text, char* out) {
    for (const QChar c : text) {
        const quint16 code = table.bytes[c.unicode()];
        if (code == kNoBytes)
            return nullptr;
        if (code > 0xFF)
            *out++ = char(code >> 8);
        *out++ = char(code);
    }
    return out;
}

bool encode(const Encoding& table, QStringView text, QByteArray& out) {
    if (text.isEmpty())
        return true;
    const qsizetype start = out.size();
    out.resize(start + 2 * text.size());
    const char* end = encode(table, text, out.data() + start);
    out.truncate(end ? end - out.constData() : start);
    return end != nullptr;
}

bool decode(const Decoding& table, QByteArrayView bytes, QString& out) {
    // A field is decoded into a buffer on the stack and then copied into a string of its exact size;
    // a long one straight into a string that is shortened afterwards.
    constexpr qsizetype kLocal = 256;
    char16_t local[kLocal];
    QString longText;
    char16_t* begin = local;
    if (bytes.size() > kLocal) {
        longText.resize(bytes.size()); // never more characters than bytes
        begin = reinterpret_cast<char16_t*>(longText.data());
    }
    char16_t* dst = begin;
    const uchar* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    while (p < end) {
        const char16_t single = table.single[*p];
        if (single != kNoChar) {
            *dst++ = single;
            ++p;
            continue;
        }
        const qint16 row = table.row[*p];
        if (row < 0 || end - p < 2)
            return false;
        const char16_t unit = table.doubles[row * 256 + p[1]];
        if (unit == kNoChar)
            return false;
        *dst++ = unit;
        p += 2;
    }
    if (begin == local) {
        out = dst == local ? QString() : QString(reinterpret_cast<const QChar*>(local), dst - local);
    } else {
        longText.truncate(dst - begin);
        out = std::move(longText);
    }
    return true;
}

} // namespace cp932::table
