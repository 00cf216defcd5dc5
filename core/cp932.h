#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Conversion between text in memory and the Japanese code page 932 (Shift-JIS as Windows writes it),
// the encoding of every file the program reads or writes.
namespace cp932 {

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

// Decodes one whole field. Fails on bytes that are not valid code page 932 (a lone lead byte included).
bool decode(QByteArrayView bytes, QString* out);

} // namespace cp932
