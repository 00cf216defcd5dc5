#include "cp932table.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace cp932::table {
namespace {
constexpr const char* kCodecName = "windows-31j";
constexpr auto kFlags = QStringConverter::Flag::Stateless;

// ICU through Qt, asked about one short input at a time. Qt 6.4 keeps a converter's error count through
// resetState(), and opening a converter for each of the fifteen thousand probes would take longer than
// the probes themselves; the count is a protected member, which a derived class may clear.
class ProbeDecoder : public QStringDecoder {
public:
    ProbeDecoder() : QStringDecoder(kCodecName, kFlags) {}

    // Decodes `bytes` alone into `out` (room for 2 units per byte); the number of units, or -1 on an error.
    qsizetype probe(QByteArrayView bytes, QChar* out) {
        state.invalidChars = 0;
        resetState();
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
        resetState();
        out.resize(requiredSpace(text.size()));
        out.truncate(appendToBuffer(out.data(), text) - out.constData());
        return !hasError();
    }
};

bool isCharacter(char16_t unit) {
    return unit != kNoChar && !QChar::isSurrogate(unit);
}

// One-byte and two-byte codes as ICU decodes them one by one. Every byte that is not a character on its
// own may begin a two-byte code and gets a row; rows in which no pair decodes are dropped again.
void decodeEveryCode(ProbeDecoder& decoder, Tables& tables) {
    QChar out[4];
    tables.row.fill(-1);
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const qsizetype units = decoder.probe(QByteArrayView(&byte, 1), out);
        tables.single[b] = units == 1 && isCharacter(out[0].unicode()) ? out[0].unicode() : kNoChar;
    }
    tables.doubles.reserve(256 * std::count(tables.single.begin(), tables.single.end(), kNoChar));
    for (int lead = 0; lead < 256; ++lead) {
        if (tables.single[lead] != kNoChar)
            continue;
        const qsizetype row = qsizetype(tables.doubles.size()) / 256;
        bool any = false;
        for (int trail = 0; trail < 256; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            const qsizetype units = decoder.probe(QByteArrayView(pair, 2), out);
            const bool mapped = units == 1 && isCharacter(out[0].unicode());
            tables.doubles.push_back(mapped ? out[0].unicode() : kNoChar);
            any = any || mapped;
        }
        if (any)
            tables.row[lead] = qint16(row);
        else
            tables.doubles.resize(row * 256);
    }
}

// Every code the table holds, converted by ICU in one piece, must give what it gave alone; a converter
// whose result depends on the neighbouring codes cannot be replaced by a table.
bool decodesAsWhole(ProbeDecoder& decoder, const Tables& tables) {
    QByteArray all;
    QString expected;
    for (int b = 0; b < 256; ++b) {
        if (tables.single[b] != kNoChar) {
            all.append(char(b));
            expected.append(QChar(tables.single[b]));
        }
        for (int trail = 0; tables.row[b] >= 0 && trail < 256; ++trail) {
            const char16_t unit = tables.doubles[tables.row[b] * 256 + trail];
            if (unit != kNoChar) {
                all.append(char(b)).append(char(trail));
                expected.append(QChar(unit));
            }
        }
    }
    QString decoded(2 * all.size(), Qt::Uninitialized);
    const qsizetype units = decoder.probe(all, decoded.data());
    return units == expected.size() && std::memcmp(decoded.constData(), expected.constData(), units * 2) == 0;
}

// The reverse of the decoding tables. A character that several codes decode to (the NEC and IBM
// duplicates) gets the bytes ICU writes for it.
bool buildEncoding(ProbeEncoder& encoder, Tables& tables) {
    tables.bytes.assign(kUnits, kNoBytes);
    std::vector<char16_t> ambiguous;
    auto add = [&](char16_t unit, quint16 code) {
        quint16& entry = tables.bytes[unit];
        if (entry == kNoBytes)
            entry = code;
        else if (entry != code)
            ambiguous.push_back(unit);
    };
    for (int b = 0; b < 256; ++b) {
        if (tables.single[b] != kNoChar)
            add(tables.single[b], quint16(b));
        for (int trail = 0; b > 0 && tables.row[b] >= 0 && trail < 256; ++trail) {
            const char16_t unit = tables.doubles[tables.row[b] * 256 + trail];
            if (unit != kNoChar && (b << 8 | trail) != kNoBytes)
                add(unit, quint16(b << 8 | trail));
        }
    }
    QByteArray written;
    for (char16_t unit : ambiguous) {
        const QChar character(unit);
        if (!encoder.probe(QStringView(&character, 1), written) || written.isEmpty() || written.size() > 2)
            return false;
        const quint16 code =
            written.size() == 1 ? quint16(uchar(written[0])) : quint16(uchar(written[0]) << 8 | uchar(written[1]));
        if (code == kNoBytes)
            return false;
        tables.bytes[unit] = code;
    }

    // ICU must write exactly these bytes for every character, also in one piece: a character that only
    // decodes (one way) would otherwise be written differently from what ICU writes.
    QString all;
    QByteArray expected;
    for (qsizetype unit = 0; unit < kUnits; ++unit) {
        const quint16 code = tables.bytes[unit];
        if (code == kNoBytes)
            continue;
        all.append(QChar(char16_t(unit)));
        if (code > 0xFF)
            expected.append(char(code >> 8));
        expected.append(char(code));
    }
    if (!encoder.probe(all, written) || written != expected)
        return false;

    for (const auto& [typed, stored] : kJisForms)
        tables.bytes[typed] = tables.bytes[stored];
    return true;
}
} // namespace

std::unique_ptr<Tables> build() {
    ProbeDecoder decoder;
    ProbeEncoder encoder;
    if (!decoder.isValid() || !encoder.isValid())
        return nullptr;
    auto tables = std::make_unique<Tables>();
    decodeEveryCode(decoder, *tables);
    if (!decodesAsWhole(decoder, *tables) || !buildEncoding(encoder, *tables))
        return nullptr;
    return tables;
}

const Tables* shared() {
    static const std::unique_ptr<Tables> tables = build();
    return tables.get();
}

char* encode(const Tables& tables, QStringView text, char* out) {
    for (const QChar c : text) {
        const quint16 code = tables.bytes[c.unicode()];
        if (code == kNoBytes)
            return nullptr;
        if (code > 0xFF)
            *out++ = char(code >> 8);
        *out++ = char(code);
    }
    return out;
}

bool encode(const Tables& tables, QStringView text, QByteArray& out) {
    if (text.isEmpty())
        return true;
    const qsizetype start = out.size();
    out.resize(start + 2 * text.size());
    const char* end = encode(tables, text, out.data() + start);
    out.truncate(end ? end - out.constData() : start);
    return end != nullptr;
}

bool decode(const Tables& tables, QByteArrayView bytes, QString& out) {
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
        const char16_t single = tables.single[*p];
        if (single != kNoChar) {
            *dst++ = single;
            ++p;
            continue;
        }
        const qint16 row = tables.row[*p];
        if (row < 0 || end - p < 2)
            return false;
        const char16_t unit = tables.doubles[row * 256 + p[1]];
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
