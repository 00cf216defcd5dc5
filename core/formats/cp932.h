#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Conversion between text in memory and the Japanese code page 932 (Shift-JIS as Windows writes it),
// the encoding of every file the program reads or writes. The conversion is ICU's ("windows-31j") except for
// three control codes, which map to themselves as on Windows; it runs on tables derived from ICU once per
// process (cp932table.h) and asks ICU itself only about what those tables do not hold, such as text it refuses.
namespace cp932 {

// 「𠮷」(U+20BB7): a character and its code point, so that even an invisible character or a lone surrogate can
// be found from a message.
QString describe(const QString& character);

// True when the converter is usable (Qt built with ICU).
bool available();

// Maps characters that input methods on this platform type in their JIS form (wave dash and friends)
// to the code points that code page 932 stores, so text is saved as the club's Windows files save it.
QString normalized(const QString& text);

// The first character of `text` (after normalisation) that code page 932 cannot store, or an empty text.
QString firstUnencodable(const QString& text);

// Encodes after normalisation. Fails, with a message naming the text and character, on anything
// code page 932 cannot represent; never produces substitute bytes.
bool encode(const QString& text, QByteArray* out, QString* error = nullptr);

// As encode(), appending the bytes to `out`; on failure `out` keeps what it held.
bool encodeAppend(QStringView text, QByteArray& out, QString* error = nullptr);

// Decodes one whole field straight from the bytes into `out`. Fails, leaving `out` as it was, on bytes
// that are not valid code page 932 (a lone lead byte included).
bool decode(QByteArrayView bytes, QString* out);

// As decode(), but never failing: each byte that begins no valid code becomes U+FFFD. For text files made by
// hand, of which whatever can be read is used.
QString decodeLossy(QByteArrayView bytes);

} // namespace cp932
