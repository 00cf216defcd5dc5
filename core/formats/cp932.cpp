#include "cp932.h"

#include "cp932converter.h"
#include "cp932table.h"

#include <algorithm>
#include <optional>

namespace cp932 {
namespace {
constexpr const char* kCodecName = "windows-31j";
constexpr auto kFlags = QStringConverter::Flag::Stateless;

// Opening a converter looks the code page up by name in ICU, which costs far more than converting one
// short text, and every text of a data file is converted on its own. So each thread keeps one encoder and
// one decoder and resets them before every use. Qt 6.4 keeps a converter's error flag through
// resetState(), so one that has met an error is opened again, in place: ICU reports errors to the
// address of the converter's state, so a converter must never be moved.
Encoder& sharedEncoder() {
    thread_local std::optional<Encoder> encoder;
    if (!encoder || encoder->hasError())
        encoder.emplace(kCodecName, kFlags);
    else
        encoder->resetState();
    return *encoder;
}

Decoder& sharedDecoder() {
    thread_local std::optional<Decoder> decoder;
    if (!decoder || decoder->hasError())
        decoder.emplace(kCodecName, kFlags);
    else
        decoder->resetState();
    return *decoder;
}

QChar mapped(QChar c) {
    for (const auto& [typed, stored] : table::kJisForms) {
        if (c.unicode() == typed)
            return QChar(stored);
    }
    return c;
}

} // namespace

QString describe(const QString& character) {
    char32_t code = character.isEmpty() ? 0 : character.at(0).unicode();
    if (character.size() == 2 && character.at(0).isHighSurrogate() && character.at(1).isLowSurrogate())
        code = QChar::surrogateToUcs4(character.at(0), character.at(1));
    const QString hex = QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QStringLiteral("「%1」(U+%2)").arg(character, hex);
}

bool available() {
    Encoder encoder(kCodecName, kFlags);
    Decoder decoder(kCodecName, kFlags);
    if (!encoder.isValid() || !decoder.isValid())
        return false;
    // A converter that only pretends (no ICU) would not give the Windows form of these.
    const QByteArray probe = encoder.encode(QString::fromUtf8("①髙"));
    return !encoder.hasError() && probe == QByteArray("\x87\x40\xFB\xFC", 4);
}

QString normalized(const QString& text) {
    // Most texts need no mapping; they are returned shared, without a copy.
    const auto first = std::find_if(text.cbegin(), text.cend(), [](QChar c) { return mapped(c) != c; });
    if (first == text.cend())
        return text;
    QString result = text;
    for (QChar& c : result)
        c = mapped(c);
    return result;
}

QString firstUnencodable(const QString& text) {
    const table::Encoding* encoding = table::encoding();
    const QString input = normalized(text);
    for (qsizetype i = 0; i < input.size(); ++i) {
        qsizetype length = 1;
        if (input.at(i).isHighSurrogate() && i + 1 < input.size() && input.at(i + 1).isLowSurrogate())
            length = 2;
        if (length == 1 && encoding && encoding->bytes[input.at(i).unicode()] != table::kNoBytes)
            continue;
        const QString character = input.mid(i, length);
        Encoder encoder(kCodecName, kFlags);
        // encode() converts lazily: only turning its result into bytes runs the converter.
        const QByteArray bytes = encoder.encode(character);
        if (encoder.hasError() || !encoder.isValid())
            return character;
        i += length - 1;
    }
    return {};
}

namespace {
// ICU itself, for what the tables do not hold: text that code page 932 cannot store (with the message
// that names the character) and private-use characters that ICU writes by fallback. Only those characters go
// through ICU, one at a time; every other one takes the table's bytes, so the control codes that the tables map
// to themselves are written the same way whatever else the text holds.
bool icuEncodeAppend(QStringView view, QByteArray& out, QString* error) {
    const QString text = view.toString();
    if (!sharedEncoder().isValid()) {
        if (error)
            *error =
                QStringLiteral("Shift-JIS（コードページ 932）への変換が使えないため「%1」を保存できません。").arg(text);
        return false;
    }
    const table::Encoding* encoding = table::encoding();
    const QString input = normalized(text);
    QByteArray bytes;
    for (qsizetype i = 0; i < input.size();) {
        const QChar c = input.at(i);
        if (encoding && table::encode(*encoding, QStringView(&c, 1), bytes)) {
            ++i;
            continue;
        }
        const qsizetype length =
            c.isHighSurrogate() && i + 1 < input.size() && input.at(i + 1).isLowSurrogate() ? 2 : 1;
        Encoder& encoder = sharedEncoder();
        const QByteArray piece = encoder.encode(QStringView(input).mid(i, length));
        if (encoder.hasError()) {
            if (error) {
                const QString bad = firstUnencodable(text);
                *error = QStringLiteral("「%1」には保存できない文字 %2 が含まれています。")
                             .arg(text, bad.isEmpty() ? QStringLiteral("?") : describe(bad));
            }
            return false;
        }
        bytes.append(piece);
        i += length;
    }
    out.append(bytes);
    return true;
}

bool icuDecode(QByteArrayView bytes, QString* out) {
    Decoder& decoder = sharedDecoder();
    if (bytes.isEmpty() && decoder.isValid()) {
        if (out)
            out->clear();
        return true;
    }
    QString text = decoder.decode(bytes);
    if (!decoder.isValid() || decoder.hasError())
        return false;
    if (out)
        *out = std::move(text);
    return true;
}
} // namespace

bool encodeAppend(QStringView text, QByteArray& out, QString* error) {
    const table::Encoding* encoding = table::encoding();
    if (encoding && table::encode(*encoding, text, out))
        return true;
    return icuEncodeAppend(text, out, error);
}

bool encode(const QString& text, QByteArray* out, QString* error) {
    QByteArray bytes;
    if (!encodeAppend(text, bytes, error))
        return false;
    if (out)
        *out = std::move(bytes);
    return true;
}

bool decode(QByteArrayView bytes, QString* out) {
    if (const table::Decoding* decoding = table::decoding()) {
        QString text;
        if (table::decode(*decoding, bytes, text)) {
            if (out)
                *out = std::move(text);
            return true;
        }
    }
    // Bytes the tables refuse are refused by ICU as well (tst_cp932table checks every code); ICU has the
    // last word all the same.
    return icuDecode(bytes, out);
}

QString decodeLossy(QByteArrayView bytes) {
    QString text;
    if (decode(bytes, &text))
        return text;
    const table::Decoding* decoding = table::decoding();
    if (!decoding)
        return Decoder(kCodecName).decode(bytes);
    text.reserve(bytes.size());
    const uchar* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    while (p < end) {
        char16_t unit = decoding->single[*p];
        qsizetype length = 1;
        if (unit == table::kNoChar && decoding->row[*p] >= 0 && end - p >= 2) {
            unit = decoding->doubles[decoding->row[*p] * 256 + p[1]];
            length = 2;
        }
        if (unit == table::kNoChar) {
            unit = QChar::ReplacementCharacter;
            length = 1;
        }
        text += QChar(unit);
        p += length;
    }
    return text;
}

} // namespace cp932
