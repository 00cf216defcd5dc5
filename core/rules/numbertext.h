#pragma once

#include <QString>

#include <limits>

// Numbers typed into the program's boxes: "[sign]digits[.digits]", blanks around them ignored, full-width
// forms accepted (as a Japanese input method types them), a decimal fraction rounded to the nearest whole
// number with a half going to the even neighbour (7.5 -> 8, 6.5 -> 6). No exponents, no digit grouping.
// Fails for anything else and for a value far beyond every range a caller accepts.
bool parse_rounded_number(const QString& text, qint64& value);

// The text as a whole number of type `Integer`; fails for text that is not a number (the empty text included)
// and for a value outside the type's range. On failure `number` is untouched.
template <typename Integer> bool parse_whole_number(const QString& text, Integer& number) {
    qint64 value = 0;
    if (!parse_rounded_number(text, value) || value < std::numeric_limits<Integer>::min() ||
        value > std::numeric_limits<Integer>::max())
        return false;
    number = Integer(value);
    return true;
}

// The year box of the member editor: a 32-bit whole number.
inline bool get_long_number(const QString& text, qint32& number) {
    return parse_whole_number(text, number);
}
