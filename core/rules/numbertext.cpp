#include "numbertext.h"

#include <algorithm>

bool parse_rounded_number(const QString& input, qint64& value) {
    const QString text = input.normalized(QString::NormalizationForm_KC).trimmed();
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        negative = text[at] == u'-';
        ++at;
    }
    const auto digitsFrom = [&text, &at] {
        const qsizetype start = at;
        while (at < text.size() && text[at] >= u'0' && text[at] <= u'9')
            ++at;
        return QStringView(text).mid(start, at - start);
    };
    const QStringView integerDigits = digitsFrom();
    QStringView fractionDigits;
    if (at < text.size() && text[at] == u'.') {
        ++at;
        fractionDigits = digitsFrom();
    }
    if (at != text.size() || (integerDigits.isEmpty() && fractionDigits.isEmpty()))
        return false;

    qint64 whole = 0;
    for (QChar digit : integerDigits) {
        whole = whole * 10 + (digit.unicode() - u'0');
        if (whole > (qint64(1) << 40))
            return false; // far outside every range a caller accepts
    }
    if (!fractionDigits.isEmpty()) {
        const QChar firstDigit = fractionDigits[0];
        const bool restNonZero =
            std::any_of(fractionDigits.cbegin() + 1, fractionDigits.cend(), [](QChar c) { return c != u'0'; });
        if (firstDigit > u'5' || (firstDigit == u'5' && (restNonZero || whole % 2 == 1)))
            whole += 1;
    }
    value = negative ? -whole : whole;
    return true;
}
