#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <memory>
#include <utility>
#include <vector>

// Code page 932 by table lookup. The tables are not written down here: they are derived from the ICU
// converter that Qt offers as "windows-31j" by decoding every single-byte and every double-byte code once,
// and the reverse direction is built from those results, with ICU deciding which bytes it writes where
// several codes decode to one character. Whatever the tables do not hold is left to the callers (cp932.cpp
// and the record writer), which then convert through ICU itself, so both ways give the same result by
// construction.
namespace cp932::table {

// The three control codes that ICU's windows-31j converter rotates (byte 1A decodes as U+001C, 1C as U+007F,
// 7F as U+001A). Windows, and every other code page 932 table, maps each of them to itself, and so do the
// tables here, both ways.
inline constexpr std::array<char16_t, 3> kSelfMappedControls{0x1A, 0x1C, 0x7F};

// Characters typed in their JIS form and the code points that code page 932 stores for them.
inline constexpr std::array<std::pair<char16_t, char16_t>, 7> kJisForms{{
    {0x301C, 0xFF5E}, // WAVE DASH -> FULLWIDTH TILDE
    {0x2016, 0x2225}, // DOUBLE VERTICAL LINE -> PARALLEL TO
    {0x2212, 0xFF0D}, // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    {0x00A2, 0xFFE0}, // CENT SIGN -> FULLWIDTH CENT SIGN
    {0x00A3, 0xFFE1}, // POUND SIGN -> FULLWIDTH POUND SIGN
    {0x00AC, 0xFFE2}, // NOT SIGN -> FULLWIDTH NOT SIGN
    {0x2014, 0x2015}, // EM DASH -> HORIZONTAL BAR
}};

inline constexpr char16_t kNoChar = 0xFFFF;  // in the decoding tables: no character for this code
inline constexpr quint16 kNoBytes = 0xFFFF;  // in the encoding table: the table does not know this unit
inline constexpr qsizetype kUnits = 0x10000; // UTF-16 code units

// Bytes to characters.
struct Decoding {
    // The character of each byte that is a character on its own, else kNoChar.
    std::array<char16_t, 256> single{};
    // For each byte that may begin a two-byte code, its row in `doubles`, else -1.
    std::array<qint16, 256> row{};
    // 256 entries per row, by second byte: the character, or kNoChar where ICU refuses the pair.
    std::vector<char16_t> doubles;
};

// Characters to bytes.
struct Encoding {
    // By UTF-16 code unit, JIS forms already mapped: the code page 932 bytes, one byte as a value below
    // 0x100, two as first byte * 256 + second byte; kNoBytes for units the table does not hold (those
    // ICU refuses, surrogates, and private-use characters that ICU writes by one-way fallback).
    std::vector<quint16> bytes;
};

// Derive the tables from ICU: the decoding table from every code, the encoding table from the decoding
// table and ICU's choices, then the three control codes above mapped to themselves. Null when Qt offers no
// "windows-31j", or when ICU, converting every other code in one piece, does not give what the table gives.
std::unique_ptr<Decoding> buildDecoding();
std::unique_ptr<Encoding> buildEncoding(const Decoding& decoding);

// The tables of this process, each built at its first use (thread-safe): reading a file needs only the
// decoding table. Null as above.
const Decoding* decoding();
const Encoding* encoding();

// Writes the bytes of `text`, JIS forms mapped, to `out`, which has room for two bytes per code unit.
// Returns the end of the bytes, or null at the first code unit the table does not hold.
char* encode(const Encoding& table, QStringView text, char* out);

// Appends the bytes of `text` as above. Returns false, leaving `out` as it was, at the first code unit
// the table does not hold.
bool encode(const Encoding& table, QStringView text, QByteArray& out);

// Decodes one whole field. Returns false, leaving `out` as it was, unless the table decodes every byte.
bool decode(const Decoding& table, QByteArrayView bytes, QString& out);

} // namespace cp932::table
